#include "shell/input/device_watch.h"

#include <fcntl.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <array>
#include <cerrno>

namespace grimbolt {

DeviceWatch::DeviceWatch(const QString& path, QObject* parent) : QObject(parent) {
    fd_ = ::open(path.toLocal8Bit().constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0)
        return;
    notifier_ = new QSocketNotifier(fd_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &DeviceWatch::drain);
}

DeviceWatch::~DeviceWatch() {
    stop();
}

void DeviceWatch::drain() {
    // Whole input events (24 bytes each) or whole reports: any buffer this size takes them.
    std::array<char, 4096> buffer;
    for (;;) {
        const ssize_t n = ::read(fd_, buffer.data(), buffer.size());
        if (n > 0)
            continue;
        if (n < 0 && errno == EINTR)
            continue;
        // A node that reports an end or an error would wake the program forever.
        if (n == 0 || errno != EAGAIN)
            stop();
        break;
    }
    emit ready();
}

void DeviceWatch::stop() {
    if (notifier_ != nullptr) {
        notifier_->setEnabled(false);
        notifier_->deleteLater();  // it may be the one calling
    }
    notifier_ = nullptr;
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

}  // namespace grimbolt
