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
// Every way the receiver fails arrives as failed() with a sentence for the
// status bar: a port that cannot be opened, gpsd refusing or closing the
// connection, a log that cannot be read, a port that goes away.
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
  void logEnded();

 private:
  void StartSerial();
  void StartGpsd();
  void StartLog();
  void BeginReading(QIODevice* device, QNmeaPositionInfoSource::UpdateMode mode);
  void Fail(const QString& reason);
  void CheckLogEnd();

  std::optional<ReceiverChoice> choice_;
  QPointer<QIODevice> device_;
  QNmeaPositionInfoSource::UpdateMode mode_ = QNmeaPositionInfoSource::RealTimeMode;
  NmeaSource* source_ = nullptr;
  const Clock* clock_ = nullptr;
  QTimer* logEndCheck_ = nullptr;
  bool failed_ = false;
};

}  // namespace korvexa
