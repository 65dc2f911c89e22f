#include "ui/navigate/receiver_link.h"

#include <QFile>
#include <QSerialPort>
#include <QTcpSocket>
#include <QTimer>

#include "app/navigate/receiver_watch.h"
#include "ui/navigate/capped_lines.h"
#include "ui/navigate/nmea_source.h"

namespace korvexa {
namespace {

constexpr int kLogEndCheckMilliseconds = 500;
constexpr char kWatchNmea[] = "?WATCH={\"enable\":true,\"nmea\":true}\n";

QString Text(const std::string& text) {
  return QString::fromLocal8Bit(text);
}

}  // namespace

ReceiverLink::ReceiverLink(const ReceiverChoice& choice, QObject* parent) : QObject(parent), choice_(choice) {
  retry_ = new QTimer(this);
  retry_->setSingleShot(true);
  connect(retry_, &QTimer::timeout, this, &ReceiverLink::Start);
}

ReceiverLink::ReceiverLink(QIODevice* device, QNmeaPositionInfoSource::UpdateMode mode, QObject* parent)
    : QObject(parent), device_(device), mode_(mode) {
  device->setParent(this);
}

void ReceiverLink::Start() {
  if (!choice_) {
    BeginReading(device_, mode_);
    return;
  }
  switch (choice_->kind) {
    case ReceiverKind::Serial:
      StartSerial();
      break;
    case ReceiverKind::Gpsd:
      StartGpsd();
      break;
    case ReceiverKind::Log:
      StartLog();
      break;
  }
}

void ReceiverLink::StartSerial() {
  auto* port = new QSerialPort(Text(choice_->device), this);
  device_ = port;
  port->setBaudRate(choice_->baud);
  port->setDataBits(QSerialPort::Data8);
  port->setParity(QSerialPort::NoParity);
  port->setStopBits(QSerialPort::OneStop);
  port->setFlowControl(QSerialPort::NoFlowControl);
  const QString device = Text(choice_->device);
  if (!port->open(QIODevice::ReadOnly)) {
    TryAgain(wentAway_ ? QString()
                       : QStringLiteral("Cannot open %1: %2; trying again").arg(device, port->errorString()));
    return;
  }
  // A port that goes away (a pulled cable, a receiver switched off) ends
  // in an error of the read, whose own text is no help ("Unknown error").
  connect(port, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError error) {
    if (error == QSerialPort::NoError || error == QSerialPort::TimeoutError) return;
    wentAway_ = true;
    TryAgain(QString());
  });
  Reached();
  BeginReading(port, QNmeaPositionInfoSource::RealTimeMode);
}

// The NMEA source opens a device that is not open: a socket must be
// connected before it is handed over.
void ReceiverLink::StartGpsd() {
  auto* socket = new QTcpSocket(this);
  device_ = socket;
  connect(socket, &QTcpSocket::connected, this, [this, socket] {
    socket->write(kWatchNmea);
    Reached();
    BeginReading(socket, QNmeaPositionInfoSource::RealTimeMode);
  });
  connect(socket, &QTcpSocket::errorOccurred, this, [this] { TryAgain(QString()); });
  socket->connectToHost(Text(choice_->host), static_cast<quint16>(choice_->port), QIODevice::ReadWrite);
}

void ReceiverLink::StartLog() {
  auto* file = new QFile(QFile::decodeName(QByteArray::fromStdString(choice_->log)), this);
  device_ = file;
  if (!file->open(QIODevice::ReadOnly)) {
    Fail(QStringLiteral("Cannot read the log %1: %2").arg(file->fileName(), file->errorString()));
    return;
  }
  BeginReading(file, QNmeaPositionInfoSource::SimulationMode);
}

void ReceiverLink::BeginReading(QIODevice* device, QNmeaPositionInfoSource::UpdateMode mode) {
  source_ = new NmeaSource(mode, this);
  if (clock_ != nullptr) source_->SetClock(*clock_);
  connect(source_, &NmeaSource::qualityRead, this, &ReceiverLink::qualityRead);
  connect(source_, &NmeaSource::sentenceRead, this, &ReceiverLink::sentenceRead);
  connect(source_, &NmeaSource::garbageRead, this, &ReceiverLink::garbageRead);
  connect(source_, &QGeoPositionInfoSource::positionUpdated, this, &ReceiverLink::positionUpdated);
  connect(source_, &QGeoPositionInfoSource::errorOccurred, this, [this](QGeoPositionInfoSource::Error error) {
    if (error != QGeoPositionInfoSource::AccessError && error != QGeoPositionInfoSource::ClosedError) return;
    if (choice_ && choice_->kind != ReceiverKind::Log) {
      wentAway_ = choice_->kind == ReceiverKind::Serial;
      TryAgain(QString());
    } else {
      Fail(QStringLiteral("The receiver cannot be read"));
    }
  });
  if (mode == QNmeaPositionInfoSource::RealTimeMode) {
    if (!device->isOpen()) device->open(QIODevice::ReadOnly);
    device = new CappedLines(device);
  }
  source_->setDevice(device);
  source_->startUpdates();
  if (mode == QNmeaPositionInfoSource::SimulationMode) {
    logEndCheck_ = new QTimer(this);
    connect(logEndCheck_, &QTimer::timeout, this, &ReceiverLink::CheckLogEnd);
    logEndCheck_->start(kLogEndCheckMilliseconds);
  }
}

// The replay reads a line ahead of the fix it is waiting to give: at the
// end of the file the last fix is due within one step of the log.
void ReceiverLink::CheckLogEnd() {
  if (device_ && device_->atEnd()) {
    logEndCheck_->stop();
    Q_EMIT logEnded();
  }
}

// One failure is reported.
void ReceiverLink::Fail(const QString& reason) {
  if (failed_) return;
  failed_ = true;
  Drop();
  Q_EMIT failed(reason);
}

// The source stops and goes, so no late position follows; the device is
// closed (a port that went away must be) and goes with it.
void ReceiverLink::Drop() {
  if (source_ != nullptr) {
    source_->stopUpdates();
    source_->disconnect(this);
    source_->deleteLater();
    source_ = nullptr;
  }
  if (device_) {
    device_->disconnect(this);
    device_->close();
    device_->deleteLater();
  }
  device_ = nullptr;
}

// Drops the receiver and starts it again after the growing wait; says for
// gpsd which try comes, for a port that went away that it is waited for,
// else `why` ("Cannot open ...; trying again") and the try.
void ReceiverLink::TryAgain(const QString& why) {
  if (retry_->isActive()) return;  // one error of a kind brings others
  Drop();
  ++attempt_;
  QString what;
  if (wentAway_) {
    what = QStringLiteral("The receiver on %1 went away; waiting for it to come back").arg(Text(choice_->device));
  } else if (choice_->kind == ReceiverKind::Gpsd) {
    what = QStringLiteral("Reconnecting to %1 (try %2)...").arg(Text(DescribeReceiver(*choice_))).arg(attempt_ + 1);
  } else {
    what = why + QStringLiteral(" (try %1)...").arg(attempt_ + 1);
  }
  Q_EMIT reconnecting(what);
  retry_->start(static_cast<int>(ReconnectWait(attempt_) * 1000));
}

void ReceiverLink::Reached() {
  attempt_ = 0;
  wentAway_ = false;
  Q_EMIT reached();
}

}  // namespace korvexa
