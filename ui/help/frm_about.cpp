#include "ui/help/frm_about.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "app/build_info.h"
#include "ui/desktop/look.h"
#include "ui/desktop/message_sink.h"
#include "ui/help/texts.h"

namespace korvexa {
namespace {

void SetTextColour(QWidget* widget, const QColor& colour) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::WindowText, colour);
  widget->setPalette(palette);
}

}  // namespace

frmAbout::frmAbout(SystemInfoPlatform platform, std::shared_ptr<MessageSink> messages, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      platform_(std::move(platform)),
      messages_(std::move(messages)) {
  setObjectName(QStringLiteral("frmAbout"));
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowIcon(AppIcon());
  setFont(DialogFont(kDialogPoints, false));
  setSizeGripEnabled(false);
  setGeometry(Twips(2340, 1935, 6000, 6870));
  setFixedSize(Pixels(6000), Pixels(6870));
  BuildControls();
  FillCaptions();
  cmdOK->setFocus();
}

void frmAbout::BuildControls() {
  cmdOK = new QPushButton(QStringLiteral("OK"), this);
  cmdOK->setObjectName(QStringLiteral("cmdOK"));
  cmdOK->setGeometry(Twips(4320, 5880, 1260, 345));
  cmdOK->setDefault(true);
  connect(cmdOK, &QPushButton::clicked, this, &QWidget::close);

  picIcon = MakeLabel(this, "picIcon", QString(), Twips(240, 240, 540, 540));
  picIcon->setPixmap(AppIconImage());
  picIcon->setAlignment(Qt::AlignCenter);
  picIcon->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  picIcon->setLineWidth(2);

  cmdSysInfo = new QPushButton(QStringLiteral("&System Info..."), this);
  cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
  cmdSysInfo->setGeometry(Twips(4320, 6360, 1245, 345));
  connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::StartSysInfo);

  lblDescription = MakeLabel(this, "lblDescription", texts::AboutDescription(), Twips(210, 1125, 5445, 1170));
  lblDescription->setWordWrap(true);
  SetTextColour(lblDescription, Qt::black);
  lblTitle = MakeLabel(this, "lblTitle", QString(), Twips(1050, 240, 3885, 480));
  lblTitle->setFont(DialogFont(12, true));
  SetTextColour(lblTitle, Qt::black);
  lblVersion = MakeLabel(this, "lblVersion", QString(), Twips(1080, 780, 3885, 225));

  Text1 = new QPlainTextEdit(texts::DisclaimerText(), this);
  Text1->setObjectName(QStringLiteral("Text1"));
  Text1->setGeometry(Twips(120, 2760, 5535, 3015));
  Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  Text1->setTabChangesFocus(true);
  MarkScrollBarHandle(Text1);
  Text1->installEventFilter(this);

  // The etched separator: a grey line over a white one.
  Line1 = new QFrame(this);
  Line1->setObjectName(QStringLiteral("Line1"));
  Line1->setFrameStyle(QFrame::HLine | QFrame::Sunken);
  Line1->setGeometry(Pixels(90), Pixels(2445), Pixels(5654) - Pixels(90), 2);
  QPalette etched = Line1->palette();
  etched.setColor(QPalette::Dark, QColor(128, 128, 128));
  etched.setColor(QPalette::Light, QColor(255, 255, 255));
  Line1->setPalette(etched);

  setTabOrder(cmdOK, cmdSysInfo);
  setTabOrder(cmdSysInfo, Text1);
}

void frmAbout::FillCaptions() {
  setWindowTitle(QStringLiteral("About ") + texts::kProgramName);
  lblVersion->setText(QStringLiteral("Version %1.%2.%3").arg(kVersionMajor).arg(kVersionMinor).arg(kVersionPatch));
  lblTitle->setText(texts::kProgramName);
}

void frmAbout::StartSysInfo() {
  if (!StartSystemInformationTool(platform_)) {
    messages_->Show(this, MessageKind::Plain, texts::kProgramName, texts::kSysInfoUnavailable);
  }
}

bool frmAbout::GetKeyValue(RegistryRoot KeyRoot, const std::string& KeyName, const std::string& SubKeyRef,
                           std::string& KeyVal) {
  return korvexa::GetKeyValue(*platform_.registry, KeyRoot, KeyName, SubKeyRef, KeyVal);
}

// Enter in the disclaimer box presses OK; Ctrl+Enter types a new line.
bool frmAbout::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Text1 && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      if (key->modifiers() & Qt::ControlModifier) {
        Text1->insertPlainText(QStringLiteral("\n"));
      } else {
        cmdOK->click();
      }
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace korvexa
