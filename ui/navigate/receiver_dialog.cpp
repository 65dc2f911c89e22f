#include "ui/navigate/receiver_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSerialPortInfo>
#include <QSpinBox>
#include <QVBoxLayout>
#include <utility>

#include "ui/desktop/look.h"

namespace korvexa {
namespace {

QString Text(const std::string& text) {
  return QString::fromLocal8Bit(text);
}

std::string Local(const QString& text) {
  return text.trimmed().toLocal8Bit().toStdString();
}

QStringList SerialPortsFound() {
  QStringList ports;
  for (const QSerialPortInfo& port : QSerialPortInfo::availablePorts()) ports << port.systemLocation();
  ports.sort();
  return ports;
}

std::optional<QString> ChooseLogFile(QWidget* parent) {
  const QString file = QFileDialog::getOpenFileName(parent, QStringLiteral("Replay an NMEA log"), QString(),
                                                    QStringLiteral("NMEA logs (*.nmea *.txt *.log);;All files (*)"));
  if (file.isEmpty()) return std::nullopt;
  return file;
}

}  // namespace

ReceiverDialog::ReceiverDialog(const ReceiverChoice& current, const QStringList& serialPorts, ChooseLog chooseLog,
                               QWidget* parent)
    : QDialog(parent), chooseLog_(std::move(chooseLog)) {
  setObjectName(QStringLiteral("ReceiverDialog"));
  setWindowTitle(QStringLiteral("GPS receiver"));
  serial = Named(new QRadioButton(QStringLiteral("&Serial port (USB, Bluetooth)"), this), "serial");
  serialPort = Named(new QComboBox(this), "serialPort");
  serialPort->setEditable(true);
  serialPort->addItems(serialPorts);
  serialSpeed = Named(new QComboBox(this), "serialSpeed");
  for (int speed : kSerialSpeeds) serialSpeed->addItem(QStringLiteral("%1 baud").arg(speed), speed);
  gpsd = Named(new QRadioButton(QStringLiteral("&gpsd"), this), "gpsd");
  gpsdHost = Named(new QLineEdit(this), "gpsdHost");
  gpsdPort = Named(new QSpinBox(this), "gpsdPort");
  gpsdPort->setRange(1, 65535);
  log = Named(new QRadioButton(QStringLiteral("&Replay an NMEA log"), this), "log");
  logFile = Named(new QLineEdit(this), "logFile");
  auto* browse = Named(new QPushButton(QStringLiteral("&Browse..."), this), "browse");
  buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);

  auto* serialRow = new QHBoxLayout;
  serialRow->addWidget(serialPort, 1);
  serialRow->addWidget(serialSpeed);
  auto* gpsdRow = new QHBoxLayout;
  gpsdRow->addWidget(gpsdHost, 1);
  gpsdRow->addWidget(gpsdPort);
  auto* logRow = new QHBoxLayout;
  logRow->addWidget(logFile, 1);
  logRow->addWidget(browse);
  auto* form = new QFormLayout;
  form->addRow(serial);
  form->addRow(QStringLiteral("Port and speed:"), serialRow);
  form->addRow(gpsd);
  form->addRow(QStringLiteral("Host and port:"), gpsdRow);
  form->addRow(log);
  form->addRow(QStringLiteral("Log file:"), logRow);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons);

  for (QRadioButton* kind : {serial, gpsd, log})
    connect(kind, &QRadioButton::toggled, this, &ReceiverDialog::UpdateEnabled);
  connect(serialPort, &QComboBox::editTextChanged, this, &ReceiverDialog::UpdateEnabled);
  connect(gpsdHost, &QLineEdit::textChanged, this, &ReceiverDialog::UpdateEnabled);
  connect(logFile, &QLineEdit::textChanged, this, &ReceiverDialog::UpdateEnabled);
  connect(browse, &QPushButton::clicked, this, [this] {
    if (const std::optional<QString> file = chooseLog_(this)) {
      logFile->setText(*file);
      log->setChecked(true);
    }
  });
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  ShowChoice(current);
}

void ReceiverDialog::ShowChoice(const ReceiverChoice& choice) {
  const ReceiverChoice defaults;
  serial->setChecked(choice.kind == ReceiverKind::Serial);
  gpsd->setChecked(choice.kind == ReceiverKind::Gpsd);
  log->setChecked(choice.kind == ReceiverKind::Log);
  if (!choice.device.empty()) serialPort->setEditText(Text(choice.device));
  serialSpeed->setCurrentIndex(std::max(0, serialSpeed->findData(choice.baud)));
  gpsdHost->setText(Text(choice.kind == ReceiverKind::Gpsd ? choice.host : defaults.host));
  gpsdPort->setValue(choice.kind == ReceiverKind::Gpsd ? choice.port : defaults.port);
  logFile->setText(Text(choice.log));
  UpdateEnabled();
}

// Only the fields of the kind chosen; the others keep their defaults.
ReceiverChoice ReceiverDialog::choice() const {
  ReceiverChoice choice;
  if (serial->isChecked()) {
    choice.kind = ReceiverKind::Serial;
    choice.device = Local(serialPort->currentText());
    choice.baud = serialSpeed->currentData().toInt();
  } else if (log->isChecked()) {
    choice.kind = ReceiverKind::Log;
    choice.log = Local(logFile->text());
  } else {
    choice.host = Local(gpsdHost->text());
    choice.port = gpsdPort->value();
  }
  return choice;
}

void ReceiverDialog::UpdateEnabled() {
  for (QWidget* field : std::initializer_list<QWidget*>{serialPort, serialSpeed})
    field->setEnabled(serial->isChecked());
  for (QWidget* field : std::initializer_list<QWidget*>{gpsdHost, gpsdPort}) field->setEnabled(gpsd->isChecked());
  logFile->setEnabled(log->isChecked());
  const ReceiverChoice chosen = choice();
  const bool complete = (chosen.kind == ReceiverKind::Serial && !chosen.device.empty()) ||
                        (chosen.kind == ReceiverKind::Gpsd && !chosen.host.empty()) ||
                        (chosen.kind == ReceiverKind::Log && !chosen.log.empty());
  buttons->button(QDialogButtonBox::Ok)->setEnabled(complete);
}

std::optional<ReceiverChoice> AskForReceiver(QWidget* parent, const ReceiverChoice& current) {
  ReceiverDialog dialog(current, SerialPortsFound(), &ChooseLogFile, parent);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.choice();
}

}  // namespace korvexa
