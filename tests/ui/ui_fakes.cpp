#include "tests/ui/ui_fakes.h"

#include <QPrinter>

namespace korvexa::testing {
std::optional<QString> ScriptedFileDialog::ChooseFile(QWidget*) {
  ++calls_;
  const QString answer = answers_.isEmpty() ? QString() : answers_.takeFirst();
  if (answer.isNull()) return std::nullopt;
  return answer;
}

std::optional<QString> ScriptedSaveDialog::ChooseSaveFile(QWidget*, const QString&, const QString&,
                                                          const QString& offered) {
  suggested.append(offered);
  const QString answer = answers_.isEmpty() ? QString() : answers_.takeFirst();
  if (answer.isNull()) return std::nullopt;
  return answer;
}

bool PdfPrintDialog::ChoosePrinter(QPrinter& printer, QWidget*) {
  ++calls;
  offeredFile = printer.outputFileName();
  if (pdfPath.isEmpty()) return false;
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(pdfPath);
  return true;
}

void RecordingMessageSink::Show(QWidget*, MessageKind kind, const QString& title, const QString& text) {
  messages.push_back({kind, title, text});
}

WindowPlatform FakePlatform::Platform() const {
  return {dialog,
          sink,
          {std::make_shared<EmptyRegistry>(), [](const std::string&) { return false; },
           [](const std::string&) { return false; }},
          saveDialog,
          printDialog,
          exportChoices,
          [volumes = volumes] { return *volumes; },
          [questions = questions](QWidget*, const QString& question) {
            questions->asked << question;
            return questions->answer;
          },
          townships};
}

std::optional<CsvChoice> ScriptedExportChoices::ChooseCsv(QWidget*, const GridOffer& offer, const CsvChoice& last,
                                                          const GridChecker&) {
  offers.push_back(offer);
  lasts.push_back(last);
  return csv;
}

std::optional<std::string> ScriptedExportChoices::ChooseNamePrefix(QWidget*, const std::string&) {
  return prefix;
}

std::optional<std::size_t> ScriptedExportChoices::ChooseUnit(QWidget*, const std::vector<GarminUnit>& units) {
  unitLists.push_back(units);
  return unit;
}

}  // namespace korvexa::testing
