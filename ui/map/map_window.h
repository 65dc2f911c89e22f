// The township map window (View > Township map): the map of the loaded file
// (ui/map/township_map_view.h) with a tool bar (Fit, Print, Save as PDF, Save as
// PNG) and a status bar that counts the corners, the ticked ones and the
// points the map cannot show. One non-modal window beside the main window:
// the ticks are the main window's list model's. It remembers its size and
// place between runs (QSettings, organisation and program "Korvexa"). With a
// navigator it has a GPS menu: the field navigator (ui/navigate/navigator.h),
// which outlives the window.
#pragma once

#include <QMainWindow>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "app/map/township_map.h"
#include "ui/desktop/window_platform.h"

class QAction;
class QLabel;

namespace korvexa {

class Clock;
class CoordinateTransform;
class FieldSheet;
class Navigator;
class PointListModel;
class TownshipMapView;

class MapWindow : public QMainWindow {
  Q_OBJECT

 public:
  // `model`, `clock` and `navigator` (the main window's) must outlive the
  // window; without `navigator` there is no GPS menu.
  MapWindow(PointListModel* model, const Clock& clock, WindowPlatform platform, Navigator* navigator = nullptr,
            QWidget* parent = nullptr);

  // Shows the file whose whole text is `text` and whose list the model
  // holds; `fileName` is its name without folder ("t12n.lx"), in the
  // working folder.
  void ShowFile(std::string_view text, const std::string& fileName);
  // Shows `map`, built from the model's list, of the file or townships
  // `fileName` ("UT260020S0010W0"), whose field sheets are offered in
  // `folder` under that name, as the outputs of the input are. The
  // navigator, when there is one, shows it too, an .LX file's NAD27 map or a
  // data set's NAD83 one.
  void ShowMap(TownshipMap map, const std::string& fileName, const std::filesystem::path& folder);

  // Positions in the tooltips and on the field sheet: NAD83 through `nad83`
  // (the transformation is on), NAD27 when it is null.
  void SetNad83(std::shared_ptr<const CoordinateTransform> nad83);

  void Fit();
  void Print();
  void SaveAsPdf();
  void SaveAsPng();

  TownshipMapView* view() const { return view_; }
  QLabel* counts() const { return counts_; }
  QLabel* notShown() const { return notShown_; }
  Navigator* navigator() const { return navigator_; }

  QAction* actFit;
  QAction* actPrint;
  QAction* actSavePdf;
  QAction* actSavePng;
  QAction* actClose;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildActions();
  void UpdateCounts();
  using SheetWriter = void (*)(const FieldSheet&, const QString&);
  void Export(const QString& command, const QString& filter, const QString& extension, SheetWriter write);
  FieldSheet MakeSheet() const;
  QString BesideTheFile(const QString& extension) const;

  PointListModel* model_;
  const Clock& clock_;
  WindowPlatform platform_;
  TownshipMapView* view_;
  QLabel* counts_;
  QLabel* notShown_;
  std::shared_ptr<const TownshipMap> map_;
  QString fileName_;
  QString folder_;  // where the field sheets are offered
  Navigator* navigator_ = nullptr;
};

}  // namespace korvexa
