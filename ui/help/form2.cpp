#include "ui/help/form2.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>

#include "ui/desktop/look.h"
#include "ui/help/texts.h"

namespace korvexa {

Form2::Form2(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("Form2"));
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(texts::kHelpCaption);
  setWindowIcon(AppIcon());
  setFont(DialogFont(kDialogPoints, false));
  resize(Pixels(14580), Pixels(7200));

  auto* text = Named(new QPlainTextEdit(texts::HelpText(), this), "Text1");
  text->setGeometry(Twips(120, 120, 14295, 6255));
  text->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  text->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  text->setTabChangesFocus(true);
  MarkScrollBarHandle(text);

  // Not the default button: Enter in the text starts a new line.
  auto* ok = Named(new QPushButton(QStringLiteral("Ok"), this), "Command1");
  ok->setGeometry(Twips(6120, 6480, 1455, 495));
  connect(ok, &QPushButton::clicked, this, &QWidget::close);
  // Esc closes the window, wherever the focus is, as it closes About.
  connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, &QWidget::close);

  setTabOrder(text, ok);
  text->setFocus();
}

}  // namespace korvexa
