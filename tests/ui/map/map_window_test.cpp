// The township map window: View > Township map, ticks shared with the list,
// picking by click and rectangle, Fit, what the map leaves out, the tooltip,
// the field sheet as PDF, print and PNG, the remembered geometry, and one
// golden picture of a township.
#include "ui/map/map_window.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QHelpEvent>
#include <QImage>
#include <QLabel>
#include <QListView>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>
#include <QWheelEvent>
#include <filesystem>
#include <memory>

#include "app/services.h"
#include "core/lx_file.h"
#include "fixtures/synthetic_township.h"
#include "tests/support/fake_services.h"
#include "tests/support/golden.h"
#include "tests/support/plss_dataset.h"
#include "tests/support/run_command.h"
#include "tests/support/temp_folder.h"
#include "tests/ui/child.h"
#include "tests/ui/qtest_main.h"
#include "tests/ui/ui_fakes.h"
#include "transform/datum_shift.h"
#include "ui/convert/form1.h"
#include "ui/convert/point_list_model.h"
#include "ui/map/map_painter.h"
#include "ui/map/township_map_view.h"

namespace korvexa {
namespace {

using testing::Child;
using testing::FakePlatform;
using testing::TempFolder;

QString Text(const std::filesystem::path& path) {
  return QString::fromStdString(path.string());
}

// The PointIDs of the ticked entries of the list, in list order.
QStringList TickedIds(const PointListModel& model) {
  QStringList ids;
  for (const PointEntry& entry : model.points()) {
    if (entry.ticked) ids << QString::fromStdString(TrimmedPointId(entry.line));
  }
  return ids;
}

// The PointIDs of the map's corners that `inside` holds.
template <typename Inside>
QStringList CornerIds(const TownshipMapView& view, Inside inside) {
  QStringList ids;
  for (std::size_t i = 0; i < view.map()->township.points.size(); ++i) {
    if (inside(view.PositionOf(i))) ids << QString::fromStdString(view.map()->township.points[i].id);
  }
  ids.sort();
  return ids;
}

std::optional<std::size_t> CornerNamed(const TownshipMapView& view, const std::string& id) {
  for (std::size_t i = 0; i < view.map()->township.points.size(); ++i) {
    if (view.map()->township.points[i].id == id) return i;
  }
  return std::nullopt;
}

QColor PixelAt(QWidget& widget, QPointF pos) {
  return widget.grab().toImage().pixelColor(pos.toPoint());
}

void Wheel(QWidget* widget, QPointF pos, int eighthsOfADegree) {
  QWheelEvent wheel(pos, widget->mapToGlobal(pos), QPoint(), QPoint(0, eighthsOfADegree), Qt::NoButton, Qt::NoModifier,
                    Qt::NoScrollPhase, false);
  QApplication::sendEvent(widget, &wheel);
}

QString PdfText(const std::filesystem::path& pdf) {
  const testing::CommandOutput output =
      testing::RunCommand("pdftotext -layout " + testing::ShellQuoted(pdf.string()) + " -");
  if (output.exitCode != 0) qWarning("pdftotext failed: %s", output.err.c_str());
  return QString::fromStdString(output.out);
}

}  // namespace

class MapWindowTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase();
  void init();
  void cleanup();

  void viewMenuOpensOneMapOfTheLoadedFile();
  void aNewFileReplacesTheMap();
  void tickingOnTheMapShowsInTheListAndBack();
  void aRectangleTicksExactlyTheCornersInside_data();
  void aRectangleTicksExactlyTheCornersInside();
  void fitShowsEveryCorner();
  void pointsWithoutUsableCoordinatesAreCountedNotDrawn();
  void tooltipDescribesTheCorner();
  void tooltipSheetAndWaypointFileShareTheDatum_data();
  void tooltipSheetAndWaypointFileShareTheDatum();
  void fieldSheetListsTheTickedCorners_data();
  void fieldSheetListsTheTickedCorners();
  void fieldSheetAsPicture();
  void aFailedSaveIsReportedAndWritesNothing();
  void aDataSetsSheetIsOfferedBesideIt();
  void mapRemembersItsSize();
  void goldenPicture();

 private:
  MapWindow& OpenMap(const std::string& text, const std::string& name = "t12n.lx");
  void Load(const std::string& text, const std::string& name);

  QTemporaryDir settings_;
  std::unique_ptr<TempFolder> folder_;
  std::unique_ptr<FakePlatform> fakes_;
  std::unique_ptr<Form1> window_;
  QString home_ = QDir::currentPath();
};

// The map window's settings go to a folder of the test, never the user's.
void MapWindowTest::initTestCase() {
  QStandardPaths::setTestModeEnabled(true);
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings_.path());
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings_.path());
}

void MapWindowTest::init() {
  folder_ = std::make_unique<TempFolder>();
  fakes_ = std::make_unique<FakePlatform>();
  window_ = std::make_unique<Form1>(testing::FakeServices(nullptr), fakes_->Platform());
  window_->show();
  QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
}

void MapWindowTest::cleanup() {
  window_.reset();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QDir::setCurrent(home_);
  folder_.reset();
}

void MapWindowTest::Load(const std::string& text, const std::string& name) {
  testing::WriteBytes(folder_->path() / name, text);
  window_->LoadFile(Text(folder_->path() / name));
}

MapWindow& MapWindowTest::OpenMap(const std::string& text, const std::string& name) {
  Load(text, name);
  Child<QAction>(*window_, "mnuViewMap")->trigger();
  MapWindow* map = window_->mapWindow();
  if (map == nullptr) qFatal("no map window");
  map->resize(800, 600);
  if (!QTest::qWaitForWindowExposed(map)) qWarning("the map window was not exposed");
  map->Fit();
  return *map;
}

void MapWindowTest::viewMenuOpensOneMapOfTheLoadedFile() {
  Form1& window = *window_;
  QCOMPARE(window.menuBar()->actions(), (QList<QAction*>{Child<QMenu>(window, "mnuFile")->menuAction(),
                                                         Child<QMenu>(window, "mnuView")->menuAction(),
                                                         Child<QMenu>(window, "mnuHelp")->menuAction()}));
  QCOMPARE(Child<QAction>(window, "mnuViewMap")->shortcut(), QKeySequence(QStringLiteral("Ctrl+M")));
  QVERIFY(!Child<QAction>(window, "mnuViewMap")->isEnabled());
  Load(testing::SyntheticLxText(1), "t12n.lx");
  QVERIFY(Child<QAction>(window, "mnuViewMap")->isEnabled());
  QVERIFY(QTest::qWaitForWindowActive(&window));
  QTest::keyClick(&window, Qt::Key_M, Qt::ControlModifier);
  QPointer<MapWindow> map = window.mapWindow();
  QVERIFY(map && map->isVisible());
  QCOMPARE(map->windowTitle(), QStringLiteral("t12n.lx - Township map"));
  QCOMPARE(map->counts()->text(), QStringLiteral("169 corners, 0 ticked"));
  QCOMPARE(map->notShown()->text(), QString());
  QVERIFY(map->parentWidget() == nullptr && !map->isModal() && QApplication::activeModalWidget() == nullptr);

  Child<QAction>(window, "mnuViewMap")->trigger();  // brought to the front, not made again
  QCOMPARE(window.mapWindow(), map.data());
  // The main window goes on working beside it.
  QTest::mouseClick(Child<QPushButton>(window, "Command1"), Qt::LeftButton);
  QCOMPARE(map->counts()->text(), QStringLiteral("169 corners, 169 ticked"));

  map->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QVERIFY(map.isNull());
  Child<QAction>(window, "mnuViewMap")->trigger();
  QVERIFY(window.mapWindow() != nullptr && window.mapWindow()->isVisible());
  QCOMPARE(window.mapWindow()->counts()->text(), QStringLiteral("169 corners, 169 ticked"));
}

void MapWindowTest::aNewFileReplacesTheMap() {
  MapWindow& map = OpenMap(testing::SyntheticLxText(1));
  Load(testing::SyntheticLxText(2), "t24n.lx");
  QCOMPARE(window_->mapWindow(), &map);
  QCOMPARE(map.windowTitle(), QStringLiteral("t24n.lx - Township map"));
  QCOMPARE(map.counts()->text(), QStringLiteral("338 corners, 0 ticked"));
  QCOMPARE(map.view()->map()->grid.size(), 2 * testing::kCornersPerTownship);
}

void MapWindowTest::tickingOnTheMapShowsInTheListAndBack() {
  MapWindow& map = OpenMap(testing::SyntheticLxText(1));
  TownshipMapView& view = *map.view();
  PointListModel& model = *window_->points();
  const std::size_t clicked = *CornerNamed(view, "350350");
  QTest::mouseClick(&view, Qt::LeftButton, {}, view.PositionOf(clicked).toPoint());
  QCOMPARE(TickedIds(model), QStringList{"350350"});
  QCOMPARE(model.index(static_cast<int>(view.map()->entryOf[clicked])).data(Qt::CheckStateRole).toInt(),
           int(Qt::Checked));
  QCOMPARE(PixelAt(view, view.PositionOf(clicked)), map_style::kTicked);
  QTest::mouseClick(&view, Qt::LeftButton, {}, view.PositionOf(clicked).toPoint());
  QCOMPARE(TickedIds(model), QStringList());
  QCOMPARE(PixelAt(view, view.PositionOf(clicked)), map_style::kPaper);

  // The list ticks a corner: the map shows it.
  const std::size_t listed = *CornerNamed(view, "100700");
  const QModelIndex row = model.index(static_cast<int>(view.map()->entryOf[listed]));
  Child<QListView>(*window_, "List1")->model()->setData(row, Qt::Checked, Qt::CheckStateRole);
  QCOMPARE(PixelAt(view, view.PositionOf(listed)), map_style::kTicked);
  QCOMPARE(map.counts()->text(), QStringLiteral("169 corners, 1 ticked"));
  QTest::mouseClick(Child<QPushButton>(*window_, "Command1"), Qt::LeftButton);
  QCOMPARE(PixelAt(view, view.PositionOf(clicked)), map_style::kTicked);
  QTest::mouseClick(Child<QPushButton>(*window_, "Command2"), Qt::LeftButton);
  QCOMPARE(PixelAt(view, view.PositionOf(listed)), map_style::kPaper);
  QCOMPARE(map.counts()->text(), QStringLiteral("169 corners, 0 ticked"));
}

void MapWindowTest::aRectangleTicksExactlyTheCornersInside_data() {
  QTest::addColumn<bool>("shift");
  QTest::newRow("drag ticks") << false;
  QTest::newRow("drag with Shift unticks") << true;
}

void MapWindowTest::aRectangleTicksExactlyTheCornersInside() {
  QFETCH(bool, shift);
  MapWindow& map = OpenMap(testing::SyntheticLxText(1));
  TownshipMapView& view = *map.view();
  if (shift) window_->SelectAll();
  const QPoint from(view.width() * 30 / 100, view.height() * 22 / 100);
  const QPoint to(view.width() * 63 / 100, view.height() * 71 / 100);
  const QStringList inside = CornerIds(view, [&](QPointF p) { return QRectF(from, to).contains(p); });
  QVERIFY2(inside.size() > 10 && inside.size() < 100, qPrintable(QString::number(inside.size())));
  const Qt::KeyboardModifiers modifiers = shift ? Qt::ShiftModifier : Qt::NoModifier;
  QTest::mousePress(&view, Qt::LeftButton, modifiers, from);
  QTest::mouseMove(&view, (from + to) / 2);
  QTest::mouseMove(&view, to);
  QTest::mouseRelease(&view, Qt::LeftButton, modifiers, to);
  const QStringList outside = CornerIds(view, [&](QPointF p) { return !QRectF(from, to).contains(p); });
  QStringList ticked = TickedIds(*window_->points());
  ticked.sort();
  QCOMPARE(ticked, shift ? outside : inside);
}

void MapWindowTest::fitShowsEveryCorner() {
  MapWindow& map = OpenMap(testing::SyntheticLxText(3));
  TownshipMapView& view = *map.view();
  auto allShown = [&] {
    return CornerIds(view, [&](QPointF p) { return !view.rect().contains(p.toPoint()); }).isEmpty();
  };
  QVERIFY(allShown());
  // The wheel zooms around the pointer: the corner under it stays there.
  const std::size_t corner = *CornerNamed(view, "300300");
  const QPointF under = view.PositionOf(corner);
  Wheel(&view, under, 5 * 120);
  QVERIFY(std::abs(view.PositionOf(corner).x() - under.x()) < 1e-6);
  QVERIFY(std::abs(view.PositionOf(corner).y() - under.y()) < 1e-6);
  QVERIFY(!allShown());
  QVERIFY(QTest::qWaitForWindowActive(&map));
  QTest::keyClick(&view, Qt::Key_F);
  QVERIFY(allShown());
  QTest::keyClick(&view, Qt::Key_Plus);
  QTest::keyClick(&view, Qt::Key_Right);
  QVERIFY(!allShown());
  QTest::keyClick(&view, Qt::Key_Home);
  QVERIFY(allShown());
}

// tests/data/t12n.lx: 400400 has no coordinates, 300500 no longitude; 700700
// lies far from the other four.
void MapWindowTest::pointsWithoutUsableCoordinatesAreCountedNotDrawn() {
  MapWindow& map = OpenMap(testing::ReadBytes(testing::TestData("t12n.lx")));
  QCOMPARE(map.notShown()->text(), QStringLiteral("2 points without usable coordinates are not shown; "
                                                  "1 point far from the township is not shown"));
  window_->SelectAll();
  QCOMPARE(map.counts()->text(), QStringLiteral("4 corners, 4 ticked"));
  QCOMPARE(CornerIds(*map.view(), [](QPointF) { return true; }), (QStringList{"100100", "100140", "140100", "A&<\"B"}));
}

void MapWindowTest::tooltipDescribesTheCorner() {
  MapWindow& map = OpenMap(testing::ReadBytes(testing::TestData("t12n.lx")));
  TownshipMapView& view = *map.view();
  const QPoint at = view.PositionOf(*CornerNamed(view, "100100")).toPoint() + QPoint(2, -1);
  Child<QCheckBox>(*window_, "Check1")->setChecked(false);
  QHelpEvent help(QEvent::ToolTip, at, view.mapToGlobal(at));
  QApplication::sendEvent(&view, &help);
  QCOMPARE(QToolTip::text(), QStringLiteral("PointID 100100\n"
                                            "Latitude 35.1200960\u00B0 N (NAD27)\n"
                                            "Longitude 106.7583333\u00B0 W (NAD27)\n"
                                            "Elevation 1000 ft (305 m)\n"
                                            "Reliability 2.5"));
  QToolTip::hideText();
}

// With the transformation on, the tooltip, the field sheet and the waypoint
// file give a corner the same NAD83 position (NADCON, as Create moves it);
// with it off, all three give NAD27.
void MapWindowTest::tooltipSheetAndWaypointFileShareTheDatum_data() {
  QTest::addColumn<bool>("transform");
  QTest::addColumn<QString>("position");  // of 100100, as written in the GPX file
  QTest::newRow("NAD83") << true << QStringLiteral("35.1201408 -106.758917");
  QTest::newRow("NAD27") << false << QStringLiteral("35.120096 -106.7583333");
}

void MapWindowTest::tooltipSheetAndWaypointFileShareTheDatum() {
  QFETCH(bool, transform);
  QFETCH(QString, position);
  UseShippedGrids(KORVEXA_SHIPPED_GRIDS);
  Services services = testing::FakeServices(nullptr);
  services.datum = std::make_unique<NadconLibrary>();
  window_ = std::make_unique<Form1>(std::move(services), fakes_->Platform());
  window_->show();
  Child<QCheckBox>(*window_, "Check1")->setChecked(transform);
  Child<QCheckBox>(*window_, "Check2")->setChecked(false);
  MapWindow& map = OpenMap(testing::ReadBytes(testing::TestData("t12n.lx")));
  TownshipMapView& view = *map.view();
  const std::size_t corner = *CornerNamed(view, "100100");
  window_->points()->SetTicked({view.map()->entryOf[corner]}, true);
  const QString datum = transform ? QStringLiteral("NAD83") : QStringLiteral("NAD27");
  const QStringList latLon = position.split(QLatin1Char(' '));
  const QString latitude = latLon[0].leftJustified(10, QLatin1Char('0')) + QStringLiteral("\u00B0 N");
  const QString longitude = latLon[1].mid(1).leftJustified(11, QLatin1Char('0')) + QStringLiteral("\u00B0 W");

  const QPoint at = view.PositionOf(corner).toPoint() + QPoint(2, -1);
  QHelpEvent help(QEvent::ToolTip, at, view.mapToGlobal(at));
  QApplication::sendEvent(&view, &help);
  QVERIFY2(QToolTip::text().contains(QStringLiteral("Latitude %1 (%2)").arg(latitude, datum)),
           qPrintable(QToolTip::text()));
  QVERIFY2(QToolTip::text().contains(QStringLiteral("Longitude %1 (%2)").arg(longitude, datum)),
           qPrintable(QToolTip::text()));
  QToolTip::hideText();

  const std::filesystem::path pdf = folder_->path() / "sheet.pdf";
  fakes_->saveDialog->Answer(Text(pdf));
  map.actSavePdf->trigger();
  const QString text = PdfText(pdf);
  QVERIFY2(text.contains(QStringLiteral("Positions in ") + datum), qPrintable(text));
  QVERIFY2(text.contains(QRegularExpression(QStringLiteral("100100\\s+") + QRegularExpression::escape(latitude) +
                                            QStringLiteral("\\s+") + QRegularExpression::escape(longitude))),
           qPrintable(text));

  window_->Create();
  QCOMPARE(fakes_->sink->messages.size(), std::size_t{0});
  const std::string gpx = testing::ReadBytes(folder_->path() / "t12n.gpx");
  const QString written = QStringLiteral("<wpt lat=\"%1\" lon=\"%2\">").arg(latLon[0], latLon[1]);
  QVERIFY2(QString::fromStdString(gpx).contains(written), gpx.c_str());
}

void MapWindowTest::fieldSheetListsTheTickedCorners_data() {
  QTest::addColumn<bool>("print");
  QTest::newRow("Save as PDF") << false;
  QTest::newRow("Print") << true;
}

void MapWindowTest::fieldSheetListsTheTickedCorners() {
  QFETCH(bool, print);
  MapWindow& map = OpenMap(testing::SyntheticLxText(1));
  PointListModel& model = *window_->points();
  for (const std::string id : {"100100", "350350", "700700"}) {
    model.SetTicked({map.view()->map()->entryOf[*CornerNamed(*map.view(), id)]}, true);
  }
  const std::filesystem::path pdf = folder_->path() / "sheet.pdf";
  if (print) {
    fakes_->printDialog->pdfPath = Text(pdf);
    map.actPrint->trigger();
    QCOMPARE(fakes_->printDialog->calls, 1);
    QCOMPARE(fakes_->printDialog->offeredFile, Text(std::filesystem::canonical(folder_->path()) / "t12n.pdf"));
  } else {
    fakes_->saveDialog->Answer(Text(pdf));
    map.actSavePdf->trigger();
    QCOMPARE(fakes_->saveDialog->suggested,
             QStringList{Text(std::filesystem::canonical(folder_->path()) / "t12n.pdf")});
  }
  QVERIFY(fakes_->sink->messages.empty());
  const QString text = PdfText(pdf);
  for (const QString& expected : {QStringLiteral("t12n.lx"), QStringLiteral("NAD27"),
                                  QStringLiteral("2026-12-06 14:03"), QStringLiteral("3 of 169 corners ticked")}) {
    QVERIFY2(text.contains(expected), qPrintable(expected + QStringLiteral(" not in:\n") + text));
  }
  // Each ticked corner has its row: PointID, latitude, longitude, elevation.
  for (const QString& id : {QStringLiteral("100100"), QStringLiteral("350350"), QStringLiteral("700700")}) {
    const QRegularExpression row(id + QStringLiteral(R"(\s+35\.\d{7}° N\s+106\.\d{7}° W\s+\d+ ft \(\d+ m\))"));
    QVERIFY2(text.contains(row), qPrintable(id + QStringLiteral(" has no row in:\n") + text));
  }
  QVERIFY2(!text.contains(QStringLiteral("400400")), "an unticked corner is on the sheet");
}

void MapWindowTest::fieldSheetAsPicture() {
  MapWindow& map = OpenMap(testing::SyntheticLxText(1));
  window_->SelectAll();  // 169 rows: two pages, one below the other
  const std::filesystem::path png = folder_->path() / "sheet.png";
  fakes_->saveDialog->Answer(Text(png));
  map.actSavePng->trigger();
  QVERIFY(fakes_->sink->messages.empty());
  const QImage image(Text(png));
  // Letter pages at 150 dots per inch, one below the other.
  QCOMPARE(image.width(), 1275);
  QVERIFY2(image.height() > 1650 && image.height() % 1650 == 0, qPrintable(QString::number(image.height())));
  QCOMPARE(image.dotsPerMeterX(), 5906);
  QCOMPARE(testing::ListFolder(folder_->path()), std::string("sheet.png t12n.lx"));
}

void MapWindowTest::aFailedSaveIsReportedAndWritesNothing() {
  MapWindow& map = OpenMap(testing::SyntheticLxText(1));
  fakes_->saveDialog->Answer(QString());  // cancelled
  map.actSavePdf->trigger();
  QVERIFY(fakes_->sink->messages.empty());
  fakes_->saveDialog->Answer(Text(folder_->path() / "no such folder" / "sheet.pdf"));
  map.actSavePdf->trigger();
  QCOMPARE(fakes_->sink->messages.size(), std::size_t{1});
  const testing::Message& message = fakes_->sink->messages.front();
  QCOMPARE(message.kind, MessageKind::Critical);
  QCOMPARE(message.title, QStringLiteral("Korvexa"));
  QVERIFY2(message.text.startsWith(QStringLiteral("Save as PDF failed: cannot write")), qPrintable(message.text));
  QVERIFY2(message.text.contains(QStringLiteral("sheet.pdf")), qPrintable(message.text));
  QCOMPARE(testing::ListFolder(folder_->path()), std::string("t12n.lx"));
}

// Under its PLSSID in its folder, as its outputs are, not in the working
// folder the .LX file shown before made.
void MapWindowTest::aDataSetsSheetIsOfferedBesideIt() {
  MapWindow& map = OpenMap(testing::SyntheticLxText(1));
  const std::filesystem::path data = folder_->path() / "data";
  std::filesystem::create_directory(data);
  testing::MakePlssLayer(data / "UT.gpkg", {{"UT260020S0010W0", "100540", "", -111.9, 40.65, {}, 4400, "", {}, {}}},
                         {"GPKG", "PLSSPoint", "EPSG:4269", false, ""});
  fakes_->townships->answer = std::vector<std::string>{"UT260020S0010W0"};
  window_->LoadFile(Text(data / "UT.gpkg"));
  map.actSavePng->trigger();
  QCOMPARE(fakes_->saveDialog->suggested, QStringList{Text(data / "UT260020S0010W0.png")});
}

void MapWindowTest::mapRemembersItsSize() {
  MapWindow& map = OpenMap(testing::SyntheticLxText(1));
  map.resize(640, 420);
  QTRY_COMPARE(map.size(), QSize(640, 420));
  map.close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  window_->ShowMap();
  QCOMPARE(window_->mapWindow()->size(), QSize(640, 420));
}

// A township of 169 corners, some ticked, at a fixed size: lines, hollow and
// filled corners, labels, scale bar and north arrow. Fonts may render a
// little differently: a few pixels may differ.
void MapWindowTest::goldenPicture() {
  const std::string text = testing::SyntheticLxText(1);
  PointList list = MakePointList(ParseLxText(text));
  for (std::size_t i = 0; i < list.size(); i += 7) list[i].ticked = true;
  const TownshipMap map = BuildTownshipMap(text, "t12n.lx", list);
  QImage picture(480, 360, QImage::Format_ARGB32_Premultiplied);
  QPainter painter(&picture);
  PaintMap(painter, map, list, MapViewport::Fitting(map.grid.bounds(), 480, 360, 24));
  painter.end();
  const QString golden = Text(testing::TestData("map~township.png"));
  if (testing::UpdatingGoldenFiles()) QVERIFY(picture.save(golden));
  const QImage expected = QImage(golden).convertToFormat(picture.format());
  QCOMPARE(expected.size(), picture.size());
  int differing = 0;
  for (int y = 0; y < picture.height(); ++y) {
    for (int x = 0; x < picture.width(); ++x) {
      const QColor a = picture.pixelColor(x, y), b = expected.pixelColor(x, y);
      if (std::max({std::abs(a.red() - b.red()), std::abs(a.green() - b.green()), std::abs(a.blue() - b.blue())}) >
          64) {
        ++differing;
      }
    }
  }
  QVERIFY2(
      differing <= picture.width() * picture.height() / 200,
      qPrintable(
          QStringLiteral("%1 pixels differ from %2 (KORVEXA_UPDATE_GOLDEN=1 rewrites it)").arg(differing).arg(golden)));
}

}  // namespace korvexa

KORVEXA_QTEST_MAIN(korvexa::MapWindowTest)
#include "map_window_test.moc"
