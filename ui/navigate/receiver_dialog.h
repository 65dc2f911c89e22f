// The "GPS receiver" dialog of the map window (GPS > Receiver...): a serial
// port (those found on this computer, or a name typed in) at a speed, gpsd on
// a host and port, or an NMEA log to replay. OK is offered only for a
// complete choice.
#pragma once

#include <QDialog>
#include <QStringList>
#include <functional>
#include <optional>

#include "app/navigate/receiver_choice.h"

class QComboBox;
class QDialogButtonBox;
class QLineEdit;
class QRadioButton;
class QSpinBox;

namespace korvexa {

class ReceiverDialog : public QDialog {
  Q_OBJECT

 public:
  // Asks for a log file to replay; nothing when the user cancels.
  using ChooseLog = std::function<std::optional<QString>(QWidget* parent)>;

  // Shows `current`; `serialPorts` are the device paths offered
  // ("/dev/ttyUSB0"), `chooseLog` serves Browse.
  ReceiverDialog(const ReceiverChoice& current, const QStringList& serialPorts, ChooseLog chooseLog,
                 QWidget* parent = nullptr);

  // What the dialog shows now: the fields of the kind chosen.
  ReceiverChoice choice() const;

  QRadioButton* serial;
  QComboBox* serialPort;
  QComboBox* serialSpeed;
  QRadioButton* gpsd;
  QLineEdit* gpsdHost;
  QSpinBox* gpsdPort;
  QRadioButton* log;
  QLineEdit* logFile;
  QDialogButtonBox* buttons;

 private:
  void ShowChoice(const ReceiverChoice& choice);
  void UpdateEnabled();

  ChooseLog chooseLog_;
};

// Shows the dialog modally over `parent`; the choice when the user accepts.
std::optional<ReceiverChoice> AskForReceiver(QWidget* parent, const ReceiverChoice& current);

}  // namespace korvexa
