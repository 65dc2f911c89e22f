// The dialogs of the map window's Print, Save as PDF and Save as PNG, behind
// interfaces so that tests answer them without a modal dialog.
#pragma once

#include <QString>
#include <optional>

class QPrinter;
class QWidget;

namespace korvexa {

class SaveFileDialog {
 public:
  virtual ~SaveFileDialog() = default;

  // The full path the user chose to save to under `title`, offering
  // `suggested` first and showing the files of `filter` ("PDF files
  // (*.pdf)"); nothing when the user cancelled.
  virtual std::optional<QString> ChooseSaveFile(QWidget* parent, const QString& title, const QString& filter,
                                                const QString& suggested) = 0;
};

class PrintDialog {
 public:
  virtual ~PrintDialog() = default;

  // Lets the user set up `printer`; true when the user chose to print.
  virtual bool ChoosePrinter(QPrinter& printer, QWidget* parent) = 0;
};

// Qt's own save dialog (not the native one, as the open dialog); it asks
// before replacing a file and adds the filter's extension to a bare name.
class QtSaveFileDialog : public SaveFileDialog {
 public:
  std::optional<QString> ChooseSaveFile(QWidget* parent, const QString& title, const QString& filter,
                                        const QString& suggested) override;
};

class QtPrintDialog : public PrintDialog {
 public:
  bool ChoosePrinter(QPrinter& printer, QWidget* parent) override;
};

}  // namespace korvexa
