#include "ui/map/map_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStatusBar>
#include <QStringList>
#include <QToolBar>
#include <exception>
#include <utility>

#include "core/clock.h"
#include "ui/convert/point_list_model.h"
#include "ui/desktop/look.h"
#include "ui/map/corner_text.h"
#include "ui/map/field_sheet.h"
#include "ui/map/township_map_view.h"
#include "ui/navigate/navigator.h"

namespace korvexa {
namespace {

constexpr int kStatusMessageMilliseconds = 5000;

const QString kGeometryKey = QStringLiteral("MapWindow/geometry");

}  // namespace

MapWindow::MapWindow(PointListModel* model, const Clock& clock, WindowPlatform platform, Navigator* navigator,
                     QWidget* parent)
    : QMainWindow(parent, Qt::Window),
      model_(model),
      clock_(clock),
      platform_(std::move(platform)),
      navigator_(navigator) {
  setObjectName(QStringLiteral("MapWindow"));
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowIcon(AppIcon());
  view_ = new TownshipMapView(model_, this);
  setCentralWidget(view_);
  BuildActions();
  notShown_ = Named(new QLabel(this), "notShown");
  counts_ = Named(new QLabel(this), "counts");
  statusBar()->addWidget(notShown_, 1);
  statusBar()->addPermanentWidget(counts_);
  connect(model_, &QAbstractItemModel::dataChanged, this, &MapWindow::UpdateCounts);
  connect(model_, &QAbstractItemModel::modelReset, this, &MapWindow::UpdateCounts);
  if (navigator_ != nullptr) navigator_->AttachWindow(this, view_);
  if (!restoreGeometry(ProgramSettings().value(kGeometryKey).toByteArray())) resize(900, 680);
  view_->setFocus();
}

void MapWindow::BuildActions() {
  actFit = MakeAction(this, QStringLiteral("&Fit"), "actFit", QStringLiteral("Show the whole township (F, Home)"));
  actFit->setShortcuts({QKeySequence(Qt::Key_F), QKeySequence(Qt::Key_Home)});
  actPrint = MakeAction(this, QStringLiteral("&Print..."), "actPrint",
                        QStringLiteral("Print a field sheet of the ticked corners"));
  actPrint->setShortcut(QKeySequence::Print);
  actSavePdf = MakeAction(this, QStringLiteral("Save as P&DF..."), "actSavePdf",
                          QStringLiteral("Save a field sheet of the ticked corners as a PDF file"));
  actSavePng = MakeAction(this, QStringLiteral("Save as P&NG..."), "actSavePng",
                          QStringLiteral("Save a field sheet of the ticked corners as a PNG picture"));
  actClose = MakeAction(this, QStringLiteral("&Close"), "actClose");
  actClose->setShortcut(QKeySequence::Close);
  connect(actFit, &QAction::triggered, this, &MapWindow::Fit);
  connect(actPrint, &QAction::triggered, this, &MapWindow::Print);
  connect(actSavePdf, &QAction::triggered, this, &MapWindow::SaveAsPdf);
  connect(actSavePng, &QAction::triggered, this, &MapWindow::SaveAsPng);
  connect(actClose, &QAction::triggered, this, &QWidget::close);

  QMenu* menu = Named(menuBar()->addMenu(QStringLiteral("&Map")), "mnuMap");
  menu->addActions({actFit});
  menu->addSeparator();
  menu->addActions({actPrint, actSavePdf, actSavePng});
  menu->addSeparator();
  menu->addAction(actClose);

  QToolBar* tools = Named(addToolBar(QStringLiteral("Map")), "mapTools");
  tools->setMovable(false);
  tools->setToolButtonStyle(Qt::ToolButtonTextOnly);
  tools->addActions({actFit, actPrint, actSavePdf, actSavePng});
}

// The file's folder is the working folder (app/convert/open_file.h).
void MapWindow::ShowFile(std::string_view text, const std::string& fileName) {
  ShowMap(BuildTownshipMap(text, fileName, model_->points()), fileName,
          std::filesystem::path(QFile::encodeName(QDir::currentPath()).toStdString()));
}

void MapWindow::ShowMap(TownshipMap map, const std::string& fileName, const std::filesystem::path& folder) {
  fileName_ = QFile::decodeName(QByteArray::fromStdString(fileName));
  folder_ = QFile::decodeName(QByteArray::fromStdString(folder.string()));
  setWindowTitle(fileName_ + QStringLiteral(" - Township map"));
  map_ = std::make_shared<const TownshipMap>(std::move(map));
  view_->SetMap(map_);
  if (navigator_ != nullptr) navigator_->SetMap(map_, fileName_);
  QStringList notShown;
  if (!map_->problem.empty()) notShown << QStringLiteral("Nothing to draw: ") + QString::fromLocal8Bit(map_->problem);
  if (map_->withoutCoordinates > 0) {
    notShown << Counted(map_->withoutCoordinates, "point without usable coordinates is not shown",
                        "points without usable coordinates are not shown");
  }
  if (map_->farOff > 0) {
    notShown << Counted(map_->farOff, "point far from the township is not shown",
                        "points far from the township are not shown");
  }
  if (map_->leftOut > 0) {
    notShown << Counted(map_->leftOut, "corner without a name, a usable point or elevation is not shown",
                        "corners without a name, a usable point or elevation are not shown");
  }
  if (map_->samePlace > 0) {
    notShown << Counted(map_->samePlace, "corner at the place of another is not shown",
                        "corners at the place of others are not shown");
  }
  notShown_->setText(notShown.join(QStringLiteral("; ")));
  UpdateCounts();
}

void MapWindow::UpdateCounts() {
  if (!map_) return;
  const PointList& points = model_->points();
  std::size_t ticked = 0;
  for (std::size_t corner = 0; corner < map_->entryOf.size(); ++corner) {
    if (IsTicked(*map_, points, corner)) ++ticked;
  }
  counts_->setText(
      QStringLiteral("%1, %2 ticked").arg(Counted(map_->township.points.size(), "corner", "corners")).arg(ticked));
}

void MapWindow::SetNad83(std::shared_ptr<const CoordinateTransform> nad83) {
  view_->SetNad83(std::move(nad83));
}

void MapWindow::Fit() {
  view_->Fit();
}

void MapWindow::Print() {
  if (!map_) return;
  QPrinter printer(QPrinter::HighResolution);
  printer.setDocName(QStringLiteral("Field sheet of ") + fileName_);
  // A print to a file is offered beside the input, as Save as PDF does,
  // while a real printer stays the printer chosen first.
  printer.setOutputFileName(BesideTheFile(QStringLiteral("pdf")));
  if (!QPrinterInfo::defaultPrinter().isNull()) printer.setOutputFormat(QPrinter::NativeFormat);
  if (!platform_.printDialog->ChoosePrinter(printer, this)) return;
  try {
    PrintFieldSheet(MakeSheet(), printer);
    statusBar()->showMessage(QStringLiteral("Field sheet printed."), kStatusMessageMilliseconds);
  } catch (const std::exception& error) {
    ReportFailure(*platform_.messages, this, QStringLiteral("Print"), error);
  }
}

void MapWindow::SaveAsPdf() {
  Export(QStringLiteral("Save as PDF"), QStringLiteral("PDF files (*.pdf)"), QStringLiteral("pdf"),
         &WriteFieldSheetPdf);
}

void MapWindow::SaveAsPng() {
  Export(QStringLiteral("Save as PNG"), QStringLiteral("PNG pictures (*.png)"), QStringLiteral("png"),
         &WriteFieldSheetPng);
}

void MapWindow::Export(const QString& command, const QString& filter, const QString& extension, SheetWriter write) {
  if (!map_) return;
  const QString suggested = BesideTheFile(extension);
  const std::optional<QString> path = platform_.saveDialog->ChooseSaveFile(this, command, filter, suggested);
  if (!path) return;
  try {
    write(MakeSheet(), *path);
    statusBar()->showMessage(QStringLiteral("Saved %1.").arg(QDir::toNativeSeparators(*path)),
                             kStatusMessageMilliseconds);
  } catch (const std::exception& error) {
    ReportFailure(*platform_.messages, this, command, error);
  }
}

// The file named after the map's file or townships, beside the input (in
// its folder), with `extension` ("pdf").
QString MapWindow::BesideTheFile(const QString& extension) const {
  return QDir(folder_).filePath(QFileInfo(fileName_).completeBaseName() + QLatin1Char('.') + extension);
}

// The field sheet of the map as shown, dated now.
FieldSheet MapWindow::MakeSheet() const {
  return FieldSheet(fileName_, *map_, model_->points(), view_->viewport(), clock_.Now().local, view_->nad83());
}

void MapWindow::closeEvent(QCloseEvent* event) {
  ProgramSettings().setValue(kGeometryKey, saveGeometry());
  QMainWindow::closeEvent(event);
}

}  // namespace korvexa
