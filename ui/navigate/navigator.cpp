#include "ui/navigate/navigator.h"

#include <QAction>
#include <QDateTime>
#include <QDir>
#include <QDockWidget>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGeoPositionInfo>
#include <QKeySequence>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRegion>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <cmath>
#include <exception>
#include <limits>

#include "app/navigate/nmea_line.h"
#include "core/clock.h"
#include "core/korvexa_error.h"
#include "ui/convert/point_list_model.h"
#include "ui/desktop/look.h"
#include "ui/help/texts.h"
#include "ui/map/corner_text.h"
#include "ui/map/township_map_view.h"
#include "ui/navigate/navigation_panel.h"
#include "ui/navigate/navigation_text.h"
#include "ui/navigate/receiver_dialog.h"
#include "ui/navigate/receiver_link.h"
#include "writers/gpx_track_writer.h"

namespace korvexa {
namespace {

constexpr int kRefreshMilliseconds = 1000;
constexpr int kMessageMilliseconds = 10000;
constexpr double kMovingMetresPerSecond = 0.3;  // slower, a receiver's course is noise
constexpr double kFollowMargin = 0.15;          // of the view's size: closer to an edge re-centres the map

const QString kReceiverKey = QStringLiteral("Navigator/receiver");
const QString kArrivalKey = QStringLiteral("Navigator/arrivalFeet");
const QString kSaveTrail = QStringLiteral("Save trail as GPX");

std::optional<double> Attribute(const QGeoPositionInfo& info, QGeoPositionInfo::Attribute attribute) {
  if (!info.hasAttribute(attribute)) return std::nullopt;
  const double value = info.attribute(attribute);
  if (!std::isfinite(value)) return std::nullopt;
  return value;
}

// The fix as the trail keeps it: as the receiver gave it.
TrackPoint TrackPointOf(const QGeoPositionInfo& info) {
  TrackPoint point;
  point.latitude = info.coordinate().latitude();
  point.longitude = info.coordinate().longitude();
  if (info.coordinate().type() == QGeoCoordinate::Coordinate3D) point.elevation = info.coordinate().altitude();
  const QDateTime utc = info.timestamp().toUTC();
  if (utc.isValid()) {
    const QDate date = utc.date();
    const QTime time = utc.time();
    point.utc = CivilTime{date.year(), date.month(), date.day(), time.hour(), time.minute(), time.second()};
    point.milliseconds = time.msec();
  }
  return point;
}

QString ErrorText(const std::exception& error) {
  return QString::fromLocal8Bit(error.what());
}

Navigator::UnsavedAnswer AskInABox(QWidget* parent, const QString& question) {
  QMessageBox box(QMessageBox::Question, texts::kProgramName, question, QMessageBox::NoButton, parent);
  QPushButton* save = box.addButton(QMessageBox::Save);
  QPushButton* discard = box.addButton(QMessageBox::Discard);
  box.addButton(QMessageBox::Cancel);
  box.setDefaultButton(save);
  box.exec();
  if (box.clickedButton() == save) return Navigator::UnsavedAnswer::Save;
  if (box.clickedButton() == discard) return Navigator::UnsavedAnswer::Discard;
  return Navigator::UnsavedAnswer::Cancel;
}

}  // namespace

Navigator::Navigator(QWidget* owner, PointListModel* model, DatumLibrary& datum, const Clock& clock,
                     WindowPlatform platform, std::filesystem::path journalFolder)
    : QObject(owner),
      owner_(owner),
      model_(model),
      datum_(datum),
      clock_(clock),
      platform_(std::move(platform)),
      askReceiver_(&AskForReceiver),
      askUnsaved_(&AskInABox),
      journal_(std::move(journalFolder)) {
  setObjectName(QStringLiteral("navigator"));
  auto started = std::make_shared<QElapsedTimer>();
  started->start();
  seconds_ = [started] { return static_cast<double>(started->elapsed()) / 1000; };
  refresh_ = new QTimer(this);
  connect(refresh_, &QTimer::timeout, this, &Navigator::Refresh);
  messageClear_ = new QTimer(this);
  messageClear_->setSingleShot(true);
  connect(messageClear_, &QTimer::timeout, this, [this] {
    if (messageLabel_) messageLabel_->clear();
  });
  BuildActions();
  walk_.SetArrivalRadius(ProgramSettings().value(kArrivalKey, CornerWalk::kDefaultArrivalFeet).toDouble() *
                         kMetresPerUsSurveyFoot);
}

Navigator::~Navigator() {
  if (view_) view_->SetOverlay({});
}

void Navigator::AttachWindow(QMainWindow* window, TownshipMapView* view) {
  if (view_) view_->SetOverlay({});
  window_ = window;
  view_ = view;
  BuildMenus();
  BuildPanel();
  BuildStatusFields();
  view->SetOverlay([this](QPainter& painter, const MapViewport& viewport, const QRect& exposed) {
    PaintNavigationMarks(painter, viewport, Marks(), exposed);
  });
  connect(view, &TownshipMapView::cornerDoubleClicked, this, [this](std::size_t corner) { NavigateTo(corner); });
  connect(view, &TownshipMapView::panned, this, [this] { SetFollow(false); });
  if (link_ || walk_.target()) dock_->show();
  UpdateTexts();
}

QWidget* Navigator::DialogParent() const {
  return window_ ? static_cast<QWidget*>(window_) : owner_;
}

void Navigator::BuildActions() {
  actReceiver = MakeAction(this, QStringLiteral("&Receiver..."), "actReceiver",
                           QStringLiteral("Choose a GPS receiver and start"));
  actReceiver->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
  actStop =
      MakeAction(this, QStringLiteral("&Stop receiver"), "actStop", QStringLiteral("Stop reading the GPS receiver"));
  actFollow = MakeAction(this, QStringLiteral("&Follow"), "actFollow", QStringLiteral("Keep the position in view (L)"));
  actFollow->setCheckable(true);
  actFollow->setShortcut(QKeySequence(Qt::Key_L));
  actNext = MakeAction(this, QStringLiteral("&Next"), "actNext",
                       QStringLiteral("Walk to the nearest ticked corner not visited (N)"));
  actNext->setShortcut(QKeySequence(Qt::Key_N));
  actSaveTrail = MakeAction(this, QStringLiteral("Save &trail as GPX..."), "actSaveTrail",
                            QStringLiteral("Save the trail walked as a GPX track"));
  connect(actReceiver, &QAction::triggered, this, &Navigator::ChooseReceiver);
  connect(actStop, &QAction::triggered, this, &Navigator::Stop);
  connect(actFollow, &QAction::toggled, this, &Navigator::SetFollow);
  connect(actNext, &QAction::triggered, this, &Navigator::Next);
  connect(actSaveTrail, &QAction::triggered, this, &Navigator::SaveTrail);
}

void Navigator::BuildMenus() {
  QMenu* menu = Named(window_->menuBar()->addMenu(QStringLiteral("&GPS")), "mnuGps");
  menu->addActions({actReceiver, actStop});
  menu->addSeparator();
  menu->addActions({actFollow, actNext});
  menu->addSeparator();
  menu->addAction(actSaveTrail);
  QToolBar* tools = Named(window_->addToolBar(QStringLiteral("GPS")), "gpsTools");
  tools->setMovable(false);
  tools->setToolButtonStyle(Qt::ToolButtonTextOnly);
  tools->addActions({actReceiver, actFollow, actNext});
}

void Navigator::BuildPanel() {
  panel_ = new NavigationPanel(actNext, actFollow);
  panel_->SetArrivalFeet(walk_.arrivalRadius() / kMetresPerUsSurveyFoot);
  connect(panel_, &NavigationPanel::arrivalFeetChanged, this, &Navigator::SetArrivalFeet);
  dock_ = Named(new QDockWidget(QStringLiteral("Navigation"), window_), "navigationDock");
  dock_->setWidget(panel_);
  dock_->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable);
  window_->addDockWidget(Qt::RightDockWidgetArea, dock_);
  dock_->hide();
  QMenu* menu = window_->findChild<QMenu*>(QStringLiteral("mnuGps"));
  menu->addSeparator();
  menu->addAction(dock_->toggleViewAction());
}

// Each its own field with its own room: a long message is cut short (the
// whole of it in its tooltip) rather than run into the receiver's state.
void Navigator::BuildStatusFields() {
  const auto field = [this](const char* name) {
    auto* label = Named(new QLabel(window_), name);
    label->setFrameShape(QFrame::StyledPanel);
    label->setContentsMargins(4, 0, 4, 0);
    return label;
  };
  messageLabel_ = field("navigatorMessage");
  messageLabel_->setFrameShape(QFrame::NoFrame);
  messageLabel_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  receiverLabel_ = field("receiverStatus");
  guidanceLabel_ = field("guidance");
  window_->statusBar()->addWidget(messageLabel_, 1);
  window_->statusBar()->addPermanentWidget(receiverLabel_);
  window_->statusBar()->addPermanentWidget(guidanceLabel_);
}

void Navigator::SetMap(std::shared_ptr<const TownshipMap> map, const QString& fileName) {
  if (map_) fieldWalk_.Leave(fileName_.toStdString(), walk_, *map_);
  map_ = std::move(map);
  fileName_ = fileName;
  positioner_.reset();
  placeError_.clear();
  walk_ = map_ ? fieldWalk_.Enter(fileName_.toStdString(), *map_, walk_.arrivalRadius()) : CornerWalk();
  PlaceTarget();
  PlaceTrail();
  if (view_) view_->update();
  UpdateTexts();
}

// The transformation is defined on first use, so that a map never used for
// navigation never loads the grids (and a NAD83 map never does).
MapPositioner& Navigator::Positioner() {
  if (!positioner_) {
    if (!map_) throw KorvexaError("the map shows no township");
    positioner_ = MapPositioner::ForTownship(map_->township, datum_);
  }
  return *positioner_;
}

// The trail and the last fix on a new map; what it cannot show is left out.
void Navigator::PlaceTrail() {
  Trail& trail_ = fieldWalk_.trail();
  if (trail_.size() == 0 && !fix_) return;
  std::vector<PlanePoint> onMap;
  try {
    for (const TrackPoint& point : trail_.points()) {
      try {
        onMap.push_back(Positioner().Place({Datum::Nad83, point.longitude, point.latitude}).map);
      } catch (const KorvexaError&) {
        onMap.push_back({std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::quiet_NaN()});
      }
    }
    if (fix_) fix_->place = Positioner().Place(fix_->nad83);
  } catch (const std::exception& error) {
    fix_.reset();
    placeError_ = QStringLiteral("The position cannot be shown on this map: ") + ErrorText(error);
  }
  if (onMap.size() == trail_.size()) trail_.SetOnMap(std::move(onMap));
}

void Navigator::ChooseReceiver() {
  ReceiverChoice current;
  const std::string saved = ProgramSettings().value(kReceiverKey).toString().toStdString();
  try {
    if (!saved.empty()) current = ParseReceiverChoice(saved);
  } catch (const KorvexaError&) {
    // A setting from another version: offer the default.
  }
  if (const std::optional<ReceiverChoice> chosen = askReceiver_(DialogParent(), current)) Start(*chosen);
}

void Navigator::Start(const ReceiverChoice& choice) {
  ProgramSettings().setValue(kReceiverKey, QString::fromStdString(ReceiverChoiceText(choice)));
  Attach(new ReceiverLink(choice, this), QString::fromLocal8Bit(DescribeReceiver(choice)));
}

void Navigator::Attach(ReceiverLink* link, const QString& name) {
  Stop();
  link->setParent(this);
  link_ = link;
  receiverName_ = name;
  connect(link, &ReceiverLink::positionUpdated, this, &Navigator::ShowPosition);
  connect(link, &ReceiverLink::sentenceRead, this, [this] { watch_.HeardSentence(seconds_()); });
  connect(link, &ReceiverLink::qualityRead, this, [this](int quality) { quality_ = quality; });
  link->SetClock(clock_);
  connect(link, &ReceiverLink::garbageRead, this, [this] { watch_.HeardGarbage(seconds_()); });
  connect(link, &ReceiverLink::logEnded, this, [this] { watch_.LogEnded(); });
  connect(link, &ReceiverLink::failed, this, [this](const QString& reason) {
    watch_.Failed(reason.toLocal8Bit().toStdString());
    Refresh();
  });
  connect(link, &ReceiverLink::reconnecting, this, [this](const QString& what) {
    watch_.Reconnecting(what.toLocal8Bit().toStdString());
    Refresh();
  });
  connect(link, &ReceiverLink::reached, this, [this] {
    watch_.Reached(seconds_());
    Refresh();
  });
  watch_.Start(seconds_());
  fieldWalk_.trail().Break();
  SetFollow(true);
  if (dock_) dock_->show();
  refresh_->start(kRefreshMilliseconds);
  UpdateTexts();
  link->Start();
}

void Navigator::Stop() {
  if (link_) {
    link_->disconnect(this);
    link_->deleteLater();
  }
  link_ = nullptr;
  refresh_->stop();
  watch_.Stop();
  Refresh();
}

bool Navigator::PositionCurrent() const {
  return link_ && fix_ && placeError_.isEmpty() && watch_.PositionCurrent(seconds_());
}

void Navigator::ShowPosition(const QGeoPositionInfo& info) {
  if (!info.coordinate().isValid()) return;
  watch_.HeardFix(seconds_());
  const GeoPosition nad83{Datum::Nad83, info.coordinate().longitude(), info.coordinate().latitude()};
  const QRegion before = ChangingArea();
  Fix fix{nad83, {}, Attribute(info, QGeoPositionInfo::HorizontalAccuracy), std::nullopt, quality_};
  try {
    fix.place = Positioner().Place(nad83);
    placeError_.clear();
  } catch (const std::exception& error) {
    placeError_ = QStringLiteral("The position cannot be shown on the map: ") + ErrorText(error);
    Repaint(before);
    UpdateTexts();
    return;
  }
  const std::optional<double> course = Attribute(info, QGeoPositionInfo::Direction);
  if (course &&
      Attribute(info, QGeoPositionInfo::GroundSpeed).value_or(kMovingMetresPerSecond) >= kMovingMetresPerSecond) {
    fix.travelBearing = *course + fix.place.convergence;
  }
  const Trail& trail = fieldWalk_.trail();
  const PlanePoint lastOfTrail = trail.size() > 0 ? trail.onMap().back() : fix.place.map;
  fix_ = fix;
  if (fieldWalk_.AddFix(TrackPointOf(info), fix.place.map, clock_.Now().local)) Journal(false);
  shownCurrent_ = true;
  UpdateLeg();
  const QRect piece = view_ ? TrailPieceArea(view_->viewport(), lastOfTrail, fix.place.map) : QRect();
  if (!(follow_ && KeepInView(fix.place.map))) Repaint(before + piece + ChangingArea());
  UpdateTexts();
}

// Marks the target visited once the position comes within the radius.
void Navigator::UpdateLeg() {
  const std::optional<Leg> way = leg();
  if (!way || !walk_.Arrive(way->metres)) return;
  Say(QStringLiteral("Reached %1.").arg(CornerName(*walk_.target())));
}

std::optional<Leg> Navigator::leg() const {
  if (!PositionCurrent() || !targetNad83_ || !walk_.target()) return std::nullopt;
  return LegBetween(fix_->nad83, *targetNad83_, fix_->place.convergence);
}

// Re-centres the map on `at` when it comes near an edge of the view; true
// when the view moved (and is painted anew).
bool Navigator::KeepInView(PlanePoint at) {
  if (!view_) return false;
  const MapViewport& viewport = view_->viewport();
  const ScreenPoint screen = viewport.ToScreen(at);
  const double marginX = viewport.width() * kFollowMargin;
  const double marginY = viewport.height() * kFollowMargin;
  if (screen.x >= marginX && screen.x <= viewport.width() - marginX && screen.y >= marginY &&
      screen.y <= viewport.height() - marginY) {
    return false;
  }
  view_->SetViewport(MapViewport(at, viewport.metresPerPixel(), viewport.width(), viewport.height()));
  return true;
}

void Navigator::NavigateTo(std::optional<std::size_t> corner) {
  if (!map_) return;
  const QRegion before = ChangingArea();
  walk_.SetTarget(corner);
  PlaceTarget();
  if (walk_.target() && dock_) dock_->show();
  UpdateLeg();
  Repaint(before + ChangingArea());
  UpdateTexts();
}

void Navigator::PlaceTarget() {
  targetNad83_.reset();
  if (!walk_.target() || !map_) return;
  const TownshipPoint& corner = map_->township.points[*walk_.target()];
  try {
    targetNad83_ = Positioner().Nad83Of({map_->township.datum, corner.east, corner.north});
  } catch (const std::exception& error) {
    Say(QStringLiteral("Cannot navigate to %1: %2").arg(CornerName(*walk_.target()), ErrorText(error)));
  }
}

void Navigator::NavigateToEntry(std::size_t entry) {
  if (!map_) return;
  for (std::size_t corner = 0; corner < map_->entryOf.size(); ++corner) {
    if (map_->entryOf[corner] == entry) {
      NavigateTo(corner);
      return;
    }
  }
  Say(QStringLiteral("That point is not on the map."));
}

// From the position, or else from the target, or else from the middle of the map.
void Navigator::Next() {
  if (!map_) return;
  PlanePoint from = map_->grid.bounds().Centre();
  if (fix_) {
    from = fix_->place.map;
  } else if (walk_.target()) {
    from = map_->grid[*walk_.target()];
  }
  const std::optional<std::size_t> next = walk_.Next(*map_, model_->points(), from);
  if (!next) {
    bool anyTicked = false;
    for (std::size_t corner = 0; corner < map_->entryOf.size() && !anyTicked; ++corner) {
      anyTicked = IsTicked(*map_, model_->points(), corner);
    }
    Say(anyTicked ? QStringLiteral("No ticked corner is left to visit.")
                  : QStringLiteral("No corner is ticked: tick the corners to walk to, then press Next."));
    return;
  }
  NavigateTo(next);
}

void Navigator::SetFollow(bool follow) {
  follow_ = follow;
  actFollow->setChecked(follow);
  if (follow && fix_ && PositionCurrent()) KeepInView(fix_->place.map);
}

void Navigator::SetArrivalFeet(double feet) {
  walk_.SetArrivalRadius(feet * kMetresPerUsSurveyFoot);
  if (panel_) panel_->SetArrivalFeet(feet);
  ProgramSettings().setValue(kArrivalKey, feet);
}

void Navigator::SaveTrail() {
  const QString suggested = QDir::current().filePath(Latin1Text(fieldWalk_.FileStem()) + QStringLiteral("-trail.gpx"));
  const std::optional<QString> path =
      platform_.saveDialog->ChooseSaveFile(DialogParent(), kSaveTrail, QStringLiteral("GPX files (*.gpx)"), suggested);
  if (!path) return;
  try {
    WriteGpxTrack(QFile::encodeName(*path).toStdString(), fieldWalk_.Name(), trail().points(), clock_.Now().utc);
    fieldWalk_.MarkSaved();
    Journal(true);
    Say(QStringLiteral("Saved the trail to %1.").arg(QDir::toNativeSeparators(*path)));
  } catch (const std::exception& error) {
    ReportFailure(*platform_.messages, DialogParent(), kSaveTrail, error);
  }
}

bool Navigator::MayEnd(QWidget* parent) {
  if (!fieldWalk_.unsaved()) return true;
  const QString question =
      QStringLiteral("The trail of the walk started %1 (%2) is not saved. Save it before Korvexa closes?")
          .arg(Latin1Text(WalkStartText(*fieldWalk_.started())), Counted(trail().size(), "point", "points"));
  switch (askUnsaved_(parent, question)) {
    case UnsavedAnswer::Save:
      SaveTrail();
      return !fieldWalk_.unsaved();
    case UnsavedAnswer::Discard:
      fieldWalk_.MarkSaved();  // settled: not offered back at the next start
      Journal(true);
      return true;
    case UnsavedAnswer::Cancel:
      break;
  }
  return false;
}

void Navigator::OfferJournalBack(QWidget* parent) {
  journal_.RemoveOld(clock_.Now().local);
  std::optional<JournalFile> last;
  for (const JournalFile& file : journal_.List()) {
    if (!file.settled && (!fieldWalk_.started() || file.started != *fieldWalk_.started())) last = file;
  }
  if (!last) return;
  try {
    std::vector<TrackPoint> points = ReadGpxTrack(last->path);
    const QString when = Latin1Text(WalkStartText(last->started));
    const QString question =
        QStringLiteral("The walk started %1 (%2) was not saved. Bring its trail back onto the map?")
            .arg(when, Counted(points.size(), "point", "points"));
    if (!platform_.confirm(parent, question)) {
      journal_.Settle(*last);
      return;
    }
    fieldWalk_.Restore(std::move(points), last->started);
    PlaceTrail();
    if (view_) view_->update();
    Journal(true);
  } catch (const std::exception& error) {
    ReportFailure(*platform_.messages, parent, QStringLiteral("Bring back the walk"), error);
  }
}

// Writes the journal at once (`now`), or when it is due; a failure is said
// once, and again only after a write has worked.
void Navigator::Journal(bool now) {
  try {
    journal_.Keep(fieldWalk_, now ? std::nullopt : std::optional<double>(seconds_()), clock_.Now().utc);
    journalError_.clear();
  } catch (const std::exception& error) {
    const QString said = QStringLiteral("The walk cannot be journaled: ") + ErrorText(error);
    if (said != journalError_) Say(said);
    journalError_ = said;
  }
}

void Navigator::Refresh() {
  Journal(false);
  const bool current = PositionCurrent();
  if (current != shownCurrent_) {
    shownCurrent_ = current;
    if (!current) fieldWalk_.trail().Break();
    Repaint(ChangingArea());
  }
  UpdateTexts();
}

NavigationMarks Navigator::Marks() const {
  NavigationMarks marks;
  marks.current = shownCurrent_ && PositionCurrent();
  if (fix_) {
    marks.position = fix_->place.map;
    marks.accuracyMetres = fix_->accuracy;
    marks.travelBearing = fix_->travelBearing;
  }
  if (const std::optional<Leg> way = leg()) marks.targetBearing = way->gridBearing;
  if (map_ && walk_.target()) {
    marks.target = map_->grid[*walk_.target()];
    marks.targetName = CornerName(*walk_.target());
  }
  if (map_) {
    for (std::size_t corner : walk_.visitOrder()) marks.visited.push_back(map_->grid[corner]);
  }
  marks.trail = &fieldWalk_.trail();
  return marks;
}

// The pixels of the marks that move with the position or the target.
// (A region: the bounding box of a position and a far target would be most of the view.)
QRegion Navigator::ChangingArea() const {
  if (!view_) return {};
  const NavigationMarks marks = Marks();
  QRegion area(PositionArea(view_->viewport(), marks));
  if (marks.target) area += CornerArea(view_->viewport(), *marks.target);
  return area;
}

void Navigator::Repaint(const QRegion& area) {
  if (view_ && !area.isEmpty()) view_->update(area);
}

void Navigator::UpdateTexts() {
  const ReceiverStatus status = watch_.Status(seconds_());
  QString receiver = ReceiverStatusText(status);
  if (status.state == ReceiverState::Fix && !placeError_.isEmpty()) receiver = placeError_;
  const bool current = PositionCurrent();
  NavigationReadout readout;
  readout.receiver = link_ ? receiverName_ : QString();
  readout.state = receiver;
  if (current) {
    const QString quality = QString::fromLatin1(FixQualityName(fix_->quality));
    readout.accuracy = (quality.isEmpty() ? QString() : quality + QStringLiteral(", ")) + AccuracyText(fix_->accuracy);
  }
  readout.visited = Counted(walk_.visitOrder().size(), "corner", "corners");
  QString guidance;
  if (walk_.target()) {
    const QString name = CornerName(*walk_.target());
    readout.target = walk_.Visited(*walk_.target()) ? name + QStringLiteral(" (reached)") : name;
    if (const std::optional<Leg> way = leg()) {
      readout.distance = DistanceText(way->metres);
      readout.trueBearing = BearingText(way->trueBearing) + QStringLiteral(" true");
      readout.gridBearing = BearingText(way->gridBearing) + QStringLiteral(" grid");
      guidance =
          QStringLiteral("To %1: %2, %3, %4").arg(name, readout.distance, readout.trueBearing, readout.gridBearing);
    } else {
      guidance = QStringLiteral("To %1: no current position").arg(name);
    }
  } else if (current) {
    guidance = QStringLiteral("Double-click a corner to walk to it");
  }
  if (!receiverLabel_ || !guidanceLabel_ || !panel_) return;
  receiverLabel_->setText(QStringLiteral("GPS: ") + receiver +
                          (current ? QStringLiteral(", ") + readout.accuracy : QString()));
  receiverLabel_->setVisible(link_ != nullptr);
  guidanceLabel_->setText(guidance);
  guidanceLabel_->setVisible(!guidance.isEmpty());
  panel_->ShowReadout(readout);
}

void Navigator::Say(const QString& message) {
  if (!messageLabel_) return;
  messageLabel_->setText(message);
  messageLabel_->setToolTip(message);
  messageClear_->start(kMessageMilliseconds);
}

QString Navigator::CornerName(std::size_t corner) const {
  return Latin1Text(map_->township.points[corner].id);
}

}  // namespace korvexa
