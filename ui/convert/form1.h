// Form1, the main window. Its controls and the list model hold the program's
// working state: the records with their ticks, the output format, the two
// options, fName (the title of the file opened last) and the status line.
// The file's text stays for the township map, whose window shows the same
// ticks as the list. Create and File > Export hand fName, the model's
// PointList and the options to the app layer and show its status text; a
// failure goes to the MessageSink and leaves the window as it was.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <memory>
#include <string>
#include <vector>

#include "app/convert/create.h"
#include "app/services.h"
#include "transform/grid_crs.h"
#include "ui/convert/dataset_commands.h"
#include "ui/desktop/window_platform.h"
#include "ui/help/form2.h"
#include "ui/help/frm_about.h"
#include "ui/map/map_window.h"

class QAction;
class QCheckBox;
class QLabel;
class QListView;
class QPushButton;
class QRadioButton;

namespace korvexa {

class Navigator;
class PointListModel;

class Form1 : public QMainWindow {
  Q_OBJECT

 public:
  Form1(Services services, WindowPlatform platform, QWidget* parent = nullptr);

  ~Form1() override;

  // The eight commands of the window.
  void OpenFile();    // File > Open: asks for a file and loads it
  void Exit();        // File > Exit: closes every window and ends the program
  void SelectAll();   // Command1
  void SelectNone();  // Command2
  void Create();      // Command3
  void ShowHelp();    // Help > "Pellanore Help": one help window, brought to the front
  void ShowAbout();   // Help > "About": one About box, brought to the front
  void ShowMap();     // View > "Township map": one map window, brought to the front
  // File > Export and File > "Save waypoints as...": the ticked corners as a
  // data collector's point file, a KML file, a GPX file on a Garmin unit, or
  // the waypoint file of the options under another name.
  void ExportCsv();
  void ExportKml();
  void SendToGps();
  void SaveWaypointsAs();
  void ChooseNamePrefix();
  // "Navigate to" on a list entry: the map window, with the entry's corner as
  // the navigator's target.
  void NavigateTo(std::size_t entry);

  // File > Open after the dialog: loads the file at `path`. The file named on
  // the command line and a file dropped on the window are opened this way.
  void LoadFile(const QString& path);

  const std::string& fName() const { return fName_; }
  PointListModel* points() const { return model_; }
  Form2* helpWindow() const { return helpWindow_; }
  frmAbout* aboutBox() const { return aboutBox_; }
  MapWindow* mapWindow() const { return mapWindow_; }
  // The field navigator: the receiver, the trail and the walk, kept while
  // map windows come and go.
  Navigator* navigator() const { return navigator_; }

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildMenus();
  void BuildControls(QWidget* client);
  void ShowLoadedFile(std::string title);
  // A PLSS data set's townships instead of an .LX file (dataset_commands.h).
  void LoadDataset(const std::filesystem::path& path);
  void ShowDatasetMode();
  // Writes the data set's ticked corners in `format`; false when no data set is open.
  bool WriteDataset(const QString& name, PlssFormat format);
  void SendDatasetToGps();
  void ReportNotices(const std::vector<CreateNotice>& notices);
  void ShowInMap(MapWindow& window);
  void DefineNad83();
  void ShowMapDatum();
  GridSystems& Grids();
  std::vector<bool> Ticks() const;
  PlssFormat WaypointFormat() const;
  CreateOptions WaypointOptions() const;
  void ShowTicks();
  template <typename Command>
  void RunExport(const QString& name, Command command);

  // The controls, named for their job; each object name is the window's own
  // (Check1, Command3, ...), by which the tests find them.
  QListView* pointList_;
  QAction* navigateToAction_;  // the list's context menu
  QPushButton* selectAllButton_;
  QPushButton* selectNoneButton_;
  QPushButton* createButton_;
  QCheckBox* transformCheck_;
  QCheckBox* drawingCheck_;
  QLabel* statusLabel_;
  QLabel* headingLabel_;  // over the list's columns
  QRadioButton* pcx5Option_;
  QRadioButton* gpxOption_;
  QAction* saveAsAction_;
  QAction* exportCsvAction_;
  QAction* exportKmlAction_;
  QAction* sendToGpsAction_;
  QAction* mapAction_;

  Services services_;
  WindowPlatform platform_;
  PointListModel* model_;
  std::string fName_;
  std::shared_ptr<const std::string> loadedText_;  // the whole text of the file loaded last
  QPointer<Form2> helpWindow_;
  QPointer<frmAbout> aboutBox_;
  QPointer<MapWindow> mapWindow_;
  Navigator* navigator_;
  std::shared_ptr<const CoordinateTransform> nad83_;  // defined when the map first shows NAD83
  std::unique_ptr<GridSystems> grids_;                // set up on the first point file
  std::optional<OpenDataset> dataset_;                // the townships of a PLSS data set, when one is open
};

}  // namespace korvexa
