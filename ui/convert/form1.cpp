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
#include "ui/convert/point_list_model.h"
#include "ui/desktop/look.h"
#include "ui/export/export_commands.h"
#include "ui/help/texts.h"
#include "ui/navigate/navigator.h"

namespace korvexa {
namespace {

template <typename Widget>
Widget* Place(Widget* widget, const char* name, const QRect& geometry) {
  widget->setObjectName(QLatin1String(name));
  widget->setGeometry(geometry);
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

}  // namespace

Form1::Form1(Services services, WindowPlatform platform, QWidget* parent)
    : QMainWindow(parent), services_(std::move(services)), platform_(std::move(platform)) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(texts::kProgramName);
  setWindowIcon(AppIcon());
  setFont(DialogFont(kDialogPoints, false));
  model_ = new PointListModel(this);
  connect(model_, &QAbstractItemModel::dataChanged, this, &Form1::ShowTicks);
  connect(model_, &QAbstractItemModel::modelReset, this, &Form1::ShowTicks);
  BuildMenus();
  auto* client = new QWidget(this);
  client->setObjectName(QStringLiteral("client"));
  setCentralWidget(client);
  BuildControls(client);
  resize(Pixels(9795), Pixels(7470) + menuBar()->sizeHint().height());
  setAcceptDrops(true);
}

// The map window works on this window's list: it goes with it.
Form1::~Form1() {
  delete mapWindow_;
}

void Form1::BuildMenus() {
  menuBar()->setFont(QApplication::font(menuBar()));
  mnuFile = menuBar()->addMenu(QStringLiteral("&File"));
  mnuFile->setObjectName(QStringLiteral("mnuFile"));
  mnuFileOpen = mnuFile->addAction(QStringLiteral("&Open"), this, &Form1::OpenFile);
  mnuFileOpen->setObjectName(QStringLiteral("mnuFileOpen"));
  mnuFileOpen->setShortcut(QKeySequence::Open);
  mnuFileSaveAs = mnuFile->addAction(QStringLiteral("&Save waypoints as..."), this, &Form1::SaveWaypointsAs);
  mnuFileSaveAs->setObjectName(QStringLiteral("mnuFileSaveAs"));
  mnuFileExport = mnuFile->addMenu(QStringLiteral("&Export"));
  mnuFileExport->setObjectName(QStringLiteral("mnuFileExport"));
  mnuFileExportCsv =
      mnuFileExport->addAction(QStringLiteral("Point file for a data collector (&CSV)..."), this, &Form1::ExportCsv);
  mnuFileExportCsv->setObjectName(QStringLiteral("mnuFileExportCsv"));
  mnuFileExportKml = mnuFileExport->addAction(QStringLiteral("Google Earth (&KML)..."), this, &Form1::ExportKml);
  mnuFileExportKml->setObjectName(QStringLiteral("mnuFileExportKml"));
  mnuFileSendToGps = mnuFileExport->addAction(QStringLiteral("Send to &GPS"), this, &Form1::SendToGps);
  mnuFileSendToGps->setObjectName(QStringLiteral("mnuFileSendToGps"));
  for (QAction* action : {mnuFileSaveAs, mnuFileExportCsv, mnuFileExportKml, mnuFileSendToGps}) {
    action->setEnabled(false);
  }
  mnuFileExit = mnuFile->addAction(QStringLiteral("E&xit"), this, &Form1::Exit);
  mnuFileExit->setObjectName(QStringLiteral("mnuFileExit"));

  mnuView = menuBar()->addMenu(QStringLiteral("&View"));
  mnuView->setObjectName(QStringLiteral("mnuView"));
  mnuViewMap = mnuView->addAction(QStringLiteral("Township &map"), this, &Form1::ShowMap);
  mnuViewMap->setObjectName(QStringLiteral("mnuViewMap"));
  mnuViewMap->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_M));
  mnuViewMap->setEnabled(false);

  mnuHelp = menuBar()->addMenu(QStringLiteral("&Help"));
  mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
  mnuHelpPellanore = mnuHelp->addAction(QStringLiteral("Pellanore Help"), this, &Form1::ShowHelp);
  mnuHelpPellanore->setObjectName(QStringLiteral("mnuHelpPellanore"));
  mnuHelpAbout = mnuHelp->addAction(QStringLiteral("About"), this, &Form1::ShowAbout);
  mnuHelpAbout->setObjectName(QStringLiteral("mnuHelpAbout"));
}

// The controls keep their places and sizes whatever the window's size.
void Form1::BuildControls(QWidget* client) {
  List1 = Place(new QListView(client), "List1", Twips(120, 720, 9495, 4380));
  List1->setModel(model_);
  List1->setUniformItemSizes(true);
  List1->setFont(FixedPitchFont());
  List1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  mnuNavigateTo = new QAction(QStringLiteral("&Navigate to"), List1);
  mnuNavigateTo->setObjectName(QStringLiteral("mnuNavigateTo"));
  mnuNavigateTo->setEnabled(false);
  List1->addAction(mnuNavigateTo);
  List1->setContextMenuPolicy(Qt::ActionsContextMenu);
  connect(mnuNavigateTo, &QAction::triggered, this, [this] {
    if (List1->currentIndex().isValid()) NavigateTo(static_cast<std::size_t>(List1->currentIndex().row()));
  });

  Command1 = Place(new QPushButton(QStringLiteral("Select all"), client), "Command1", Twips(120, 5280, 1095, 495));
  Command2 = Place(new QPushButton(QStringLiteral("Select none"), client), "Command2", Twips(1200, 5280, 1095, 495));
  Command3 = Place(new QPushButton(QStringLiteral("&Create"), client), "Command3", Twips(7920, 5280, 1695, 615));
  for (QPushButton* button : {Command1, Command2, Command3}) button->setEnabled(false);
  connect(Command1, &QPushButton::clicked, this, &Form1::SelectAll);
  connect(Command2, &QPushButton::clicked, this, &Form1::SelectNone);
  connect(Command3, &QPushButton::clicked, this, &Form1::Create);

  Check1 =
      MakeTickedCheckBox(client, "Check1", QLatin1String("Transform NAD27 to NAD83"), Twips(2640, 5400, 2535, 375));
  connect(Check1, &QCheckBox::toggled, this, &Form1::ShowMapDatum);
  Check2 = MakeTickedCheckBox(client, "Check2", QLatin1String("Create  .dxf for CAD"), Twips(5280, 5280, 2535, 615));

  // Down to the foot of the window: room for the longest instruction text.
  Label2 = MakeLabel(client, "Label2", texts::kStartText, Twips(240, 6480, 9255, 990));
  Label2->setFont(DialogFont(9.75, true));
  Label2->setWordWrap(true);
  Label3 = MakeLabel(client, "Label3", texts::kColumnHeading, Twips(120, 240, 9495, 375));
  Label3->setFont(FixedPitchFont());
  Label3->setVisible(false);

  BuildOptions(client);
  setTabOrder(List1, Command1);
  setTabOrder(Command1, Command2);
  setTabOrder(Command2, Command3);
  setTabOrder(Command3, Check1);
  setTabOrder(Check1, Check2);
  setTabOrder(Check2, Option1);
  setTabOrder(Option1, Option2);
}

// One group: selecting either option button deselects the other.
void Form1::BuildOptions(QWidget* client) {
  Option1 =
      Place(new QRadioButton(QStringLiteral("PCX5 format (.GRM)"), client), "Option1", Twips(2640, 5880, 2295, 255));
  Option2 = Place(new QRadioButton(QStringLiteral("GPS XML (.gpx)"), client), "Option2", Twips(5280, 5760, 1815, 495));
  Option2->setChecked(true);
}

void Form1::OpenFile() {
  const std::optional<QString> chosen = platform_.fileDialog->ChooseFile(this);
  if (chosen) LoadFile(*chosen);
}

void Form1::LoadFile(const QString& path) {
  const QString previousStatus = Label2->text();
  Label2->setText(texts::kProgressText);
  Label2->repaint();
  try {
    LoadedFile loaded = OpenLxFile(FileSystemPath(path), *services_.converters);
    loadedText_ = loaded.lines.text();
    model_->SetPoints(MakePointList(std::move(loaded.lines)));
    ShowLoadedFile(std::move(loaded.fName));
    if (mapWindow_) mapWindow_->ShowFile(*loadedText_, fName_);
  } catch (const std::exception& error) {
    Label2->setText(previousStatus);
    ReportFailure(*platform_.messages, this, QStringLiteral("File > Open"), error);
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
  for (QWidget* control : std::initializer_list<QWidget*>{Check1, Check2, Command1, Command2, Command3}) {
    control->setEnabled(true);
  }
  mnuViewMap->setEnabled(true);
  mnuNavigateTo->setEnabled(true);
  ShowTicks();
  Label3->setVisible(true);
  Label2->setText(texts::kInstructionText);
}

void Form1::Exit() {
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
  CreateOptions options;
  options.kind = Option1->isChecked() ? OutputKind::Pcx5 : OutputKind::Gpx;
  options.transform = Check1->checkState() == Qt::Checked;
  options.drawing = Check2->checkState() == Qt::Checked;
  try {
    const CreateResult result = RunCreate(fName_, model_->points(), options, services_);
    Label2->setText(QString::fromStdString(result.status));
    ReportNotices(result.notices);
  } catch (const NothingToWrite& nothing) {
    Label2->setText(QString::fromLatin1(nothing.what()));
  } catch (const std::exception& error) {
    Label2->setText(QString::fromLatin1(kCreateFailedStatus));
    ReportFailure(*platform_.messages, this, QStringLiteral("Create"), error);
  }
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
  for (QAction* action : {mnuFileSaveAs, mnuFileExportCsv, mnuFileExportKml, mnuFileSendToGps}) {
    action->setEnabled(ticked && loadedText_ != nullptr);
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
    Label2->setText(QString::fromStdString(result->status));
    ReportNotices(result->notices);
  } catch (const NothingToWrite& nothing) {
    Label2->setText(QString::fromLatin1(nothing.what()));
  } catch (const std::exception& error) {
    Label2->setText(name + QStringLiteral(" failed; nothing was written."));
    ReportFailure(*platform_.messages, this, name, error);
  }
}

void Form1::ExportCsv() {
  RunExport(QStringLiteral("Export"), [this](const ExportScene& scene) {
    if (!grids_) grids_ = std::make_unique<GridSystems>();
    return ExportCsvCommand(scene, Check1->checkState() == Qt::Checked, *grids_);
  });
}

void Form1::ExportKml() {
  RunExport(QStringLiteral("Export"),
            [this](const ExportScene& scene) { return ExportKmlCommand(scene, *loadedText_); });
}

void Form1::SendToGps() {
  RunExport(QStringLiteral("Send to GPS"), [](const ExportScene& scene) { return SendToGpsCommand(scene); });
}

void Form1::SaveWaypointsAs() {
  CreateOptions options;
  options.kind = Option1->isChecked() ? OutputKind::Pcx5 : OutputKind::Gpx;
  options.transform = Check1->checkState() == Qt::Checked;
  RunExport(QStringLiteral("Save waypoints as"),
            [&options](const ExportScene& scene) { return SaveWaypointsAsCommand(scene, options); });
}

void Form1::ShowHelp() {
  ShowOne(helpWindow_, [] { return new Form2(); });
}

void Form1::ShowAbout() {
  ShowOne(aboutBox_, [this] { return new frmAbout(platform_.systemInfo, platform_.messages); });
}

void Form1::ShowMap() {
  if (!loadedText_) return;
  ShowOne(mapWindow_, [this] {
    auto* map = new MapWindow(model_, *services_.clock, platform_, services_.datum.get());
    map->ShowFile(*loadedText_, fName_);
    return map;
  });
  ShowMapDatum();
}

// The map gives the positions the waypoint file will hold: NAD83 when the
// transformation is ticked and the grids can be used, else NAD27 (and says
// which).
void Form1::ShowMapDatum() {
  if (!mapWindow_) return;
  if (Check1->checkState() == Qt::Checked && !nad83_) {
    try {
      nad83_ = services_.datum->DefineDatumPair();
    } catch (const std::exception&) {
      // Without the grids Create will say why; the map stays in NAD27.
    }
  }
  mapWindow_->SetNad83(Check1->checkState() == Qt::Checked ? nad83_ : nullptr);
}

void Form1::NavigateTo(std::size_t entry) {
  ShowMap();
  if (mapWindow_ && mapWindow_->navigator()) mapWindow_->navigator()->NavigateToEntry(entry);
}

void Form1::closeEvent(QCloseEvent* event) {
  if (mapWindow_) mapWindow_->close();
  QMainWindow::closeEvent(event);
}

}  // namespace korvexa
