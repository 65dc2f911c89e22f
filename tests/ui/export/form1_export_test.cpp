// File > Export and Save waypoints as in the main window, through the
// scripted dialogs: what is offered, what is written, what the status line
// and the messages say, and what is remembered for the next export.
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTest>
#include <filesystem>
#include <memory>

#include "tests/support/golden.h"
#include "tests/support/temp_folder.h"
#include "tests/ui/child.h"
#include "tests/ui/qtest_main.h"
#include "tests/ui/ui_fakes.h"
#include "transform/county_zones.h"
#include "ui/convert/form1.h"
#include "ui/export/csv_dialog.h"
#include "ui/export/export_commands.h"

namespace korvexa {

using testing::Child;

class Form1ExportTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
    // The test settings outlive a run: start from a new machine's, whatever another test program left there.
    QSettings(QStringLiteral("Korvexa"), QStringLiteral("Korvexa")).clear();
    UseCountyBoundaries(KORVEXA_SHIPPED_COUNTIES);
  }
  void init();
  void cleanup();

  void exportsWaitForTickedCorners();
  void csvIsWrittenAndItsChoiceRemembered();
  void aRefusedGridWritesNothing();
  void theDialogChecksATypedCodeAndPrefersTheCountysZone();
  void kmlSaysItsDatum();
  void sendToGpsWithoutAUnitSaysHowToConnectOne();
  void sendToGpsLetsTheUserChooseAmongUnits();
  void sendToGpsAsksBeforeReplacing();
  void saveWaypointsAsWritesElsewhereWithoutTheDrawing();
  void theNamePrefixReachesGpxKmlAndCsvButNotPcx5();

 private:
  void OpenAndTickAll();
  QString Path(const std::string& name) const { return QString::fromStdString((folder_->path() / name).string()); }
  void MakeUnit(const std::string& volume, const std::string& model);

  QString home_ = QDir::currentPath();
  std::unique_ptr<testing::TempFolder> folder_;
  std::unique_ptr<testing::FakePlatform> fakes_;
  testing::Journal journal_;
  std::unique_ptr<Form1> window_;
};

void Form1ExportTest::init() {
  folder_ = std::make_unique<testing::TempFolder>();
  fakes_ = std::make_unique<testing::FakePlatform>();
  journal_ = {};
  window_ = std::make_unique<Form1>(testing::FakeServices(&journal_), fakes_->Platform());
}

void Form1ExportTest::cleanup() {
  window_.reset();
  QDir::setCurrent(home_);
  folder_.reset();
}

void Form1ExportTest::OpenAndTickAll() {
  std::filesystem::copy_file(testing::TestData("t12n.lx"), folder_->path() / "t12n.lx");
  fakes_->dialog->Answer(Path("t12n.lx"));
  Child<QAction>(*window_, "mnuFileOpen")->trigger();
  window_->SelectAll();
}

void Form1ExportTest::MakeUnit(const std::string& volume, const std::string& model) {
  std::filesystem::create_directories(folder_->path() / volume / "Garmin");
  std::string xml = testing::ReadBytes(testing::TestData("garmin/etrex30.xml"));
  xml.replace(xml.find("eTrex 30"), 8, model);
  testing::WriteBytes(folder_->path() / volume / "Garmin" / "GarminDevice.xml", xml);
  fakes_->volumes->push_back(folder_->path() / volume);
}

void Form1ExportTest::exportsWaitForTickedCorners() {
  QCOMPARE(Child<QAction>(*window_, "mnuFileOpen")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
  QCOMPARE(Child<QMenu>(*window_, "mnuFileExport")->actions().mid(0, 3),
           (QList<QAction*>{Child<QAction>(*window_, "mnuFileExportCsv"), Child<QAction>(*window_, "mnuFileExportKml"),
                            Child<QAction>(*window_, "mnuFileSendToGps")}));
  OpenAndTickAll();
  window_->SelectNone();
  for (QAction* action : {Child<QAction>(*window_, "mnuFileSaveAs"), Child<QAction>(*window_, "mnuFileExportCsv"),
                          Child<QAction>(*window_, "mnuFileSendToGps")}) {
    QVERIFY(!action->isEnabled());
  }
  window_->SelectAll();
  for (QAction* action : {Child<QAction>(*window_, "mnuFileSaveAs"), Child<QAction>(*window_, "mnuFileExportCsv"),
                          Child<QAction>(*window_, "mnuFileSendToGps")}) {
    QVERIFY(action->isEnabled());
  }
}

void Form1ExportTest::csvIsWrittenAndItsChoiceRemembered() {
  OpenAndTickAll();
  fakes_->exportChoices->csv = CsvChoice{"32113", {CsvColumns::Penzd, false}, ""};
  fakes_->saveDialog->Answer(Path("job.csv"));
  Child<QAction>(*window_, "mnuFileExportCsv")->trigger();
  QCOMPARE(fakes_->saveDialog->suggested, QStringList{Path("t12n.csv")});
  QCOMPARE(fakes_->exportChoices->offers.at(0).systems.at(0).code, std::string("EPSG:2258"));
  QVERIFY(std::filesystem::exists(folder_->path() / "job.prj"));
  QCOMPARE(testing::CrLfLines(testing::ReadBytes(folder_->path() / "job.csv")).size(), std::size_t{4});
  QVERIFY(Child<QLabel>(*window_, "Label2")
              ->text()
              .startsWith(QStringLiteral("job.csv created in NAD83 / New Mexico Central, EPSG:32113.")));

  fakes_->exportChoices->csv.reset();  // cancelled: nothing asked further, nothing written
  Child<QAction>(*window_, "mnuFileExportCsv")->trigger();
  const CsvChoice& last = fakes_->exportChoices->lasts.at(1);
  QCOMPARE(last.crs, std::string("EPSG:32113"));
  QVERIFY(last.layout.columns == CsvColumns::Penzd && !last.layout.header);
  QCOMPARE(fakes_->saveDialog->suggested.size(), 1);
}

void Form1ExportTest::aRefusedGridWritesNothing() {
  OpenAndTickAll();
  fakes_->exportChoices->csv = CsvChoice{"EPSG:4326", {}, ""};
  fakes_->saveDialog->Answer(Path("t12n.csv"));
  Child<QAction>(*window_, "mnuFileExportCsv")->trigger();
  QCOMPARE(Child<QLabel>(*window_, "Label2")->text(), QStringLiteral("Export failed; nothing was written."));
  QCOMPARE(fakes_->sink->messages.size(), std::size_t{1});
  QVERIFY(fakes_->sink->messages[0].text.contains(QStringLiteral("EPSG:4326 WGS 84 is not a projected")));
  QCOMPARE(testing::ListFolder(folder_->path()), std::string("t12n.lx"));
  QVERIFY(fakes_->saveDialog->suggested.isEmpty());  // refused before the user chose where to save
}

// The last export's grid (EPSG:32113, offered) does not win over the
// county's zone; a typed code is checked as it is typed.
void Form1ExportTest::theDialogChecksATypedCodeAndPrefersTheCountysZone() {
  OpenAndTickAll();
  fakes_->exportChoices->csv.reset();
  Child<QAction>(*window_, "mnuFileExportCsv")->trigger();
  const GridOffer offer = fakes_->exportChoices->offers.at(0);
  GridSystems grids;
  CsvDialog dialog(offer, CsvChoice{"EPSG:32113", {}, ""},
                   [&](const std::string& code) { return CheckGrid(code, offer, grids); });
  QCOMPARE(dialog.Choice().crs, std::string("EPSG:2258"));
  QVERIFY(dialog.areaLabel->text().contains(QStringLiteral("counties of Bernalillo")));
  dialog.crsBox->setEditText(QStringLiteral("2257"));
  QVERIFY(dialog.areaLabel->text().contains(QStringLiteral("EPSG:2257 NAD83 / New Mexico East (ftUS) does not hold")));
  QVERIFY(!dialog.okButton->isEnabled());
  dialog.crsBox->setEditText(QStringLiteral("epsg:32113"));
  QVERIFY(dialog.areaLabel->text().startsWith(QStringLiteral("NAD83 / New Mexico Central, EPSG:32113. Area of use")));
  QVERIFY(dialog.okButton->isEnabled());
  QCOMPARE(dialog.Choice().crs, std::string("epsg:32113"));
}

void Form1ExportTest::kmlSaysItsDatum() {
  OpenAndTickAll();
  fakes_->saveDialog->Answer(Path("t12n.kml"));
  Child<QAction>(*window_, "mnuFileExportKml")->trigger();
  QVERIFY(Child<QLabel>(*window_, "Label2")
              ->text()
              .startsWith(QStringLiteral("t12n.kml created with 2 lines, positions NAD83")));
  QVERIFY(testing::ReadBytes(folder_->path() / "t12n.kml").find("<name>100140</name>") != std::string::npos);
}

void Form1ExportTest::sendToGpsWithoutAUnitSaysHowToConnectOne() {
  OpenAndTickAll();
  Child<QAction>(*window_, "mnuFileSendToGps")->trigger();
  QCOMPARE(fakes_->sink->messages.size(), std::size_t{1});
  QVERIFY(fakes_->sink->messages[0].text.contains(QStringLiteral("connect the unit with its USB cable")));
  QCOMPARE(Child<QLabel>(*window_, "Label2")->text(), QStringLiteral("Send to GPS failed; nothing was written."));

  std::filesystem::create_directories(folder_->path() / "watch" / "Garmin");
  std::filesystem::copy_file(testing::TestData("garmin/runner110.xml"),
                             folder_->path() / "watch" / "Garmin" / "GarminDevice.xml");
  fakes_->volumes->push_back(folder_->path() / "watch");
  Child<QAction>(*window_, "mnuFileSendToGps")->trigger();
  QVERIFY(fakes_->sink->messages.at(1).text.contains(QStringLiteral("Runner 110 takes no GPX files")));
  QCOMPARE(testing::ListFolder(folder_->path() / "watch" / "Garmin"), std::string("GarminDevice.xml"));
}

// A file of that name on the unit is replaced only when the user says so;
// a volume skipped is named.
void Form1ExportTest::sendToGpsAsksBeforeReplacing() {
  OpenAndTickAll();
  MakeUnit("unit", "eTrex 10");
  std::filesystem::create_directories(folder_->path() / "stick" / "Garmin");
  testing::WriteBytes(folder_->path() / "stick" / "Garmin" / "GarminDevice.xml", "</>");
  fakes_->volumes->push_back(folder_->path() / "stick");
  const std::filesystem::path sent = folder_->path() / "unit" / "Garmin" / "GPX" / "t12n.gpx";
  std::filesystem::create_directories(sent.parent_path());
  testing::WriteBytes(sent, "earlier");
  fakes_->questions->answer = false;
  Child<QAction>(*window_, "mnuFileSendToGps")->trigger();
  QCOMPARE(fakes_->questions->asked.size(), 1);
  QVERIFY(fakes_->questions->asked[0].contains(QStringLiteral("eTrex 10 at ")));
  QCOMPARE(testing::ReadBytes(sent), std::string("earlier"));
  QVERIFY(fakes_->sink->messages.empty());

  fakes_->questions->answer = true;
  Child<QAction>(*window_, "mnuFileSendToGps")->trigger();
  QVERIFY(testing::ReadBytes(sent).starts_with("<?xml"));
  QCOMPARE(fakes_->sink->messages.size(), std::size_t{1});
  QVERIFY(fakes_->sink->messages[0].text.contains(QStringLiteral("The earlier t12n.gpx on the eTrex 10 was replaced")));
  QVERIFY(fakes_->sink->messages[0].text.contains(QStringLiteral("Skipped: ") + Path("stick") +
                                                  QStringLiteral(" is not a usable Garmin unit")));
}

void Form1ExportTest::sendToGpsLetsTheUserChooseAmongUnits() {
  OpenAndTickAll();
  MakeUnit("first", "eTrex 10");
  MakeUnit("second", "GPSMAP 65");
  fakes_->exportChoices->unit = 1;
  Child<QAction>(*window_, "mnuFileSendToGps")->trigger();
  QCOMPARE(fakes_->exportChoices->unitLists.at(0).size(), std::size_t{2});
  QVERIFY(std::filesystem::exists(folder_->path() / "second" / "Garmin" / "GPX" / "t12n.gpx"));
  QVERIFY(!std::filesystem::exists(folder_->path() / "first" / "Garmin" / "GPX"));
  QVERIFY(Child<QLabel>(*window_, "Label2")->text().startsWith(QStringLiteral("t12n.gpx sent to the GPSMAP 65 at ")));
}

void Form1ExportTest::saveWaypointsAsWritesElsewhereWithoutTheDrawing() {
  OpenAndTickAll();
  std::filesystem::create_directory(folder_->path() / "elsewhere");
  fakes_->saveDialog->Answer(Path("elsewhere/mine.gpx"));
  Child<QAction>(*window_, "mnuFileSaveAs")->trigger();
  QCOMPARE(fakes_->saveDialog->suggested, QStringList{Path("t12n.gpx")});
  QCOMPARE(testing::ListFolder(folder_->path() / "elsewhere"), std::string("mine.gpx"));
  QVERIFY(std::none_of(journal_.calls.begin(), journal_.calls.end(),
                       [](const std::string& call) { return call.starts_with("lx2dxf"); }));
  QVERIFY(Child<QLabel>(*window_, "Label2")->text().startsWith(QStringLiteral("File created.")));
}

void Form1ExportTest::theNamePrefixReachesGpxKmlAndCsvButNotPcx5() {
  OpenAndTickAll();
  QAction* choosePrefix = Child<QAction>(*window_, "mnuFileExportPrefix");
  fakes_->exportChoices->prefix = "";  // whatever an earlier run left
  choosePrefix->trigger();
  fakes_->exportChoices->prefix = "T12N,";  // a name cannot hold it: refused, nothing remembered
  choosePrefix->trigger();
  QCOMPARE(fakes_->sink->messages.size(), std::size_t{1});
  QCOMPARE(RememberedNaming().prefix, std::string());
  fakes_->exportChoices->prefix = "T12N-";
  choosePrefix->trigger();

  window_->Create();
  QVERIFY(testing::ReadBytes(folder_->path() / "t12n.gpx").find("<name>T12N-100140</name>") != std::string::npos);
  fakes_->saveDialog->Answer(Path("t12n.kml"));
  Child<QAction>(*window_, "mnuFileExportKml")->trigger();
  QVERIFY(testing::ReadBytes(folder_->path() / "t12n.kml").find("<name>T12N-100140</name>") != std::string::npos);
  fakes_->exportChoices->csv = CsvChoice{"32113", {CsvColumns::Pnezd, false}, "", "T12N-"};
  fakes_->saveDialog->Answer(Path("t12n.csv"));
  Child<QAction>(*window_, "mnuFileExportCsv")->trigger();
  QCOMPARE(fakes_->exportChoices->lasts.at(0).namePrefix, std::string("T12N-"));  // the dialog starts from it
  QVERIFY(testing::ReadBytes(folder_->path() / "t12n.csv").find("\nT12N-100100,") != std::string::npos);

  Child<QRadioButton>(*window_, "Option1")->click();
  window_->Create();
  QVERIFY(testing::ReadBytes(folder_->path() / "t12n.grm").find("100140") != std::string::npos);
}

}  // namespace korvexa

KORVEXA_QTEST_MAIN(korvexa::Form1ExportTest)
#include "form1_export_test.moc"
