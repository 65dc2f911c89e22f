#include "ui/desktop/message_sink.h"

#include <QMessageBox>

#include "ui/help/texts.h"

namespace korvexa {

void MessageBoxSink::Show(QWidget* parent, MessageKind kind, const QString& title, const QString& text) {
  const QMessageBox::Icon icon = kind == MessageKind::Critical  ? QMessageBox::Critical
                                 : kind == MessageKind::Warning ? QMessageBox::Warning
                                                                : QMessageBox::NoIcon;
  QMessageBox box(icon, title, text, QMessageBox::Ok, parent);
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

void ReportFailure(MessageSink& messages, QWidget* parent, const QString& command, const std::exception& error) {
  messages.Show(parent, MessageKind::Critical, texts::kProgramName,
                command + QStringLiteral(" failed: ") + QString::fromLocal8Bit(error.what()));
}

}  // namespace korvexa
