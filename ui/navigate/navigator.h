// The field navigator (the map window's GPS menu): shows where a GPS
// receiver stands on the township map, the trail walked, and the distance and
// direction to the corner the crew is after.
//
// It lives as long as the main window, which makes it; a map window, each
// time one opens, gets its menu, tool bar, status fields and panel
// (AttachWindow). So the receiver goes on being read, the trail on growing
// and the journal on being written while no map is shown, and a map shown
// again finds the walk as it was (app/navigate/field_walk.h).
//
// Each position is placed on the map (app/map/map_position.h), added to the
// trail, measured against the target and drawn by repainting only the pixels
// its marks covered before and cover now. Once a second a timer asks the
// ReceiverWatch what to say, so that a position without fresh fixes is drawn
// as lost and the status bar says why, and has the walk journaled.
#pragma once

#include <QDockWidget>
#include <QLabel>
#include <QMainWindow>
#include <QObject>
#include <QPointer>
#include <QRegion>
#include <QString>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

#include "app/map/map_position.h"
#include "app/navigate/corner_walk.h"
#include "app/navigate/field_walk.h"
#include "app/navigate/receiver_choice.h"
#include "app/navigate/receiver_watch.h"
#include "app/navigate/trail.h"
#include "app/navigate/walk_journal.h"
#include "ui/desktop/window_platform.h"
#include "ui/navigate/navigation_panel.h"
#include "ui/navigate/position_overlay.h"

class QAction;
class QGeoPositionInfo;
class QTimer;

namespace korvexa {

class Clock;
class DatumLibrary;
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
  enum class UnsavedAnswer { Save, Discard, Cancel };
  // Asks what to do with a trail not saved; `question` says which.
  using AskUnsaved = std::function<UnsavedAnswer(QWidget* parent, const QString& question)>;

  // `owner` (the main window) is its parent. `model`, `datum` (which moves
  // positions between NAD83 and a NAD27 map's datum) and `clock` (which dates a walk and
  // a saved trail) must outlive the navigator. The walk is journaled in
  // `journalFolder` (JournalFolder()).
  Navigator(QWidget* owner, PointListModel* model, DatumLibrary& datum, const Clock& clock, WindowPlatform platform,
            std::filesystem::path journalFolder);
  ~Navigator() override;

  // Adds a GPS menu, a tool bar, the status-bar fields and a panel to
  // `window` and draws over `view`, for as long as the window lives.
  void AttachWindow(QMainWindow* window, TownshipMapView* view);

  // The map now shown (built from the model's current list), named by its
  // file ("t12n.lx") or its data set's townships ("UT260020S0010W0"): the corners visited and the target as they were
  // when that township was last shown; the trail stays.
  void SetMap(std::shared_ptr<const TownshipMap> map, const QString& fileName);

  // Before the program ends: true when the trail is saved, or the user
  // saves it or lets it go; false when the user keeps the program open.
  bool MayEnd(QWidget* parent);
  // At the start: offers to bring back the last walk of the journal that
  // was not saved (platform.confirm asks), and removes old settled ones.
  void OfferJournalBack(QWidget* parent);

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
  void SetAskUnsaved(AskUnsaved ask) { askUnsaved_ = std::move(ask); }

  const CornerWalk& walk() const { return walk_; }
  const Trail& trail() const { return fieldWalk_.trail(); }
  const FieldWalk& fieldWalk() const { return fieldWalk_; }
  const WalkJournal& journal() const { return journal_; }
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
  QLabel* messageLabel() const { return messageLabel_; }
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
    int quality = 0;                      // of the GGA before it (GgaFix::quality)
  };

  void BuildActions();
  void BuildMenus();
  void BuildPanel();
  void BuildStatusFields();
  QWidget* DialogParent() const;
  void Journal(bool now);
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

  QWidget* owner_;
  QPointer<QMainWindow> window_;
  QPointer<TownshipMapView> view_;
  PointListModel* model_;
  DatumLibrary& datum_;
  const Clock& clock_;
  WindowPlatform platform_;
  SecondsClock seconds_;
  AskReceiver askReceiver_;
  AskUnsaved askUnsaved_;

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
  int quality_ = 0;  // of the last GGA

  FieldWalk fieldWalk_;
  WalkJournal journal_;
  QString journalError_;  // why the journal cannot be written, said once
  CornerWalk walk_;
  std::optional<GeoPosition> targetNad83_;
  bool follow_ = false;

  QPointer<QLabel> receiverLabel_;
  QPointer<QLabel> guidanceLabel_;
  QPointer<QLabel> messageLabel_;
  QTimer* messageClear_;
  QPointer<NavigationPanel> panel_;
  QPointer<QDockWidget> dock_;
};

}  // namespace korvexa
