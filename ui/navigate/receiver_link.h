// A GPS receiver opened for the navigator: the device of a ReceiverChoice,
// read line by line by an NmeaSource.
//
//   Serial  a QSerialPort at the chosen speed, 8 data bits, no parity, one
//           stop bit (Qt's own NMEA plugin would fix the speed at 4800)
//   Gpsd    a QTcpSocket to gpsd, which is asked for NMEA with
//           ?WATCH={"enable":true,"nmea":true} once connected; its JSON
//           replies pass by as lines that are not NMEA
//   Log     a QFile, replayed at the pace of its sentences' times
//
// A receiver's lines pass through CappedLines: bounded in length and in
// number, so that no receiver can fill the memory or the event loop.
//
// A serial receiver or gpsd that cannot be reached is tried again, and
// again, the wait growing from 1 s to 10 s (ReconnectWait): a port missing,
// not yet plugged in or pulled out, a gpsd not yet started, refusing or
// closing the connection. Each time reconnecting() says so in a sentence for
// the status bar ("Reconnecting to gpsd on localhost:2947 (try 3)...", "The
// receiver on /dev/ttyUSB0 went away; waiting for it to come back"), and
// reached() follows when it answers again. A log that cannot be read
// arrives as failed(), for good.
#pragma once

#include <QGeoPositionInfo>
#include <QNmeaPositionInfoSource>
#include <QObject>
#include <QPointer>
#include <QString>
#include <optional>

#include "app/navigate/receiver_choice.h"

class QIODevice;
class QTimer;

namespace korvexa {

class Clock;
class NmeaSource;

class ReceiverLink : public QObject {
  Q_OBJECT

 public:
  // The receiver of `choice`; nothing is opened before Start().
  explicit ReceiverLink(const ReceiverChoice& choice, QObject* parent = nullptr);
  // NMEA from `device`, which the link takes over (and opens for reading
  // when it is not open), in real time or replayed: what tests feed.
  ReceiverLink(QIODevice* device, QNmeaPositionInfoSource::UpdateMode mode, QObject* parent = nullptr);

  // Opens the receiver and starts reading; a failure is signalled before
  // Start returns.
  void Start();
  // The clock that dates GGA fixes before an RMC or ZDA has (NmeaSource);
  // set before Start. Must outlive the link.
  void SetClock(const Clock& clock) { clock_ = &clock; }

 Q_SIGNALS:
  void positionUpdated(const QGeoPositionInfo& info);
  void sentenceRead();
  void qualityRead(int quality);
  void garbageRead();
  void failed(const QString& reason);
  void reconnecting(const QString& what);
  void reached();
  void logEnded();

 private:
  void StartSerial();
  void StartGpsd();
  void StartLog();
  void BeginReading(QIODevice* device, QNmeaPositionInfoSource::UpdateMode mode);
  void Fail(const QString& reason);
  void TryAgain(const QString& why);
  void Reached();
  void Drop();
  void CheckLogEnd();

  std::optional<ReceiverChoice> choice_;
  QPointer<QIODevice> device_;
  QNmeaPositionInfoSource::UpdateMode mode_ = QNmeaPositionInfoSource::RealTimeMode;
  NmeaSource* source_ = nullptr;
  const Clock* clock_ = nullptr;
  QTimer* logEndCheck_ = nullptr;
  QTimer* retry_ = nullptr;
  int attempt_ = 0;        // tries again since the receiver was last reached
  bool wentAway_ = false;  // it was reached, then lost: said so until it is back
  bool failed_ = false;
};

}  // namespace korvexa
