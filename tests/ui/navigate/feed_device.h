// A device the test feeds: what it is given is readable at once, as from a
// receiver.
#pragma once

#include <QByteArray>
#include <QIODevice>
#include <algorithm>

namespace korvexa {

class FeedDevice : public QIODevice {
 public:
  FeedDevice() { open(ReadOnly); }
  bool isSequential() const override { return true; }
  qint64 bytesAvailable() const override { return pending_.size() + QIODevice::bytesAvailable(); }
  bool canReadLine() const override { return pending_.contains('\n') || QIODevice::canReadLine(); }
  void Feed(const QByteArray& bytes) {
    pending_ += bytes;
    Q_EMIT readyRead();
  }

 protected:
  qint64 readData(char* data, qint64 most) override {
    const qint64 size = std::min<qint64>(most, pending_.size());
    std::copy_n(pending_.constData(), size, data);
    pending_.remove(0, size);
    return size;
  }
  qint64 writeData(const char*, qint64) override { return -1; }

 private:
  QByteArray pending_;
};

}  // namespace korvexa
