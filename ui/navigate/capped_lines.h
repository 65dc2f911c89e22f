// A receiver's lines, bounded, between its device and the NMEA source: what
// comes from outside (a serial port, a gpsd anyone may run) can neither fill
// the memory nor keep the window from repainting.
//
// - A line longer than kLineLimit is dropped whole, also one that never ends.
// - At most kQueueLimit bytes of whole lines wait; beyond that the oldest go,
//   since the newest fix is the one that matters.
// - At most kLinesPerTurn lines are offered in one turn of the event loop,
//   so that a flood of fixes leaves turns to repaint and to open a menu.
//
// The device is drained as soon as it has data, so its own buffer stays
// small; closing it closes these lines too.
#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QPointer>
#include <deque>

namespace korvexa {

class CappedLines : public QIODevice {
  Q_OBJECT

 public:
  static constexpr qsizetype kLineLimit = 4096;
  static constexpr qsizetype kQueueLimit = 64 * 1024;
  static constexpr int kLinesPerTurn = 8;

  // Reads `device`, which must be open; these lines are its child.
  explicit CappedLines(QIODevice* device);

  bool isSequential() const override { return true; }
  bool canReadLine() const override;
  qint64 bytesAvailable() const override;

  // The bytes waiting in whole lines and in the line being read.
  qsizetype Held() const { return queued_ + partial_.size(); }

 protected:
  qint64 readData(char* data, qint64 maxSize) override;
  qint64 readLineData(char* data, qint64 maxSize) override;
  qint64 writeData(const char*, qint64) override { return -1; }

 private:
  void Drain();
  void Take(const char* bytes, qsizetype size);
  void Queue(QByteArray line);
  void Offer();
  qint64 Give(char* data, qint64 maxSize, bool oneLine);

  QPointer<QIODevice> device_;
  QByteArray partial_;     // the line being read
  bool dropping_ = false;  // the line being read is too long: dropped up to its end
  std::deque<QByteArray> lines_;
  qsizetype queued_ = 0;
  qsizetype frontRead_ = 0;  // of lines_.front(), already given
  int givenThisTurn_ = 0;
  bool turnAsked_ = false;
};

}  // namespace korvexa
