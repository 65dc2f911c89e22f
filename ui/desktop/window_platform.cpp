#include "ui/desktop/window_platform.h"

#include <QMessageBox>

#include "ui/help/texts.h"

namespace korvexa {
namespace {

bool AskYesOrNo(QWidget* parent, const QString& question) {
  return QMessageBox::question(parent, texts::kProgramName, question, QMessageBox::Yes | QMessageBox::No,
                               QMessageBox::No) == QMessageBox::Yes;
}

}  // namespace

WindowPlatform MakeDesktopWindowPlatform() {
  return {std::make_shared<LxFileDialog>(),
          std::make_shared<MessageBoxSink>(),
          DesktopSystemInfoPlatform(),
          std::make_shared<QtSaveFileDialog>(),
          std::make_shared<QtPrintDialog>(),
          std::make_shared<QtExportChoices>(),
          MountedVolumes,
          AskYesOrNo,
          std::make_shared<DialogTownshipChooser>()};
}

QSettings ProgramSettings() {
  return QSettings(texts::kProgramName, texts::kProgramName);
}

}  // namespace korvexa
