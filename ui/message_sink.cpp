#include "ui/message_sink.h"

#include <QMessageBox>

namespace korvexa {

void MessageBoxSink::Show(QWidget* parent, MessageKind kind, const QString& title, const QString& text) {
  const QMessageBox::Icon icon = kind == MessageKind::Critical  ? QMessageBox::Critical
                                 : kind == MessageKind::Warning ? QMessageBox::Warning
                                                                : QMessageBox::NoIcon;
  QMessageBox box(icon, title, text, QMessageBox::Ok, parent);
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

}  // namespace korvexa
