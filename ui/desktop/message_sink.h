// Where the windows send their message boxes. The desktop shows them as
// modal message boxes; tests record them instead of blocking on a dialog.
#pragma once

#include <QString>
#include <exception>

class QWidget;

namespace korvexa {

enum class MessageKind {
  Plain,     // no icon, OK only
  Warning,   // a command that did its work with exceptions: warning icon, OK only
  Critical,  // a failed command: error icon, OK only
};

class MessageSink {
 public:
  virtual ~MessageSink() = default;

  // Shows `text` under `title` over `parent` and returns when the user has
  // closed the message.
  virtual void Show(QWidget* parent, MessageKind kind, const QString& title, const QString& text) = 0;
};

// Tells over `parent` that `command` failed, and why: a critical message
// under the program's name.
void ReportFailure(MessageSink& messages, QWidget* parent, const QString& command, const std::exception& error);

// Modal QMessageBox with an OK button.
class MessageBoxSink : public MessageSink {
 public:
  void Show(QWidget* parent, MessageKind kind, const QString& title, const QString& text) override;
};

}  // namespace korvexa
