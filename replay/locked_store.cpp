#include "replay/locked_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <cstring>

namespace grimbolt {
namespace {

// A holder killed before it could write who it was leaves an empty lock, taken as stale
// after a while that no keeping of a game comes near.
constexpr int kStaleLockMs = 3000;
constexpr qint64 kLargestLock = 4096;

}  // namespace

mode_t kind_of(const QString& path) {
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return 0;
    return st.st_mode & S_IFMT;
}

namespace {

// Opens a regular file for reading: without waiting, so that a pipe put in its place
// cannot hold the reader, and looked at once open, so that nothing swapped in after a
// look is read.
bool open_regular(const QString& path, bool follow_links, QFile& file, QString& why) {
    const int flags =
        O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY | (follow_links ? 0 : O_NOFOLLOW);
    const int fd = ::open(QFile::encodeName(path).constData(), flags);
    if (fd < 0) {
        why = errno == ENOENT  ? QStringLiteral("no such file")
              : errno == ELOOP ? (follow_links ? QStringLiteral("too many levels of links")
                                               : QStringLiteral("a link"))
                               : QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        why = QStringLiteral("not a regular file");
        return false;
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        why = file.errorString();
        return false;
    }
    return true;
}

}  // namespace

bool read_regular(const QString& path, qint64 most, bool follow_links, QByteArray& text,
                  QString& why) {
    QFile file;
    if (!open_regular(path, follow_links, file, why))
        return false;
    text = file.read(most + 1);
    if (text.size() > most) {
        text.clear();
        why = QStringLiteral("larger than %1 bytes").arg(most);
        return false;
    }
    return true;
}

bool read_head(const QString& path, qint64 most, bool follow_links, QByteArray& text,
               QString& why) {
    QFile file;
    if (!open_regular(path, follow_links, file, why))
        return false;
    text = file.read(most);
    return true;
}

bool write_whole(const QString& path, const QByteArray& text, bool follow_links) {
    // A save file writes through a link: one that is not to be followed is replaced.
    const mode_t kind = kind_of(path);
    if (!follow_links && kind == S_IFLNK && !QFile::remove(path))
        return false;
    if (kind != 0 && kind != S_IFREG && kind != S_IFLNK)
        return false;
    QSaveFile out(path);
    out.setDirectWriteFallback(false);
    if (!out.open(QIODevice::WriteOnly) || out.write(text) != text.size() || !out.flush() ||
        out.error() != QFileDevice::NoError) {
        out.cancelWriting();
        return false;
    }
    if (!out.commit())
        return false;
    QByteArray back;
    QString why;
    if (read_regular(path, text.size(), follow_links, back, why) && back == text)
        return true;
    QFile::remove(path);
    return false;
}

FolderLock::Outcome FolderLock::take(int wait_ms) {
    const mode_t kind = kind_of(path());
    if (kind != 0 && kind != S_IFREG)
        return NotAFile;
    // A lock holds a few short lines; the lock file reads all there is, so a large file
    // there is no lock of ours.
    if (kind == S_IFREG && QFileInfo(path()).size() > kLargestLock)
        return NotAFile;
    // A holder that was killed is seen to be gone at once.
    lock_.setStaleLockTime(kStaleLockMs);
    if (lock_.tryLock(0))
        return Taken;
    if (lock_.error() == QLockFile::LockFailedError && lock_.tryLock(wait_ms))
        return Taken;
    return lock_.error() == QLockFile::LockFailedError ? Held : CannotMake;
}

}  // namespace grimbolt
