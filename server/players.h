#pragma once
// The world's players: a name a player claims, and the secret token that proves it is
// theirs. The server keeps only the token's hash.

#include <QByteArray>
#include <QString>
#include <optional>

namespace grimbolt::server {

// A name as the board shows it: normalized (NFC), 1 to 24 printable characters, no
// control, format or other invisible character, no space at either end. Nothing, with
// the reason in `why`, for a name that is none.
std::optional<QString> player_name(const QString& asked, QString* why = nullptr);
// The form two names are compared in: one name whatever its case.
QString folded(const QString& name);

// A new secret token (256 bits from the system's generator, as hex), and its hash as
// the store keeps it.
QByteArray new_token();
QByteArray token_hash(const QByteArray& token);

}  // namespace grimbolt::server
