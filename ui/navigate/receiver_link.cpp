#include "ui/navigate/receiver_link.h"

#include <QFile>
#include <QSerialPort>
#include <QTcpSocket>
#include <QTimer>

#include "ui/navigate/nmea_source.h"

namespace korvexa {
namespace {

constexpr int kLogEndCheckMilliseconds = 500;
constexpr char kWatchNmea[] = "?WATCH={\"enable\":true,\"nmea\":true}\n";

QString Text(const std::string& text) {
  return QString::fromLocal8Bit(text);
}

}  // namespace

ReceiverLink::ReceiverLink(const ReceiverChoice& choice, QObject* parent) : QObject(parent), choice_(choice) {}

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
  if (!port->open(QIODevice::ReadOnly)) {
    Fail(QStringLiteral("Cannot open %1: %2").arg(Text(choice_->device), port->errorString()));
    return;
  }
  connect(port, &QSerialPort::errorOccurred, this, [this, port](QSerialPort::SerialPortError error) {
    if (error == QSerialPort::NoError || error == QSerialPort::TimeoutError) return;
    Fail(QStringLiteral("The receiver on %1 stopped: %2").arg(Text(choice_->device), port->errorString()));
  });
  BeginReading(port, QNmeaPositionInfoSource::RealTimeMode);
}

// The NMEA source opens a device that is not open: a socket must be
// connected before it is handed over.
void ReceiverLink::StartGpsd() {
  auto* socket = new QTcpSocket(this);
  device_ = socket;
  const QString where = Text(DescribeReceiver(*choice_));
  connect(socket, &QTcpSocket::connected, this, [this, socket] {
    socket->write(kWatchNmea);
    BeginReading(socket, QNmeaPositionInfoSource::RealTimeMode);
  });
  connect(socket, &QTcpSocket::errorOccurred, this, [this, socket, where](QAbstractSocket::SocketError error) {
    if (error == QAbstractSocket::RemoteHostClosedError) {
      Fail(QStringLiteral("%1 closed the connection").arg(where));
    } else {
      Fail(QStringLiteral("Cannot reach %1: %2").arg(where, socket->errorString()));
    }
  });
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
    if (error == QGeoPositionInfoSource::AccessError || error == QGeoPositionInfoSource::ClosedError) {
      Fail(QStringLiteral("The receiver cannot be read"));
    }
  });
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

// One failure is reported; the source stops, so no late position follows
// it, and the device is closed (a port that went away must be).
void ReceiverLink::Fail(const QString& reason) {
  if (failed_) return;
  failed_ = true;
  if (source_ != nullptr) source_->stopUpdates();
  if (device_) device_->close();
  Q_EMIT failed(reason);
}

}  // namespace korvexa
