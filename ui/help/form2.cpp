#include "ui/help/form2.h"

#include <QPlainTextEdit>
#include <QPushButton>

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

  Text1 = new QPlainTextEdit(texts::HelpText(), this);
  Text1->setObjectName(QStringLiteral("Text1"));
  Text1->setGeometry(Twips(120, 120, 14295, 6255));
  Text1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  Text1->setTabChangesFocus(true);
  MarkScrollBarHandle(Text1);

  // Neither the default nor the cancel button: Enter and Esc do not press it.
  Command1 = new QPushButton(QStringLiteral("Ok"), this);
  Command1->setObjectName(QStringLiteral("Command1"));
  Command1->setGeometry(Twips(6120, 6480, 1455, 495));
  connect(Command1, &QPushButton::clicked, this, &QWidget::close);

  setTabOrder(Text1, Command1);
  Text1->setFocus();
}

}  // namespace korvexa
