// Stand-ins for the desktop in the window tests: file dialogs that answer
// from a script, a print dialog that prints to a PDF file, and a message sink
// that records instead of blocking (the conversion services are in
// fake_services.h).
#pragma once

#include <QString>
#include <QStringList>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/services.h"
#include "tests/support/fake_services.h"
#include "ui/desktop/message_sink.h"
#include "ui/desktop/window_platform.h"

namespace korvexa::testing {

class ScriptedFileDialog : public OpenFileDialog {
 public:
  // The next ChooseFile returns `path`; a null QString means the user cancels.
  void Answer(const QString& path) { answers_.append(path); }
  int calls() const { return calls_; }
  std::optional<QString> ChooseFile(QWidget* parent) override;

 private:
  QStringList answers_;
  int calls_ = 0;
};

class ScriptedSaveDialog : public SaveFileDialog {
 public:
  // The next ChooseSaveFile returns `path`; a null QString means the user cancels.
  void Answer(const QString& path) { answers_.append(path); }
  std::optional<QString> ChooseSaveFile(QWidget* parent, const QString& title, const QString& filter,
                                        const QString& suggested) override;
  QStringList suggested;  // what each call offered

 private:
  QStringList answers_;
};

// Accepts with the printer printing to the PDF file `pdfPath`; cancels while
// that is empty.
class PdfPrintDialog : public PrintDialog {
 public:
  bool ChoosePrinter(QPrinter& printer, QWidget* parent) override;
  QString pdfPath;
  int calls = 0;
  QString offeredFile;  // the file a print to file would write, as the dialog was given it
};

// Answers the export choices from what the test set: `csv` (nothing
// cancels), the unit at `unit`, the name prefix `prefix` (each: nothing
// cancels); keeps what it was offered.
class ScriptedExportChoices : public ExportChoices {
 public:
  std::optional<CsvChoice> ChooseCsv(QWidget* parent, const GridOffer& offer, const CsvChoice& last,
                                     const GridChecker& check) override;
  std::optional<std::size_t> ChooseUnit(QWidget* parent, const std::vector<GarminUnit>& units) override;
  std::optional<std::string> ChooseNamePrefix(QWidget* parent, const std::string& current) override;
  std::optional<CsvChoice> csv = CsvChoice{};
  std::optional<std::string> prefix;  // nothing cancels
  std::optional<std::size_t> unit = 0;
  std::vector<GridOffer> offers;  // each ChooseCsv's
  std::vector<CsvChoice> lasts;   // the last choice each ChooseCsv was given
  std::vector<std::vector<GarminUnit>> unitLists;
};

// Chooses `answer` (nothing: the user cancels) and records what it was offered.
class ScriptedTownshipChooser : public TownshipChooser {
 public:
  std::optional<std::vector<std::string>> Choose(QWidget*, const QString&, const std::vector<PlssTownshipCount>& townships,
                                                 const std::vector<std::string>& remembered) override {
    offered = townships;
    rememberedLast = remembered;
    return answer;
  }
  std::optional<std::vector<std::string>> answer;
  std::vector<PlssTownshipCount> offered;
  std::vector<std::string> rememberedLast;
};

struct Message {
  MessageKind kind;
  QString title;
  QString text;
};

class RecordingMessageSink : public MessageSink {
 public:
  void Show(QWidget* parent, MessageKind kind, const QString& title, const QString& text) override;
  std::vector<Message> messages;
};

// The scripted dialogs, the recording sink, an empty registry, the scripted
// export choices, the volumes of the test and scripted answers to questions.
struct FakePlatform {
  std::shared_ptr<ScriptedFileDialog> dialog = std::make_shared<ScriptedFileDialog>();
  std::shared_ptr<RecordingMessageSink> sink = std::make_shared<RecordingMessageSink>();
  std::shared_ptr<ScriptedSaveDialog> saveDialog = std::make_shared<ScriptedSaveDialog>();
  std::shared_ptr<PdfPrintDialog> printDialog = std::make_shared<PdfPrintDialog>();
  std::shared_ptr<ScriptedExportChoices> exportChoices = std::make_shared<ScriptedExportChoices>();
  // The mounted volumes the window sees: none unless a test adds some.
  std::shared_ptr<std::vector<MountedVolume>> volumes = std::make_shared<std::vector<MountedVolume>>();
  // The questions asked, each answered with `answer`.
  struct Questions {
    QStringList asked;
    bool answer = true;
  };
  std::shared_ptr<Questions> questions = std::make_shared<Questions>();
  std::shared_ptr<ScriptedTownshipChooser> townships = std::make_shared<ScriptedTownshipChooser>();
  WindowPlatform Platform() const;
};

}  // namespace korvexa::testing
