#pragma once
// Files the program keeps between runs in a folder that every run of it shares: read
// only when they are regular files, written whole or not at all, and changed by one run
// at a time, under the folder's lock.

#include <sys/types.h>

#include <QByteArray>
#include <QLockFile>
#include <QString>

namespace grimbolt {

// What is at `path` itself, a link not followed: 0 when nothing is there, else its kind
// (S_IFREG, S_IFDIR...).
mode_t kind_of(const QString& path);

// Reads a regular file, at most `most` bytes: never a device or a pipe, and through a
// link only when `follow_links`; false with the reason otherwise.
bool read_regular(const QString& path, qint64 most, bool follow_links, QByteArray& text,
                  QString& why);

// Reads the first `most` bytes of a regular file (all of a shorter one), on the same
// terms.
bool read_head(const QString& path, qint64 most, bool follow_links, QByteArray& text, QString& why);

// Writes a file whole or not at all, and reads it back, through a link only when
// `follow_links`: a full disk that a save file reports too late still leaves nothing
// half-written in place.
bool write_whole(const QString& path, const QByteArray& text, bool follow_links = false);

// The lock of a shared folder, held by one run at a time while it changes the folder's
// files; let go when it goes.
class FolderLock {
  public:
    enum Outcome { Taken, NotAFile, Held, CannotMake };

    explicit FolderLock(const QString& path) : lock_(path) {}

    // A lock that is no file gives no wait: a folder, a link, a device or a file too
    // large to be a lock there is refused at once, and so is a folder where no lock can
    // be made. A live holder is
    // waited for at most `wait_ms`.
    Outcome take(int wait_ms);
    void release() { lock_.unlock(); }
    QString path() const { return lock_.fileName(); }

  private:
    QLockFile lock_;
};

}  // namespace grimbolt
