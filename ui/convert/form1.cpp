#include "ui/convert/form1.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QKeySequence>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>
#include <QUrl>
#include <algorithm>
#include <exception>
#include <filesystem>
#include <type_traits>
#include <utility>

#include "app/convert/create.h"
#include "app/convert/open_file.h"
#include "app/navigate/walk_journal.h"
#include "ui/convert/point_list_model.h"
#include "ui/desktop/look.h"
#include "ui/export/export_commands.h"
#include "ui/help/texts.h"
#include "ui/navigate/navigator.h"

namespace korvexa {
namespace {

template <typename Widget>
Widget* Place(Widget* widget, const char* name, const QRect& geometry) {
  Named(widget, name)->setGeometry(geometry);
  return widget;
}

QCheckBox* MakeTickedCheckBox(QWidget* client, const char* name, QLatin1String caption, const QRect& geometry) {
  auto* box = Place(new QCheckBox(caption, client), name, geometry);
  box->setChecked(true);
  box->setEnabled(false);
  return box;
}

std::filesystem::path FileSystemPath(const QString& path) {
  return QFile::encodeName(path).toStdString();
}

// The file a drop on the window opens: exactly one local file.
std::optional<QString> DroppedFile(const QMimeData* data) {
  if (data == nullptr || !data->hasUrls() || data->urls().size() != 1) return std::nullopt;
  const QUrl url = data->urls().constFirst();
  if (!url.isLocalFile()) return std::nullopt;
  return url.toLocalFile();
}

// One instance of a window: made (by `make`) on first use or after it was
// closed, else brought to the front.
template <typename Window, typename Make>
void ShowOne(QPointer<Window>& window, Make make) {
  if (!window || !window->isVisible()) {
    window = make();
    window->show();
  }
  window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
  window->raise();
  window->activateWindow();
}

// A command of `menu` that calls `slot` of `window`, under the window's own
// name for it.
template <typename Window>
QAction* AddCommand(QMenu* menu, const char* name, const QString& caption, Window* window, void (Window::*slot)()) {
  return Named(menu->addAction(caption, window, slot), name);
}

}  // namespace

Form1::Form1(Services services, WindowPlatform platform, QWidget* parent)
    : QMainWindow(parent), services_(std::move(services)), platform_(std::move(platform)) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(texts::kProgramName);
  setWindowIcon(AppIcon());
  setFont(DialogFont(kDialogPoints, false));
  model_ = new PointListModel(this);
  navigator_ = new Navigator(this, model_, *services_.datum, *services_.clock, platform_,
                             JournalFolder(qgetenv("XDG_STATE_HOME").constData(), qgetenv("HOME").constData()));
  connect(model_, &QAbstractItemModel::dataChanged, this, &Form1::ShowTicks);
  connect(model_, &QAbstractItemModel::modelReset, this, &Form1::ShowTicks);
  BuildMenus();
  auto* client = Named(new QWidget(this), "client");
  setCentralWidget(client);
  BuildControls(client);
  resize(Pixels(9795), Pixels(7470) + menuBar()->sizeHint().height());
  setAcceptDrops(true);
}

// The map window works on this window's list and navigator: it goes with them.
Form1::~Form1() {
  delete mapWindow_;
  delete navigator_;
}

void Form1::BuildMenus() {
  menuBar()->setFont(QApplication::font(menuBar()));
  QMenu* file = Named(menuBar()->addMenu(QStringLiteral("&File")), "mnuFile");
  AddCommand(file, "mnuFileOpen", QStringLiteral("&Open"), this, &Form1::OpenFile)->setShortcut(QKeySequence::Open);
  saveAsAction_ =
      AddCommand(file, "mnuFileSaveAs", QStringLiteral("&Save waypoints as..."), this, &Form1::SaveWaypointsAs);
  QMenu* exports = Named(file->addMenu(QStringLiteral("&Export")), "mnuFileExport");
  exportCsvAction_ = AddCommand(exports, "mnuFileExportCsv",
                                QStringLiteral("Point file for a data collector (&CSV)..."), this, &Form1::ExportCsv);
  exportKmlAction_ =
      AddCommand(exports, "mnuFileExportKml", QStringLiteral("Google Earth (&KML)..."), this, &Form1::ExportKml);
  sendToGpsAction_ = AddCommand(exports, "mnuFileSendToGps", QStringLiteral("Send to &GPS"), this, &Form1::SendToGps);
  exports->addSeparator();
  AddCommand(exports, "mnuFileExportPrefix", QStringLiteral("Waypoint name &prefix..."), this,
             &Form1::ChooseNamePrefix);
  for (QAction* action : {saveAsAction_, exportCsvAction_, exportKmlAction_, sendToGpsAction_}) {
    action->setEnabled(false);
  }
  AddCommand(file, "mnuFileExit", QStringLiteral("E&xit"), this, &Form1::Exit);

  QMenu* view = Named(menuBar()->addMenu(QStringLiteral("&View")), "mnuView");
  mapAction_ = AddCommand(view, "mnuViewMap", QStringLiteral("Township &map"), this, &Form1::ShowMap);
  mapAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_M));
  mapAction_->setEnabled(false);

  QMenu* help = Named(menuBar()->addMenu(QStringLiteral("&Help")), "mnuHelp");
  AddCommand(help, "mnuHelpPellanore", QStringLiteral("Pellanore Help"), this, &Form1::ShowHelp);
  AddCommand(help, "mnuHelpAbout", QStringLiteral("About"), this, &Form1::ShowAbout);
}

// The controls keep their places and sizes whatever the window's size.
void Form1::BuildControls(QWidget* client) {
  pointList_ = Place(new QListView(client), "List1", Twips(120, 720, 9495, 4380));
  pointList_->setModel(model_);
  pointList_->setUniformItemSizes(true);
  pointList_->setFont(FixedPitchFont());
  pointList_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  navigateToAction_ = MakeAction(pointList_, QStringLiteral("&Navigate to"), "mnuNavigateTo");
  navigateToAction_->setEnabled(false);
  pointList_->addAction(navigateToAction_);
  pointList_->setContextMenuPolicy(Qt::ActionsContextMenu);
  connect(navigateToAction_, &QAction::triggered, this, [this] {
    if (pointList_->currentIndex().isValid()) NavigateTo(static_cast<std::size_t>(pointList_->currentIndex().row()));
  });

  selectAllButton_ =
      Place(new QPushButton(QStringLiteral("Select all"), client), "Command1", Twips(120, 5280, 1095, 495));
  selectNoneButton_ =
      Place(new QPushButton(QStringLiteral("Select none"), client), "Command2", Twips(1200, 5280, 1095, 495));
  createButton_ = Place(new QPushButton(QStringLiteral("&Create"), client), "Command3", Twips(7920, 5280, 1695, 615));
  for (QPushButton* button : {selectAllButton_, selectNoneButton_, createButton_}) button->setEnabled(false);
  connect(selectAllButton_, &QPushButton::clicked, this, &Form1::SelectAll);
  connect(selectNoneButton_, &QPushButton::clicked, this, &Form1::SelectNone);
  connect(createButton_, &QPushButton::clicked, this, &Form1::Create);

  transformCheck_ =
      MakeTickedCheckBox(client, "Check1", QLatin1String("Transform NAD27 to NAD83"), Twips(2640, 5400, 2535, 375));
  connect(transformCheck_, &QCheckBox::toggled, this, &Form1::ShowMapDatum);
  drawingCheck_ =
      MakeTickedCheckBox(client, "Check2", QLatin1String("Create  .dxf for CAD"), Twips(5280, 5280, 2535, 615));

  // Down to the foot of the window: room for the longest instruction text.
  statusLabel_ = MakeLabel(client, "Label2", texts::kStartText, Twips(240, 6480, 9255, 990));
  statusLabel_->setFont(DialogFont(9.75, true));
  statusLabel_->setWordWrap(true);
  headingLabel_ = MakeLabel(client, "Label3", texts::kColumnHeading, Twips(120, 240, 9495, 375));
  headingLabel_->setFont(FixedPitchFont());
  headingLabel_->setVisible(false);

  // One group: selecting either option button deselects the other.
  pcx5Option_ =
      Place(new QRadioButton(QStringLiteral("PCX5 format (.GRM)"), client), "Option1", Twips(2640, 5880, 2295, 255));
  gpxOption_ =
      Place(new QRadioButton(QStringLiteral("GPS XML (.gpx)"), client), "Option2", Twips(5280, 5760, 1815, 495));
  gpxOption_->setChecked(true);

  const std::vector<QWidget*> tabOrder{pointList_,      selectAllButton_, selectNoneButton_, createButton_,
                                       transformCheck_, drawingCheck_,    pcx5Option_,       gpxOption_};
  for (std::size_t i = 1; i < tabOrder.size(); ++i) setTabOrder(tabOrder[i - 1], tabOrder[i]);
}

void Form1::OpenFile() {
  const std::optional<QString> chosen = platform_.fileDialog->ChooseFile(this);
  if (chosen) LoadFile(*chosen);
}

void Form1::LoadFile(const QString& path) {
  std::filesystem::path file = FileSystemPath(path);
  // A file geodatabase is a folder: a file chosen in it stands for it.
  if (file.parent_path().extension() == ".gdb" || file.parent_path().extension() == ".GDB") file = file.parent_path();
  if (IsPlssDatasetPath(file)) {
    LoadDataset(file);
    return;
  }
  const QString previousStatus = statusLabel_->text();
  statusLabel_->setText(texts::kProgressText);
  statusLabel_->repaint();
  try {
    LoadedFile loaded = OpenLxFile(file, *services_.converters);
    dataset_.reset();
    loadedText_ = loaded.lines.text();
    model_->SetPoints(MakePointList(std::move(loaded.lines)));
    ShowLoadedFile(std::move(loaded.fName));
    if (mapWindow_) ShowInMap(*mapWindow_);
  } catch (const std::exception& error) {
    statusLabel_->setText(previousStatus);
    ReportFailure(*platform_.messages, this, QStringLiteral("File > Open"), error);
  }
}

void Form1::LoadDataset(const std::filesystem::path& path) {
  try {
    std::optional<OpenDataset> dataset = OpenDatasetCommand(this, *platform_.townshipChooser, path);
    if (!dataset) return;
    dataset_ = std::move(dataset);
    loadedText_.reset();
    model_->SetPoints(PlssListEntries(dataset_->townships));
    ShowLoadedFile(PlssOutputName(dataset_->townships.plssIds, ""));
    ShowDatasetMode();
    if (mapWindow_) ShowInMap(*mapWindow_);
  } catch (const std::exception& error) {
    ReportFailure(*platform_.messages, this, QStringLiteral("File > Open"), error);
  }
}

// The corners of a data set are on NAD83 already.
void Form1::ShowDatasetMode() {
  transformCheck_->setChecked(true);
  transformCheck_->setEnabled(false);
  transformCheck_->setToolTip(QStringLiteral("The corners of the data set are NAD83 already"));
  QString status = QStringLiteral("%1 corners, NAD83.").arg(dataset_->townships.corners.size());
  if (!dataset_->townships.datumNotice.empty()) {
    status += QLatin1Char(' ') + QString::fromStdString(dataset_->townships.datumNotice) + QLatin1Char('.');
  }
  if (dataset_->townships.datum == Datum::Nad27) status += QStringLiteral(" Moved from NAD27 with the NADCON grids.");
  statusLabel_->setText(status);
}

bool Form1::WriteDataset(const QString& name, PlssFormat format) {
  if (!dataset_) return false;
  RunExport(name, [this, name, format](const ExportScene&) {
    const bool drawing = name == QStringLiteral("Create") && drawingCheck_->isChecked();
    return WriteDatasetCommand(this, platform_, services_, *dataset_, Ticks(), format, drawing, Grids());
  });
  return true;
}

// The unit takes the GPX file under the townships' name, as Create names it.
void Form1::SendDatasetToGps() {
  const std::string fName = PlssOutputName(dataset_->townships.plssIds, ".lx");
  try {
    const WaypointList corners = PlssNad83Waypoints(dataset_->townships, Ticks(), services_);
    const ExportScene scene{this, platform_, services_, fName, model_->points(), &corners};
    RunExport(QStringLiteral("Send to GPS"), [&scene](const ExportScene&) { return SendToGpsCommand(scene); });
  } catch (const std::exception& error) {
    ReportFailure(*platform_.messages, this, QStringLiteral("Send to GPS"), error);
  }
}

void Form1::dragEnterEvent(QDragEnterEvent* event) {
  if (DroppedFile(event->mimeData())) event->acceptProposedAction();
}

void Form1::dropEvent(QDropEvent* event) {
  const std::optional<QString> file = DroppedFile(event->mimeData());
  if (!file) return;
  event->acceptProposedAction();
  LoadFile(*file);
}

void Form1::ShowLoadedFile(std::string title) {
  fName_ = std::move(title);
  setWindowTitle(texts::kProgramName + QFile::decodeName(QByteArray::fromStdString(fName_)));
  for (QWidget* control : std::initializer_list<QWidget*>{transformCheck_, drawingCheck_, selectAllButton_,
                                                          selectNoneButton_, createButton_}) {
    control->setEnabled(true);
  }
  transformCheck_->setToolTip(QString());
  mapAction_->setEnabled(true);
  navigateToAction_->setEnabled(true);
  ShowTicks();
  headingLabel_->setVisible(true);
  statusLabel_->setText(texts::kInstructionText);
}

void Form1::Exit() {
  if (!close()) return;  // the user keeps an unsaved trail open
  QApplication::closeAllWindows();
  QCoreApplication::exit(0);
}

void Form1::SelectAll() {
  model_->SetAllTicked(true);
}

void Form1::SelectNone() {
  model_->SetAllTicked(false);
}

void Form1::Create() {
  if (WriteDataset(QStringLiteral("Create"), WaypointFormat())) return;
  CreateOptions options = WaypointOptions();
  options.drawing = drawingCheck_->isChecked();
  if (options.kind == OutputKind::Gpx) options.naming = RememberedNaming();
  RunExport(QStringLiteral("Create"), [this, &options](const ExportScene&) {
    return std::optional(RunCreate(fName_, model_->points(), options, services_));
  });
}

// Points left out and a drawing that failed, in one message after Create.
void Form1::ReportNotices(const std::vector<CreateNotice>& notices) {
  if (notices.empty()) return;
  QStringList paragraphs;
  for (const CreateNotice& notice : notices) {
    QString text = QString::fromLocal8Bit(notice.text);
    text[0] = text[0].toUpper();
    paragraphs << text + QLatin1Char('.');
  }
  platform_.messages->Show(this, MessageKind::Warning, texts::kProgramName, paragraphs.join(QStringLiteral("\n\n")));
}

// The exports act on ticked corners: offered once there are some.
void Form1::ShowTicks() {
  const PointList& points = model_->points();
  const bool ticked = std::any_of(points.begin(), points.end(), [](const PointEntry& entry) { return entry.ticked; });
  for (QAction* action : {saveAsAction_, exportCsvAction_, exportKmlAction_, sendToGpsAction_}) {
    action->setEnabled(ticked && (loadedText_ != nullptr || dataset_));
  }
}

// Runs one export `command` (returning its result, or nothing when the user
// cancelled) and reports it as Create is reported.
template <typename Command>
void Form1::RunExport(const QString& name, Command command) {
  const ExportScene scene{this, platform_, services_, fName_, model_->points()};
  try {
    const auto result = command(scene);
    if (!result) return;
    statusLabel_->setText(QString::fromStdString(result->status));
    ReportNotices(result->notices);
  } catch (const NothingToWrite& nothing) {
    statusLabel_->setText(QString::fromLatin1(nothing.what()));
  } catch (const std::exception& error) {
    statusLabel_->setText(name + QStringLiteral(" failed; nothing was written."));
    ReportFailure(*platform_.messages, this, name, error);
  }
}

void Form1::ExportCsv() {
  if (WriteDataset(QStringLiteral("Export"), PlssFormat::Csv)) return;
  RunExport(QStringLiteral("Export"), [this](const ExportScene& scene) {
    return ExportCsvCommand(scene, transformCheck_->isChecked(), Grids());
  });
}

void Form1::ExportKml() {
  if (WriteDataset(QStringLiteral("Export"), PlssFormat::Kml)) return;
  RunExport(QStringLiteral("Export"),
            [this](const ExportScene& scene) { return ExportKmlCommand(scene, *loadedText_); });
}

void Form1::SendToGps() {
  if (dataset_) {
    SendDatasetToGps();
    return;
  }
  RunExport(QStringLiteral("Send to GPS"), [](const ExportScene& scene) { return SendToGpsCommand(scene); });
}

void Form1::ChooseNamePrefix() {
  try {
    if (const std::optional<std::string> status = ChooseNamePrefixCommand(this, platform_)) {
      statusLabel_->setText(QString::fromStdString(*status));
    }
  } catch (const std::exception& error) {
    ReportFailure(*platform_.messages, this, QStringLiteral("Waypoint name prefix"), error);
  }
}

void Form1::SaveWaypointsAs() {
  if (WriteDataset(QStringLiteral("Save waypoints as"), WaypointFormat())) return;
  RunExport(QStringLiteral("Save waypoints as"),
            [this](const ExportScene& scene) { return SaveWaypointsAsCommand(scene, WaypointOptions()); });
}

void Form1::ShowHelp() {
  ShowOne(helpWindow_, [] { return new Form2(); });
}

void Form1::ShowAbout() {
  ShowOne(aboutBox_, [this] { return new frmAbout(platform_.systemInfo, platform_.messages); });
}

void Form1::ShowMap() {
  if (!dataset_ && !loadedText_) return;
  ShowOne(mapWindow_, [this] {
    auto* map = new MapWindow(model_, *services_.clock, platform_, navigator_);
    ShowInMap(*map);
    return map;
  });
  ShowMapDatum();
}

// A data set's corners where every output puts them, NAD27 ones moved as
// Create moves them; its sheets offered beside the data set, as its outputs.
void Form1::ShowInMap(MapWindow& window) {
  if (!dataset_) {
    window.ShowFile(*loadedText_, fName_);
    return;
  }
  if (dataset_->townships.datum == Datum::Nad27) DefineNad83();
  window.ShowMap(BuildPlssTownshipMap(dataset_->townships, nad83_.get()), fName_,
                 dataset_->path.parent_path());
}

// Without the grids the map stays in NAD27 (and says that a data set's NAD27
// corners need them); Create will say why.
void Form1::DefineNad83() {
  if (nad83_) return;
  try {
    nad83_ = services_.datum->DefineDatumPair();
  } catch (const std::exception&) {
  }
}

// The map gives the positions the waypoint file will hold: NAD83 when the
// transformation is ticked and the grids can be used, else NAD27 (and says
// which).
void Form1::ShowMapDatum() {
  if (!mapWindow_) return;
  if (transformCheck_->isChecked()) DefineNad83();
  mapWindow_->SetNad83(transformCheck_->isChecked() ? nad83_ : nullptr);
}

GridSystems& Form1::Grids() {
  if (!grids_) grids_ = std::make_unique<GridSystems>();
  return *grids_;
}

std::vector<bool> Form1::Ticks() const {
  std::vector<bool> ticks;
  for (const PointEntry& entry : model_->points()) ticks.push_back(entry.ticked);
  return ticks;
}

PlssFormat Form1::WaypointFormat() const {
  return pcx5Option_->isChecked() ? PlssFormat::Pcx5 : PlssFormat::Gpx;
}

// The waypoint file the options ask for, without the drawing.
CreateOptions Form1::WaypointOptions() const {
  CreateOptions options;
  options.kind = pcx5Option_->isChecked() ? OutputKind::Pcx5 : OutputKind::Gpx;
  options.transform = transformCheck_->isChecked();
  return options;
}

void Form1::NavigateTo(std::size_t entry) {
  ShowMap();
  if (mapWindow_) navigator_->NavigateToEntry(entry);
}

void Form1::closeEvent(QCloseEvent* event) {
  if (!navigator_->MayEnd(this)) {
    event->ignore();
    return;
  }
  if (mapWindow_) mapWindow_->close();
  QMainWindow::closeEvent(event);
}

}  // namespace korvexa
