#include "ui/navigate/capped_lines.h"

#include <QTimer>
#include <algorithm>
#include <cstring>

namespace korvexa {

CappedLines::CappedLines(QIODevice* device) : QIODevice(device), device_(device) {
  QIODevice::open(QIODevice::ReadOnly | QIODevice::Unbuffered);
  connect(device, &QIODevice::readyRead, this, &CappedLines::Drain);
  connect(device, &QIODevice::aboutToClose, this, [this] { close(); });
  Drain();
}

bool CappedLines::canReadLine() const {
  return !lines_.empty() && givenThisTurn_ < kLinesPerTurn;
}

qint64 CappedLines::bytesAvailable() const {
  return canReadLine() ? queued_ - frontRead_ : 0;
}

void CappedLines::Drain() {
  if (!device_) return;
  char chunk[16 * 1024];
  qint64 got = 0;
  while ((got = device_->read(chunk, sizeof chunk)) > 0) Take(chunk, static_cast<qsizetype>(got));
  Offer();
}

void CappedLines::Take(const char* bytes, qsizetype size) {
  while (size > 0) {
    const char* end = static_cast<const char*>(std::memchr(bytes, '\n', static_cast<std::size_t>(size)));
    const qsizetype piece = end == nullptr ? size : end - bytes + 1;
    if (!dropping_) {
      if (partial_.size() + piece > kLineLimit) {
        partial_.clear();
        dropping_ = true;
      } else {
        partial_.append(bytes, piece);
      }
    }
    if (end != nullptr) {
      if (!dropping_) Queue(std::exchange(partial_, QByteArray()));
      dropping_ = false;
    }
    bytes += piece;
    size -= piece;
  }
}

void CappedLines::Queue(QByteArray line) {
  queued_ += line.size();
  lines_.push_back(std::move(line));
  while (queued_ > kQueueLimit && lines_.size() > 1) {
    queued_ -= lines_.front().size();
    lines_.pop_front();
    frontRead_ = 0;
  }
}

// Says there are lines to read, in this turn while it has room, else in
// the next, which starts with a fresh count.
void CappedLines::Offer() {
  if (lines_.empty()) return;
  if (givenThisTurn_ < kLinesPerTurn) {
    Q_EMIT readyRead();
  }
  if (!turnAsked_) {
    turnAsked_ = true;
    QTimer::singleShot(0, this, [this] {
      turnAsked_ = false;
      givenThisTurn_ = 0;
      Offer();
    });
  }
}

qint64 CappedLines::readData(char* data, qint64 maxSize) {
  return Give(data, maxSize, false);
}

qint64 CappedLines::readLineData(char* data, qint64 maxSize) {
  return Give(data, maxSize, true);
}

// Copies what waits, up to `maxSize` bytes (and to the end of the first
// line with `oneLine`), as far as this turn allows.
qint64 CappedLines::Give(char* data, qint64 maxSize, bool oneLine) {
  qint64 given = 0;
  while (given < maxSize && canReadLine()) {
    const QByteArray& front = lines_.front();
    const qint64 count = std::min<qint64>(maxSize - given, front.size() - frontRead_);
    std::memcpy(data + given, front.constData() + frontRead_, static_cast<std::size_t>(count));
    given += count;
    frontRead_ += count;
    if (frontRead_ < front.size()) break;
    queued_ -= front.size();
    lines_.pop_front();
    frontRead_ = 0;
    ++givenThisTurn_;
    if (oneLine) break;
  }
  return given;
}

}  // namespace korvexa
