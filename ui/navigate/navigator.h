// The map window's field navigator (its GPS menu): shows where a GPS
// receiver stands on the township map, the trail walked, and the distance and
// direction to the corner the crew is after.
//
// How data flows: a ReceiverLink (ui/navigate/receiver_link.h) hands each position to
// ShowPosition, which has it placed on the map (app/map/map_position.h: NAD83 to
// NAD27 with the inverse NADCON shift, then the map's UTM projection), added
// to the trail (app/navigate/trail.h), measured against the target (app/navigate/corner_walk.h)
// and drawn over the map (ui/navigate/position_overlay.h) by repainting only the
// pixels its marks covered before and cover now. Once a second a timer asks
// the ReceiverWatch what to say about the receiver, so that a position
// without fresh fixes is drawn as lost and the status bar says why. The
// target is a corner of the map: double-clicked, chosen by Next, or a list
// entry's "Navigate to". The receiver chosen and the arrival radius are
// remembered (QSettings, as the map window's geometry).
#pragma once

#include <QObject>
#include <QPointer>
#include <QRegion>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

#include "app/navigate/corner_walk.h"
#include "app/map/map_position.h"
#include "app/navigate/receiver_choice.h"
#include "app/navigate/receiver_watch.h"
#include "app/navigate/trail.h"
#include "ui/navigate/position_overlay.h"
#include "ui/desktop/window_platform.h"

class QAction;
class QDockWidget;
class QGeoPositionInfo;
class QLabel;
class QMainWindow;
class QTimer;

namespace korvexa {

class Clock;
class DatumLibrary;
class NavigationPanel;
class PointListModel;
class ReceiverLink;
class TownshipMapView;

class Navigator : public QObject {
  Q_OBJECT

 public:
  // Seconds on a clock that only runs forward.
  using SecondsClock = std::function<double()>;
  // Asks the user for a receiver, offering `current`; nothing on cancel.
  using AskReceiver = std::function<std::optional<ReceiverChoice>(QWidget* parent, const ReceiverChoice& current)>;

  // Adds a GPS menu, a tool bar, two status-bar labels and a panel to
  // `window` and draws over `view`. `model`, `datum` (which moves positions
  // between NAD83 and NAD27) and `clock` (which dates a saved trail) must
  // outlive the navigator; `window` is its parent.
  Navigator(QMainWindow* window, TownshipMapView* view, PointListModel* model, DatumLibrary& datum, const Clock& clock,
            WindowPlatform platform);
  ~Navigator() override;

  // The map now shown (built from the model's current list), named by its
  // file ("t12n.lx"): no target, nothing visited; the trail stays.
  void SetMap(std::shared_ptr<const TownshipMap> map, const QString& fileName);

  void ChooseReceiver();  // GPS > Receiver...: asks, then starts
  void Start(const ReceiverChoice& choice);
  // Reads positions from `link` (taken over), described as `name`.
  void Attach(ReceiverLink* link, const QString& name);
  void Stop();

  void ShowPosition(const QGeoPositionInfo& info);
  void NavigateTo(std::optional<std::size_t> corner);  // a corner of the map, or none
  void NavigateToEntry(std::size_t entry);             // the corner of a list entry
  void Next();
  void SetFollow(bool follow);
  void SetArrivalFeet(double feet);
  void SaveTrail();
  // Says what the receiver is doing now, and draws the position as lost
  // once its fixes have stopped; the timer calls it every second.
  void Refresh();

  void SetSecondsClock(SecondsClock clock) { seconds_ = std::move(clock); }
  void SetAskReceiver(AskReceiver ask) { askReceiver_ = std::move(ask); }

  const CornerWalk& walk() const { return walk_; }
  const Trail& trail() const { return trail_; }
  // The way from the current position to the target; none without both.
  std::optional<Leg> leg() const;
  bool PositionCurrent() const;
  // The last position placed on the map (current or not), as received and
  // where the map shows it.
  std::optional<GeoPosition> position() const { return fix_ ? std::optional(fix_->nad83) : std::nullopt; }
  std::optional<PlanePoint> positionOnMap() const { return fix_ ? std::optional(fix_->place.map) : std::nullopt; }
  bool following() const { return follow_; }
  QLabel* receiverLabel() const { return receiverLabel_; }
  QLabel* guidanceLabel() const { return guidanceLabel_; }
  NavigationPanel* panel() const { return panel_; }
  QDockWidget* dock() const { return dock_; }

  QAction* actReceiver;
  QAction* actStop;
  QAction* actFollow;
  QAction* actNext;
  QAction* actSaveTrail;

 private:
  struct Fix {
    GeoPosition nad83;
    MapPlace place;
    std::optional<double> accuracy;       // metres
    std::optional<double> travelBearing;  // grid degrees, while moving
  };

  void BuildActions();
  void BuildPanel();
  MapPositioner& Positioner();
  void PlaceTarget();
  void PlaceTrail();
  void UpdateLeg();
  bool KeepInView(PlanePoint at);
  NavigationMarks Marks() const;
  QRegion ChangingArea() const;
  void Repaint(const QRegion& area);
  void UpdateTexts();
  void Say(const QString& message);
  QString CornerName(std::size_t corner) const;
  void LinkFailed(const QString& reason);

  QMainWindow* window_;
  QPointer<TownshipMapView> view_;
  PointListModel* model_;
  DatumLibrary& datum_;
  const Clock& clock_;
  WindowPlatform platform_;
  SecondsClock seconds_;
  AskReceiver askReceiver_;

  std::shared_ptr<const TownshipMap> map_;
  QString fileName_;
  std::unique_ptr<MapPositioner> positioner_;
  QString placeError_;  // why the last position or the target cannot be placed

  QPointer<ReceiverLink> link_;
  QString receiverName_;
  ReceiverWatch watch_;
  QTimer* refresh_;
  std::optional<Fix> fix_;
  bool shownCurrent_ = false;

  CornerWalk walk_;
  std::optional<GeoPosition> targetNad83_;
  Trail trail_;
  bool follow_ = false;

  QLabel* receiverLabel_;
  QLabel* guidanceLabel_;
  NavigationPanel* panel_;
  QDockWidget* dock_;
};

}  // namespace korvexa
