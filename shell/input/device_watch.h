#pragma once
// Wakes the program when a device node has something to read, so that a pad is read
// when it speaks rather than on a clock. What it reads is thrown away: the pad's own
// reader gets its own copy of every event, as each reader of an input device does.

#include <QObject>
#include <QString>

class QSocketNotifier;

namespace grimbolt {

class DeviceWatch : public QObject {
    Q_OBJECT
  public:
    explicit DeviceWatch(const QString& path, QObject* parent = nullptr);
    ~DeviceWatch() override;

    // Open and listening; false when the node could not be opened, or since it failed
    // (a pad pulled out).
    bool watching() const { return fd_ >= 0; }

  signals:
    // The device spoke, or failed.
    void ready();

  private:
    void drain();
    void stop();

    int fd_ = -1;
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace grimbolt
