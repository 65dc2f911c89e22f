#include "ui/desktop/file_dialog.h"

#include <QDir>
#include <QFileDialog>

#include "ui/help/texts.h"

namespace korvexa {

void PrepareLxFileDialog(QFileDialog& dialog) {
  dialog.setWindowTitle(texts::kOpenDialogTitle);
  dialog.setDirectory(QDir::currentPath());
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setNameFilters({texts::kAllFilesFilter, texts::kLxFilesFilter, texts::kPlssFilesFilter});
  dialog.selectNameFilter(texts::kLxFilesFilter);
}

std::optional<QString> LxFileDialog::ChooseFile(QWidget* parent) {
  QFileDialog dialog(parent);
  PrepareLxFileDialog(dialog);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().constFirst();
}

}  // namespace korvexa
