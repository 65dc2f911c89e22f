// The main window on a PLSS data set: the chooser, the list, Create.
#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QStandardPaths>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>

#include "tests/support/golden.h"
#include "tests/support/plss_dataset.h"
#include "tests/support/temp_folder.h"
#include "tests/ui/child.h"
#include "tests/ui/qtest_main.h"
#include "tests/ui/ui_fakes.h"
#include "ui/convert/form1.h"
#include "ui/convert/point_list_model.h"
#include "ui/convert/township_chooser.h"
#include "ui/map/township_map_view.h"

namespace korvexa {

class Form1PlssTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() { QStandardPaths::setTestModeEnabled(true); }  // the remembered townships stay the tests'
  void aZippedStateOpensThroughTheChooserAndCreateWritesItsTownship();
  void theChooserFiltersAsTheUserTypes();
  void theMapShowsTheCornersTiedToTheList();
};

void Form1PlssTest::aZippedStateOpensThroughTheChooserAndCreateWritesItsTownship() {
  testing::TempFolder folder;
  testing::PlssLayerRecipe recipe;
  recipe.ogr2ogrOptions = "-lco FEATURE_DATASET=CadastralReference";
  testing::MakePlssLayer(folder / "UT.gdb",
                         {{"UT260020S0010W0", "100540", "", -111.9012345678, 40.6512345678, 4321.5, 4400, "Good", 3.2, 1},
                          {"UT260020S0010W0", "100100", "", -111.95, 40.7, {}, 4400, "", {}, {}},
                          {"UT260030S0010W0", "200200", "", -111.9, 40.6, {}, 4500, "", {}, {}}},
                         recipe);
  testing::ZipItems({folder / "UT.gdb"}, folder / "UT.gdb.zip");
  testing::FakePlatform fakes;
  testing::Journal journal;
  Form1 window(testing::FakeServices(&journal), fakes.Platform());
  const QString zip = QString::fromStdString((folder / "UT.gdb.zip").string());

  fakes.townships->answer = std::vector<std::string>{"UT260020S0010W0"};
  window.LoadFile(zip);
  QCOMPARE(fakes.townships->offered.size(), std::size_t{2});
  QCOMPARE(fakes.townships->offered[0].corners, std::size_t{2});
  QCOMPARE(window.points()->rowCount(), 2);
  QCOMPARE(window.fName(), std::string("UT260020S0010W0"));
  QVERIFY(testing::Child<QCheckBox>(window, "Check1")->isChecked());
  QVERIFY(!testing::Child<QCheckBox>(window, "Check1")->isEnabled());
  QVERIFY(testing::Child<QAction>(window, "mnuViewMap")->isEnabled());
  QVERIFY(testing::Child<QAction>(window, "mnuNavigateTo")->isEnabled());

  window.SelectAll();
  fakes.saveDialog->Answer(QString::fromStdString((folder / "chosen.gpx").string()));
  window.Create();
  QCOMPARE(fakes.saveDialog->suggested.last(), QString::fromStdString((folder / "UT260020S0010W0.gpx").string()));
  const std::string gpx = testing::ReadBytes(folder / "chosen.gpx");
  QVERIFY(gpx.find("<wpt lat=\"40.651234568\" lon=\"-111.901234568\">") != std::string::npos);

  std::filesystem::create_directories(folder / "unit" / "Garmin");
  std::filesystem::copy_file(testing::TestData("garmin/etrex30.xml"), folder / "unit" / "Garmin" / "GarminDevice.xml");
  fakes.volumes->push_back(folder / "unit");
  window.SendToGps();
  QCOMPARE(testing::ReadBytes(folder / "unit" / "Garmin" / "GPX" / "UT260020S0010W0.gpx").find("lat=\"40.651234568\""),
           gpx.find("lat=\"40.651234568\""));

  fakes.townships->answer.reset();  // reopened and cancelled: the last choice was offered, the list stays
  window.LoadFile(zip);
  QCOMPARE(fakes.townships->rememberedLast, std::vector<std::string>{"UT260020S0010W0"});
  QCOMPARE(window.points()->rowCount(), 2);
}

void Form1PlssTest::theChooserFiltersAsTheUserTypes() {
  TownshipChooserDialog dialog(QStringLiteral("UT.gdb.zip"),
                               {{"UT260020S0010W0", 2}, {"UT260030S0010W0", 1}, {"UT260030S0020W0", 5}},
                               {"UT260030S0010W0"});
  auto* list = testing::Child<QListWidget>(dialog, "Townships");
  QTest::keyClicks(testing::Child<QLineEdit>(dialog, "Filter"), QStringLiteral("T3S R1W"));
  QCOMPARE(list->item(0)->isHidden(), true);
  QCOMPARE(list->item(1)->isHidden(), false);
  QCOMPARE(list->item(2)->isHidden(), true);
  QVERIFY(list->item(1)->text().contains(QStringLiteral("T. 3 S., R. 1 W.")));
  QCOMPARE(dialog.Chosen(), std::vector<std::string>{"UT260030S0010W0"});
}

// The map of a data set: its corners (one without an elevation has no
// waypoint), ticked as the list is, described by their waypoints.
void Form1PlssTest::theMapShowsTheCornersTiedToTheList() {
  testing::TempFolder folder;
  testing::MakePlssLayer(folder / "UT.gpkg",
                         {{"UT260020S0010W0", "100540", "", -111.9012345678, 40.6512345678, 4321.5, 4400, "Good", 3.2, 1},
                          {"UT260020S0010W0", "100100", "", -111.95, 40.7, {}, 4400, "", {}, {}},
                          {"UT260020S0010W0", "200200", "", -111.9, 40.6, {}, {}, "", {}, {}}},
                         {"GPKG", "PLSSPoint", "EPSG:4269", false, ""});
  testing::FakePlatform fakes;
  Form1 window(testing::FakeServices(nullptr), fakes.Platform());
  fakes.townships->answer = std::vector<std::string>{"UT260020S0010W0"};
  window.LoadFile(QString::fromStdString((folder / "UT.gpkg").string()));
  testing::Child<QAction>(window, "mnuViewMap")->trigger();
  QVERIFY(window.mapWindow() != nullptr && QTest::qWaitForWindowExposed(window.mapWindow()));
  TownshipMapView& view = *window.mapWindow()->view();
  view.Fit();
  QCOMPARE(view.map()->township.points.size(), std::size_t{2});
  QCOMPARE(view.map()->leftOut, std::size_t{1});
  QVERIFY(window.mapWindow()->navigator() == window.navigator());

  const std::size_t corner = view.map()->township.points[0].id == "100540" ? 0 : 1;
  QTest::mouseClick(&view, Qt::LeftButton, {}, view.PositionOf(corner).toPoint());
  const PointList& list = window.points()->points();
  for (std::size_t i = 0; i < 2; ++i) {
    QVERIFY(list[view.map()->entryOf[i]].line.starts_with(view.map()->township.points[i].id));
  }
  QVERIFY(list[view.map()->entryOf[corner]].ticked);
  QCOMPARE(std::count_if(list.begin(), list.end(), [](const PointEntry& entry) { return entry.ticked; }), 1);
  const CornerFacts facts = DescribeCorner(*view.map(), list, corner);
  QCOMPARE(std::string(facts.datum), std::string("NAD83"));
  QVERIFY(std::fabs(facts.latitude - 40.6512345678) < 1e-7 && std::fabs(facts.longitude + 111.9012345678) < 1e-7);
  QCOMPARE(facts.elevationFeet, std::string("4321.5"));
}

}  // namespace korvexa

KORVEXA_QTEST_MAIN(korvexa::Form1PlssTest)
#include "form1_plss_test.moc"
