// The file-open dialog of File > Open, behind an interface so that tests can
// choose a file without a modal dialog.
#pragma once

#include <QString>
#include <optional>

class QFileDialog;
class QWidget;

namespace korvexa {

class OpenFileDialog {
 public:
  virtual ~OpenFileDialog() = default;

  // The full path of the file the user chose, or nothing when the user
  // cancelled.
  virtual std::optional<QString> ChooseFile(QWidget* parent) = 0;
};

// Makes `dialog` Qt's own file-open dialog titled "Select a .LX file load",
// with the filters "All Files (*.*)" and "LX Files (*.lx)", the second
// preselected. Qt's own dialog matches patterns regardless of letter case, so
// the .LX filter shows "t12n.lx" and "T12N.LX" alike (a native dialog may
// not). It opens in the current folder, the folder of the file opened last.
void PrepareLxFileDialog(QFileDialog& dialog);

// Shows the dialog that PrepareLxFileDialog prepares.
class LxFileDialog : public OpenFileDialog {
 public:
  std::optional<QString> ChooseFile(QWidget* parent) override;
};

}  // namespace korvexa
