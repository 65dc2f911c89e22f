// frmAbout, the About box: the program's name, version, description and
// disclaimer, and the System Info command. OK, Enter and Esc close it; Enter
// in the disclaimer box closes it too (Ctrl+Enter types a new line there),
// while Enter on "System Info..." presses that button. The box deletes itself
// when closed.
#pragma once

#include <QDialog>
#include <memory>

#include "ui/help/system_info.h"

class QPlainTextEdit;
class QPushButton;

namespace korvexa {

class MessageSink;

class frmAbout : public QDialog {
  Q_OBJECT

 public:
  frmAbout(SystemInfoPlatform platform, std::shared_ptr<MessageSink> messages, QWidget* parent = nullptr);

  // Starts the system information tool, or tells the user in a message box
  // titled "Korvexa" that it is unavailable.
  void StartSysInfo();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildControls();

  // The controls used after they are made, named for their job; their
  // object names are the box's own (cmdOK, Text1).
  QPushButton* okButton_;
  QPlainTextEdit* disclaimerText_;
  SystemInfoPlatform platform_;
  std::shared_ptr<MessageSink> messages_;
};

}  // namespace korvexa
