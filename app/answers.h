#pragma once
// The answers of the command line that need no window: the proofs of --verify, and
// which arguments ask only for an answer.

#include <QStringList>

#include "shell/input/key_bindings.h"

namespace grimbolt {

// Plays each recorded game again without a window and prints whether it proves its
// score; the exit status is the worst of theirs: 0 when every one does, 1 when the
// rules give another game (or one was recorded before proofs were strict), 2 when a
// file is no recording or no proof.
int verify_all(const QStringList& paths);

// The files --verify proves: every argument after it, whatever it looks like, so that a
// file named like an option is proven too; false when there is no --verify.
bool verify_files(int argc, char** argv, QStringList& files);

// Whether the command line asks only for an answer: help, the version or proofs.
bool answer_only(int argc, char** argv);
// Whether it names the enhanced edition.
bool asks_enhanced(int argc, char** argv);

// The help's list of keys, with `keys` in place of the classic's.
QString with_keys(const QString& description, const KeyBindings& keys);

}  // namespace grimbolt
