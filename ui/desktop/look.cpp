#include "ui/desktop/look.h"

#include <QAbstractScrollArea>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QScrollBar>

namespace korvexa {

QFont FixedPitchFont() {
  QFont font;
  font.setFamilies({QStringLiteral("Courier New"), QStringLiteral("Liberation Mono")});
  font.setStyleHint(QFont::TypeWriter);
  font.setPointSizeF(8.25);
  return font;
}

QFont DialogFont(double points, bool bold) {
  QFont font = QApplication::font();
  font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                    QStringLiteral("Liberation Sans"), QApplication::font().family()});
  font.setPointSizeF(points);
  font.setBold(bold);
  return font;
}

QIcon AppIcon() {
  QIcon icon;
  for (int size : {16, 32, 48, 64}) {
    icon.addFile(QStringLiteral(":/korvexa/icons/korvexa-%1.png").arg(size), QSize(size, size));
  }
  return icon;
}

QPixmap AppIconImage() {
  return QPixmap(QStringLiteral(":/korvexa/icons/korvexa-32.png"));
}

QAction* MakeAction(QObject* parent, const QString& text, const char* name, const QString& tip) {
  auto* action = Named(new QAction(text, parent), name);
  action->setToolTip(tip);
  return action;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, const QRect& geometry) {
  auto* label = Named(new QLabel(text, parent), name);
  label->setTextFormat(Qt::PlainText);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  label->setGeometry(geometry);
  return label;
}

void MarkScrollBarHandle(QAbstractScrollArea* text) {
  text->verticalScrollBar()->setStyleSheet(QStringLiteral(
      "QScrollBar:vertical { background: palette(base); width: 14px; border-left: 1px solid palette(midlight); }"
      "QScrollBar::handle:vertical { background: palette(mid); min-height: 16px; margin: 1px; border-radius: 3px; }"
      "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }"));
}

}  // namespace korvexa
