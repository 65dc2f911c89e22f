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
  setWindowTitle(QStringLiteral("About ") + texts::kProgramName);
  BuildControls();
  okButton_->setFocus();
}

void frmAbout::BuildControls() {
  okButton_ = Named(new QPushButton(QStringLiteral("OK"), this), "cmdOK");
  okButton_->setGeometry(Twips(4320, 5880, 1260, 345));
  okButton_->setDefault(true);
  connect(okButton_, &QPushButton::clicked, this, &QWidget::close);

  QLabel* icon = MakeLabel(this, "picIcon", QString(), Twips(240, 240, 540, 540));
  icon->setPixmap(AppIconImage());
  icon->setAlignment(Qt::AlignCenter);
  icon->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  icon->setLineWidth(2);

  auto* sysInfo = Named(new QPushButton(QStringLiteral("&System Info..."), this), "cmdSysInfo");
  sysInfo->setGeometry(Twips(4320, 6360, 1245, 345));
  connect(sysInfo, &QPushButton::clicked, this, &frmAbout::StartSysInfo);

  QLabel* description = MakeLabel(this, "lblDescription", texts::AboutDescription(), Twips(210, 1125, 5445, 1170));
  description->setWordWrap(true);
  SetTextColour(description, Qt::black);
  QLabel* title = MakeLabel(this, "lblTitle", texts::kProgramName, Twips(1050, 240, 3885, 480));
  title->setFont(DialogFont(12, true));
  SetTextColour(title, Qt::black);
  MakeLabel(this, "lblVersion",
            QStringLiteral("Version %1.%2.%3").arg(kVersionMajor).arg(kVersionMinor).arg(kVersionPatch),
            Twips(1080, 780, 3885, 225));

  disclaimerText_ = Named(new QPlainTextEdit(texts::DisclaimerText(), this), "Text1");
  disclaimerText_->setGeometry(Twips(120, 2760, 5535, 3015));
  disclaimerText_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  disclaimerText_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  disclaimerText_->setTabChangesFocus(true);
  MarkScrollBarHandle(disclaimerText_);
  disclaimerText_->installEventFilter(this);

  // The etched separator: a grey line over a white one.
  auto* line = Named(new QFrame(this), "Line1");
  line->setFrameStyle(QFrame::HLine | QFrame::Sunken);
  line->setGeometry(Pixels(90), Pixels(2445), Pixels(5654) - Pixels(90), 2);
  QPalette etched = line->palette();
  etched.setColor(QPalette::Dark, QColor(128, 128, 128));
  etched.setColor(QPalette::Light, QColor(255, 255, 255));
  line->setPalette(etched);

  setTabOrder(okButton_, sysInfo);
  setTabOrder(sysInfo, disclaimerText_);
}

void frmAbout::StartSysInfo() {
  if (!StartSystemInformationTool(platform_)) {
    messages_->Show(this, MessageKind::Plain, texts::kProgramName, texts::kSysInfoUnavailable);
  }
}

// Enter in the disclaimer box presses OK; Ctrl+Enter types a new line.
bool frmAbout::eventFilter(QObject* watched, QEvent* event) {
  if (watched == disclaimerText_ && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      if (key->modifiers() & Qt::ControlModifier) {
        disclaimerText_->insertPlainText(QStringLiteral("\n"));
      } else {
        okButton_->click();
      }
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace korvexa
