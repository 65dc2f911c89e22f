// The field navigator of the map window, driven by NMEA logs fed in real
// time through a device the test controls, on a clock the test moves: a walk
// to a corner (distance and bearings against PROJ's geodesic), a loss of
// fix, a receiver that goes silent or talks noise, bad checksums, Next
// through the ticked corners, Follow, "Navigate to" on a list entry, the
// remembered receiver replaying a log, and a data set's township.
#include "ui/navigate/navigator.h"


#include <QAction>
#include <QDockWidget>
#include <QElapsedTimer>
#include <QLabel>
#include <QListView>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <memory>
#include <numbers>
#include <utility>

#include "app/navigate/nmea_line.h"
#include "core/korvexa_error.h"
#include "fixtures/synthetic_township.h"
#include "tests/support/golden.h"
#include "tests/support/gpx_schema.h"
#include "tests/support/plss_dataset.h"
#include "tests/support/temp_folder.h"
#include "tests/ui/child.h"
#include "tests/ui/navigate/feed_device.h"
#include "tests/ui/qtest_main.h"
#include "tests/ui/ui_fakes.h"
#include "transform/geodesic.h"
#include "transform/projection.h"
#include "ui/convert/form1.h"
#include "ui/convert/point_list_model.h"
#include "ui/map/township_map_view.h"
#include "ui/navigate/navigation_panel.h"
#include "ui/navigate/position_overlay.h"
#include "ui/navigate/receiver_link.h"

namespace korvexa {
namespace {

using testing::Child;
using testing::FakePlatform;
using testing::TempFolder;

// The sentences of a log in tests/data/nmea, one entry per time of day.
QList<QByteArray> Epochs(const char* log) {
  QFile file(QString::fromStdString(testing::TestData(std::string("nmea/") + log).string()));
  if (!file.open(QIODevice::ReadOnly)) qFatal("cannot read %s", log);
  QList<QByteArray> epochs;
  QByteArray time;
  for (const QByteArray& line : file.readAll().split('\n')) {
    if (line.isEmpty()) continue;
    const std::string text = line.toStdString();
    const QByteArray field = QByteArray::fromStdString(std::string(NmeaField(text, 1)));
    if (epochs.isEmpty() || field != time) epochs.append(QByteArray());
    time = field;
    epochs.last() += line + '\n';
  }
  return epochs;
}

// "$BODY*hh" and CR LF.
QByteArray Sentence(const QByteArray& body) {
  unsigned sum = 0;
  for (char c : body) sum ^= static_cast<unsigned char>(c);
  return '$' + body + '*' + QByteArray::number(sum, 16).rightJustified(2, '0').toUpper() + "\r\n";
}

// The position's half-transparent blue, over whatever the map has there.
bool DrawnCurrent(const QColor& pixel) {
  return pixel.blue() - pixel.red() > 50;
}

double Degrees(double radians) {
  return radians * 180 / std::numbers::pi;
}

double AngleBetween(double a, double b) {
  return std::fabs(std::remainder(a - b, 360.0));
}

}  // namespace

class NavigatorTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase();
  void init();
  void cleanup();

  void walkToACornerByDistanceAndBearing();
  void aLostFixIsDrawnLostAndStartsANewStretchOfTheTrail();
  void whatTheReceiverDoesIsSaidPlainly_data();
  void whatTheReceiverDoesIsSaidPlainly();
  void badChecksumsNeverMoveThePosition();
  void nextLeadsThroughTheTickedCornersNearestFirst();
  void followKeepsThePositionInViewUntilThePanning();
  void navigateToOnAListEntry();
  void theReceiverChosenIsRememberedAndALogReplayed();
  void theWalkOutlivesTheMapAndTheTownship();
  void anUnsavedWalkIsOfferedBackAtTheStart();
  void ggaAloneGivesAFix_data();
  void ggaAloneGivesAFix();
  void anUnsavedTrailIsAskedAboutBeforeTheEnd();
  void aDataSetsTownshipIsWalkedOnItsNad83Map();

 private:
  // Feeds `epoch` at `seconds` and waits for its position when it has one.
  bool Feed(const QByteArray& epoch, double seconds, bool fix);
  bool Feed(const QByteArray& epoch, double seconds) { return Feed(epoch, seconds, epoch.contains(",A,")); }
  std::size_t Corner(const char* id) const;
  QColor PixelAtPosition();

  QTemporaryDir settings_;
  std::unique_ptr<TempFolder> folder_;
  std::unique_ptr<FakePlatform> fakes_;
  testing::Journal services_;
  std::unique_ptr<Form1> window_;
  MapWindow* map_ = nullptr;
  Navigator* navigator_ = nullptr;
  FeedDevice* feed_ = nullptr;
  std::unique_ptr<QSignalSpy> positions_;
  double now_ = 0;
  QString home_ = QDir::currentPath();
};

void NavigatorTest::initTestCase() {
  QStandardPaths::setTestModeEnabled(true);
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings_.path());
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings_.path());
}

// One township in a map window of 800 x 600, a receiver fed by the test.
void NavigatorTest::init() {
  folder_ = std::make_unique<TempFolder>();
  qputenv("XDG_STATE_HOME", QFile::encodeName(QString::fromStdString((folder_->path() / "state").string())));
  fakes_ = std::make_unique<FakePlatform>();
  window_ = std::make_unique<Form1>(testing::FakeServices(&services_), fakes_->Platform());
  testing::WriteBytes(folder_->path() / "t12n.lx", testing::SyntheticLxText(1));
  window_->LoadFile(QString::fromStdString((folder_->path() / "t12n.lx").string()));
  window_->ShowMap();
  map_ = window_->mapWindow();
  map_->resize(800, 600);
  QVERIFY(QTest::qWaitForWindowExposed(map_));
  navigator_ = map_->navigator();
  now_ = 0;
  navigator_->SetSecondsClock([this] { return now_; });
  feed_ = new FeedDevice;
  auto* link = new ReceiverLink(feed_, QNmeaPositionInfoSource::RealTimeMode);
  positions_ = std::make_unique<QSignalSpy>(link, &ReceiverLink::positionUpdated);
  navigator_->Attach(link, QStringLiteral("the test"));
  map_->Fit();
}

void NavigatorTest::cleanup() {
  positions_.reset();
  window_.reset();
  services_ = {};
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QDir::setCurrent(home_);
  folder_.reset();
}

bool NavigatorTest::Feed(const QByteArray& epoch, double seconds, bool fix) {
  now_ = seconds;
  const qsizetype before = positions_->count();
  feed_->Feed(epoch);
  const bool waited = !fix || QTest::qWaitFor([&] { return positions_->count() > before; });
  navigator_->Refresh();
  return waited;
}

std::size_t NavigatorTest::Corner(const char* id) const {
  const TownshipMap& map = *map_->view()->map();
  for (std::size_t i = 0; i < map.township.points.size(); ++i) {
    if (map.township.points[i].id == id) return i;
  }
  qFatal("no corner %s", id);
}

QColor NavigatorTest::PixelAtPosition() {
  const ScreenPoint at = map_->view()->viewport().ToScreen(*navigator_->positionOnMap());
  return map_->view()->grab().toImage().pixelColor(int(at.x), int(at.y));
}

// 30 ft reach the corner; PROJ's geodesic is the reference for the leg, the
// map's own drawing for the grid bearing.
void NavigatorTest::walkToACornerByDistanceAndBearing() {
  TownshipMapView& view = *map_->view();
  const std::size_t target = Corner("350350");
  QTest::mouseDClick(&view, Qt::LeftButton, {}, view.PositionOf(target).toPoint());
  QVERIFY(navigator_->walk().target() == target);
  QVERIFY(!window_->points()->points()[view.map()->entryOf[target]].ticked);

  const TownshipPoint& corner = view.map()->township.points[target];
  const Geodesic grs80(Datum::Nad83);
  double nearest = INFINITY;
  const QList<QByteArray> epochs = Epochs("walk.nmea");
  for (qsizetype i = 0; i < epochs.size(); ++i) {
    QVERIFY(Feed(epochs[i], 5.0 * double(i)));
    const GeoPosition at = *navigator_->position();
    // The test's datum library moves nothing: the corner's numbers are NAD83's.
    const GeodesicLine reference = grs80.Inverse(at, {Datum::Nad83, corner.east, corner.north});
    const Leg leg = *navigator_->leg();
    QVERIFY2(std::fabs(leg.metres - reference.metres) < 0.1, qPrintable(QString::number(leg.metres)));
    QVERIFY(AngleBetween(leg.trueBearing, reference.azimuth) < 0.1);
    const PlanePoint from = *navigator_->positionOnMap();
    const PlanePoint to = view.map()->grid[target];
    QVERIFY(AngleBetween(leg.gridBearing, Degrees(std::atan2(to.x - from.x, to.y - from.y))) < 0.1);
    nearest = std::min(nearest, leg.metres);
    QCOMPARE(navigator_->walk().Visited(target), nearest <= 30 * 1200.0 / 3937);
    // HDOP 0.9 times 5.1 m until GST arrives with 1.2 m and 1.6 m.
    QCOMPARE(navigator_->panel()->accuracy->text(), i < 7 ? QStringLiteral("±4.6 m") : QStringLiteral("±2.0 m"));
  }
  QVERIFY(navigator_->walk().Visited(target));
  QVERIFY(navigator_->guidanceLabel()->text().startsWith(QStringLiteral("To 350350: ")));
  QCOMPARE(navigator_->receiverLabel()->text(), QStringLiteral("GPS: Fix, ±2.0 m"));
}

void NavigatorTest::aLostFixIsDrawnLostAndStartsANewStretchOfTheTrail() {
  navigator_->NavigateTo(Corner("350350"));
  const QList<QByteArray> epochs = Epochs("lost-fix.nmea");
  for (int i = 0; i < 3; ++i) QVERIFY(Feed(epochs[i], i));
  const QColor current = PixelAtPosition();
  QVERIFY(DrawnCurrent(current));
  for (int i = 3; i < 7; ++i) QVERIFY(Feed(epochs[i], i));
  QVERIFY(navigator_->PositionCurrent());  // the last fix is 4 s old
  now_ = 7;
  navigator_->Refresh();
  QVERIFY(!navigator_->PositionCurrent());
  QVERIFY(!navigator_->leg());
  QCOMPARE(navigator_->receiverLabel()->text(), QStringLiteral("GPS: No fix"));
  QCOMPARE(navigator_->guidanceLabel()->text(), QStringLiteral("To 350350: no current position"));
  QVERIFY(PixelAtPosition() != current);
  for (int i = 7; i < 9; ++i) QVERIFY(Feed(epochs[i], i));
  QVERIFY(navigator_->PositionCurrent());

  fakes_->saveDialog->Answer(QString::fromStdString((folder_->path() / "trail.gpx").string()));
  navigator_->SaveTrail();
  QCOMPARE(fakes_->saveDialog->suggested,
           QStringList{QDir::current().filePath(QStringLiteral("walk-2026-12-06-1403-trail.gpx"))});
  const std::string track = testing::ReadBytes(folder_->path() / "trail.gpx");
  const std::string errors = testing::GpxSchemaErrors(folder_->path() / "trail.gpx");
  QVERIFY2(errors.empty(), errors.c_str());
  QCOMPARE(QByteArray::fromStdString(track).count("<trkseg>"), 2);
  QCOMPARE(QByteArray::fromStdString(track).count("<trkpt "), 5);
}

void NavigatorTest::whatTheReceiverDoesIsSaidPlainly_data() {
  QTest::addColumn<QList<QByteArray>>("feeds");  // one a second from 0 s on
  QTest::addColumn<double>("askedAt");
  QTest::addColumn<QString>("said");
  const QList<QByteArray> noFix = Epochs("lost-fix.nmea").mid(3, 4);
  const QByteArray noise("\x8f\x13x\xf2$G\xa9PRMC,,\r\n");
  QTest::newRow("never a word") << QList<QByteArray>() << 10.0 << QStringLiteral("GPS: Receiver silent for 10 s");
  QTest::newRow("silent after a fix") << Epochs("walk.nmea").mid(0, 1) << 12.5
                                      << QStringLiteral("GPS: Receiver silent for 12 s");
  QTest::newRow("no fix") << noFix << 4.0 << QStringLiteral("GPS: No fix");
  QTest::newRow("noise only") << QList<QByteArray>(11, noise) << 10.0
                              << QStringLiteral("GPS: No readable NMEA for 10 s (wrong speed?)");
}

void NavigatorTest::whatTheReceiverDoesIsSaidPlainly() {
  QFETCH(QList<QByteArray>, feeds);
  QFETCH(double, askedAt);
  QFETCH(QString, said);
  for (qsizetype i = 0; i < feeds.size(); ++i) QVERIFY(Feed(feeds[i], double(i)));
  now_ = askedAt;
  navigator_->Refresh();
  QCOMPARE(navigator_->receiverLabel()->text(), said);
}

void NavigatorTest::badChecksumsNeverMoveThePosition() {
  const TownshipPoint& corner = map_->view()->map()->township.points[Corner("350350")];
  // In threes: good sentences, the same with bad checksums, noise.
  const QList<QByteArray> epochs = Epochs("bad-checksums.nmea");
  for (qsizetype i = 0; i < epochs.size(); ++i) {
    QVERIFY(Feed(epochs[i], double(i), i % 3 == 0));
    const GeoPosition at = *navigator_->position();
    QVERIFY2(std::fabs(at.latitude - corner.north) < 1e-5, qPrintable(QString::number(at.latitude, 'f', 7)));
  }
  QCOMPARE(positions_->count(), 4);
  QCOMPARE(navigator_->receiverLabel()->text(), QStringLiteral("GPS: Fix, ±4.6 m"));
}

// Four corners ticked, half a mile apart on the grid: from 350350 the
// nearest is 450350 (two steps east), then 350500, then 700700. The crew
// reaches each in turn (the log has a fix at each, in that order; Qt
// passes on no fix as old as the one before).
void NavigatorTest::nextLeadsThroughTheTickedCornersNearestFirst() {
  const std::vector<const char*> order = {"350350", "450350", "350500", "700700"};
  std::vector<std::size_t> entries;
  for (const char* id : order) entries.push_back(map_->view()->map()->entryOf[Corner(id)]);
  window_->points()->SetTicked(entries, true);
  const QList<QByteArray> fixes = Epochs("corners.nmea");
  QVERIFY(Feed(fixes[0], 0));
  for (std::size_t leg = 0; leg < order.size(); ++leg) {
    navigator_->actNext->trigger();
    QVERIFY2(navigator_->walk().target() == Corner(order[leg]), order[leg]);
    if (leg > 0) QVERIFY(Feed(fixes[qsizetype(leg)], double(leg)));
    QVERIFY(navigator_->walk().Visited(Corner(order[leg])));
  }
  navigator_->actNext->trigger();
  QCOMPARE(navigator_->messageLabel()->text(), QStringLiteral("No ticked corner is left to visit."));
}

// Zoomed in on the middle of the township; the fixes at the far corners
// 700700 and 100100.
void NavigatorTest::followKeepsThePositionInViewUntilThePanning() {
  TownshipMapView& view = *map_->view();
  view.SetViewport(MapViewport(view.map()->grid.bounds().Centre(), 2, view.width(), view.height()));
  const auto inView = [&] {
    const ScreenPoint at = view.viewport().ToScreen(*navigator_->positionOnMap());
    return at.x > 0 && at.x < view.width() && at.y > 0 && at.y < view.height();
  };
  const QList<QByteArray> fixes = Epochs("corners.nmea");
  QVERIFY(navigator_->following());
  QVERIFY(Feed(fixes[3], 0));
  QVERIFY(inView());
  QTest::keyClick(&view, Qt::Key_Left);
  QVERIFY(!navigator_->following() && !navigator_->actFollow->isChecked());
  QVERIFY(Feed(fixes[4], 1));
  QVERIFY(!inView());
  navigator_->actFollow->trigger();
  QVERIFY(inView());
}

void NavigatorTest::navigateToOnAListEntry() {
  const std::size_t corner = Corner("100700");
  const int row = int(map_->view()->map()->entryOf[corner]);
  map_->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  Child<QListView>(*window_, "List1")->setCurrentIndex(window_->points()->index(row));
  Child<QAction>(*window_, "mnuNavigateTo")->trigger();
  QVERIFY(window_->mapWindow() != nullptr && window_->mapWindow()->isVisible());
  QVERIFY(window_->mapWindow()->navigator()->walk().target() == corner);
  QVERIFY(window_->mapWindow()->navigator()->dock()->isVisible());
}

// The dialog's answer starts a replay of the log; the next time the dialog
// offers that log again.
void NavigatorTest::theReceiverChosenIsRememberedAndALogReplayed() {
  const ReceiverChoice log = ParseReceiverChoice("file:" + testing::TestData("nmea/replay.nmea").string());
  std::vector<ReceiverChoice> offered;
  std::optional<ReceiverChoice> answer = log;
  navigator_->SetAskReceiver([&](QWidget*, const ReceiverChoice& current) {
    offered.push_back(current);
    return std::exchange(answer, std::nullopt);
  });
  navigator_->ChooseReceiver();
  QTRY_VERIFY(navigator_->trail().size() > 3);
  navigator_->ChooseReceiver();
  QVERIFY(offered == (std::vector<ReceiverChoice>{ReceiverChoice(), log}));
}

// The map closed and opened again, another township opened and this one
// again: the receiver still read and journaled, the trail, the target and
// the corners reached as they were.
void NavigatorTest::theWalkOutlivesTheMapAndTheTownship() {
  const QList<QByteArray> fixes = Epochs("corners.nmea");
  const std::size_t first = Corner("350350"), second = Corner("450350");
  navigator_->NavigateTo(first);
  QVERIFY(Feed(fixes[0], 0));
  QVERIFY(navigator_->walk().Visited(first));
  navigator_->NavigateTo(second);
  map_->actClose->trigger();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QVERIFY(Feed(fixes[1], WalkJournal::kEverySeconds));  // reaches 450350 with no map shown, into the journal
  QCOMPARE(ReadGpxTrack(navigator_->journal().List().at(0).path).size(), std::size_t(2));
  window_->ShowMap();
  QCOMPARE(navigator_->walk().visitOrder(), (std::vector<std::size_t>{first, second}));
  QVERIFY(navigator_->walk().target() == second && navigator_->dock()->isVisible() && navigator_->PositionCurrent());
  testing::WriteBytes(folder_->path() / "t02s.lx", testing::SyntheticTownshipText(1));
  window_->LoadFile(QString::fromStdString((folder_->path() / "t02s.lx").string()));
  QVERIFY(navigator_->walk().visitOrder().empty() && !navigator_->walk().target());
  QCOMPARE(navigator_->trail().size(), std::size_t(2));
  window_->LoadFile(QString::fromStdString((folder_->path() / "t12n.lx").string()));
  QVERIFY(navigator_->walk().visitOrder().size() == 2 && navigator_->walk().target() == second);
}

void NavigatorTest::ggaAloneGivesAFix_data() {
  QTest::addColumn<QByteArray>("talker");
  QTest::addColumn<int>("quality");
  QTest::addColumn<QByteArray>("gst");  // its standard deviations of latitude and longitude, or none
  QTest::addColumn<QString>("accuracy");
  QTest::newRow("GPS") << QByteArray("GP") << 1 << QByteArray() << QStringLiteral("±4.6 m");
  QTest::newRow("GLONASS, DGPS") << QByteArray("GL") << 2 << QByteArray() << QStringLiteral("±4.6 m");
  QTest::newRow("Galileo") << QByteArray("GA") << 1 << QByteArray("2.4,3.2") << QStringLiteral("±4.0 m");
  QTest::newRow("BeiDou, RTK fixed") << QByteArray("BD") << 4 << QByteArray("0.012,0.016")
                                     << QStringLiteral("RTK fixed, ±0.02 m");
  QTest::newRow("RTK float") << QByteArray("GN") << 5 << QByteArray("0.15,0.2") << QStringLiteral("RTK float, ±0.25 m");
}

// A walk of the day before, left unsaved: brought back onto the map when
// the user says yes, set aside (never offered again) when no.
void NavigatorTest::anUnsavedWalkIsOfferedBackAtTheStart() {
  for (const bool wanted : {true, false}) {
    WalkJournal earlier(navigator_->journal().folder());
    FieldWalk walk;
    TrackPoint fix;
    fix.latitude = 35.036, fix.longitude = -106.544;
    walk.AddFix(fix, {0, 0}, CivilTime{2026, 12, 5, wanted ? 9 : 10, 30, 0});
    earlier.Keep(walk, std::nullopt, {});
    fakes_->questions->answer = wanted;
    navigator_->OfferJournalBack(window_.get());
    QVERIFY(fakes_->questions->asked.last().contains(QStringLiteral("2026-12-05")));
    QCOMPARE(navigator_->trail().size(), std::size_t(1));
  }
  QVERIFY(navigator_->fieldWalk().unsaved() && navigator_->fieldWalk().started()->hour == 9);
  QVERIFY(navigator_->journal().List().back().settled);
  const qsizetype asked = fakes_->questions->asked.size();
  navigator_->OfferJournalBack(window_.get());
  QCOMPARE(fakes_->questions->asked.size(), asked);
}

// Dated by the clock (21:03:27 UTC): no RMC or ZDA comes.
void NavigatorTest::ggaAloneGivesAFix() {
  QFETCH(QByteArray, talker);
  QFETCH(int, quality);
  QFETCH(QByteArray, gst);
  QFETCH(QString, accuracy);
  QByteArray epoch = Sentence(talker + "GGA,210300.00,3502.16854,N,10632.64730,W," + QByteArray::number(quality) +
                              ",12,0.9,1532.0,M,-22.4,M,,");
  if (!gst.isEmpty()) epoch += Sentence(talker + "GST,210300.00,0.5,,,," + gst + ",0.03");
  QVERIFY(Feed(epoch, 0, true));
  QCOMPARE(navigator_->panel()->accuracy->text(), accuracy);
  QVERIFY(navigator_->trail().points().back().utc == (CivilTime{2026, 12, 6, 21, 3, 0}));
  QCOMPARE(navigator_->position()->latitude, 35 + 2.16854 / 60);
}

// Cancel keeps the program open; Save asks where and ends it once saved;
// a saved trail ends it without a word.
void NavigatorTest::anUnsavedTrailIsAskedAboutBeforeTheEnd() {
  QVERIFY(Feed(Epochs("corners.nmea")[0], 0));
  QStringList asked;
  Navigator::UnsavedAnswer answer = Navigator::UnsavedAnswer::Cancel;
  navigator_->SetAskUnsaved([&](QWidget*, const QString& question) { return asked << question, answer; });
  window_->show();
  window_->Exit();
  QVERIFY(asked.size() == 1 && asked[0].contains(QStringLiteral("2026-12-06 14:03")) && window_->isVisible());
  answer = Navigator::UnsavedAnswer::Save;
  fakes_->saveDialog->Answer(QString::fromStdString((folder_->path() / "trail.gpx").string()));
  QVERIFY(window_->close() && asked.size() == 2 && std::filesystem::exists(folder_->path() / "trail.gpx"));
  window_->show();
  QVERIFY(window_->close());
  QCOMPARE(asked.size(), 2);
}

// A data set's township opened after a walk, while the map is shown: its
// NAD83 map takes each fix where its drawing projects it, without the grids,
// and "Navigate to" measures from the corner's own NAD83 position (0 m on
// it). The .LX township comes back with its walk.
void NavigatorTest::aDataSetsTownshipIsWalkedOnItsNad83Map() {
  navigator_->NavigateTo(Corner("350350"));
  QVERIFY(Feed(Epochs("corners.nmea")[0], 0));
  testing::MakePlssLayer(folder_->path() / "UT.gpkg",
                         {{"UT260020S0010W0", "1", "", -111.9, 40.65, {}, 4400, "", {}, {}}},
                         {"GPKG", "PLSSPoint", "EPSG:4269", false, ""});
  fakes_->townships->answer = std::vector<std::string>{"UT260020S0010W0"};
  services_.onDefineDatumPair = [] { throw KorvexaError("no grids"); };
  window_->LoadFile(QString::fromStdString((folder_->path() / "UT.gpkg").string()));
  Child<QListView>(*window_, "List1")->setCurrentIndex(window_->points()->index(0));
  Child<QAction>(*window_, "mnuNavigateTo")->trigger();
  const GeoPosition corner{Datum::Nad83, -111.9, 40.65};
  const std::pair<const char*, GeoPosition> fixes[] = {{"210500,4039.0,N,11154.0,W", corner},
                                                       {"210501,4039.6,N,11155.2,W", {Datum::Nad83, -111.92, 40.66}}};
  for (const auto& [gga, fix] : fixes) {
    QVERIFY(Feed(Sentence(QByteArray("GPGGA,") + gga + ",1,12,0.9,1532.0,M,-22.4,M,,"), now_ + 1, true));
    const std::optional<Leg> leg = navigator_->leg();
    QVERIFY(leg && std::fabs(leg->metres - Geodesic(Datum::Nad83).Inverse(fix, corner).metres) < 0.001);
    const PlanePoint at = *navigator_->positionOnMap(), drawn = *Projection("EPSG:26912", Datum::Nad83).Forward(fix);
    QVERIFY(std::hypot(at.x - drawn.x, at.y - drawn.y) < 0.001);
  }
  QVERIFY(navigator_->walk().Visited(0));
  services_.onDefineDatumPair = nullptr;
  window_->LoadFile(QString::fromStdString((folder_->path() / "t12n.lx").string()));
  QVERIFY(navigator_->walk().target() == Corner("350350") && navigator_->walk().Visited(Corner("350350")));
}

}  // namespace korvexa

KORVEXA_QTEST_MAIN(korvexa::NavigatorTest)
#include "navigator_test.moc"
