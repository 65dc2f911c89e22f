#include "ui/export/export_commands.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QScopeGuard>
#include <future>
#include <span>

#include "app/export/csv_export.h"
#include "app/export/kml_export.h"
#include "app/export/send_to_gps.h"
#include "core/korvexa_error.h"
#include "core/lx_file.h"
#include "ui/export/csv_dialog.h"

namespace korvexa {
NamingRule RememberedNaming() {
  return {ProgramSettings().value(QStringLiteral("export/namePrefix")).toString().toStdString(), false};
}

namespace {

// The path the user chose to save the file of `extension` to, beside the
// input by default; nothing when cancelled.
std::optional<std::filesystem::path> ChoosePath(const ExportScene& scene, const QString& title, const QString& filter,
                                                const char* extension) {
  const QString suggested = QDir::current().filePath(QFile::decodeName(OutputNameOf(scene.fName, extension).c_str()));
  const std::optional<QString> chosen =
      scene.platform.saveDialog->ChooseSaveFile(scene.window, title, filter, suggested);
  if (!chosen) return std::nullopt;
  return std::filesystem::path(QFile::encodeName(*chosen).toStdString());
}

CsvChoice LastCsvChoice() {
  const QSettings settings = ProgramSettings();
  CsvChoice choice;
  choice.crs = settings.value(QStringLiteral("export/csvCrs")).toString().toStdString();
  const bool penzd = settings.value(QStringLiteral("export/csvColumns")).toString() == QStringLiteral("penzd");
  choice.layout.columns = penzd ? CsvColumns::Penzd : CsvColumns::Pnezd;
  choice.layout.header = settings.value(QStringLiteral("export/csvHeader"), true).toBool();
  choice.collector = settings.value(QStringLiteral("export/csvCollector")).toString().toStdString();
  choice.namePrefix = RememberedNaming().prefix;
  return choice;
}

void RememberCsvChoice(const CsvChoice& choice) {
  QSettings settings = ProgramSettings();
  settings.setValue(QStringLiteral("export/csvCrs"), QString::fromStdString(choice.crs));
  settings.setValue(QStringLiteral("export/csvColumns"),
                    choice.layout.columns == CsvColumns::Penzd ? QStringLiteral("penzd") : QStringLiteral("pnezd"));
  settings.setValue(QStringLiteral("export/csvHeader"), choice.layout.header);
  settings.setValue(QStringLiteral("export/csvCollector"), QString::fromStdString(choice.collector));
  settings.setValue(QStringLiteral("export/namePrefix"), QString::fromStdString(choice.namePrefix));
}

// The units on the platform's volumes, searched on a thread of its own while
// the window goes on painting (taking no input): a volume that does not
// answer holds up the search kRemotePatience at most, and the window never.
UnitSearch SearchForUnits(const ExportScene& scene) {
  const std::vector<MountedVolume> volumes = scene.platform.volumes();
  QEventLoop loop;
  std::future<UnitSearch> search = std::async(std::launch::async, [&loop, &volumes] {
    // Queued, so that it also ends a loop that has not begun yet.
    const auto quit =
        qScopeGuard([&loop] { QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection); });
    return FindGarminUnits(volumes);
  });
  QApplication::setOverrideCursor(Qt::BusyCursor);
  loop.exec(QEventLoop::ExcludeUserInputEvents);
  QApplication::restoreOverrideCursor();
  return search.get();
}

}  // namespace

std::optional<ExportResult> ExportCsvCommand(const ExportScene& scene, bool transform, GridSystems& grids) {
  const GridOffer offer = OfferGrids(scene.points, transform, scene.services, grids);
  const GridChecker check = [&](const std::string& code) { return CheckGrid(code, offer, grids); };
  const std::optional<CsvChoice> choice =
      scene.platform.exportChoices->ChooseCsv(scene.window, offer, LastCsvChoice(), check);
  if (!choice) return std::nullopt;
  if (!choice->crs.empty()) {  // refused before the user chooses where to save
    const GridCheck checked = check(choice->crs);
    if (!checked.crs) throw KorvexaError(checked.refusal);
  }
  CheckNamePrefix(choice->namePrefix);
  const std::optional<std::filesystem::path> path =
      ChoosePath(scene, QStringLiteral("Save the point file as"), QStringLiteral("CSV files (*.csv)"), ".csv");
  if (!path) return std::nullopt;
  CsvExportOptions options;
  options.crs = choice->crs.empty() ? "auto" : choice->crs;
  options.layout = choice->layout;
  options.transform = transform;
  options.namePrefix = choice->namePrefix;
  ExportResult result = ExportCsv(*path, scene.points, options, scene.services, grids);
  CsvChoice used = *choice;
  used.crs = result.crsCode;
  RememberCsvChoice(used);
  return result;
}

std::optional<ExportResult> ExportKmlCommand(const ExportScene& scene, std::string_view text) {
  const std::optional<std::filesystem::path> path =
      ChoosePath(scene, QStringLiteral("Save the Google Earth file as"), QStringLiteral("KML files (*.kml)"), ".kml");
  if (!path) return std::nullopt;
  return ExportKml(*path, scene.fName, scene.points, text, RememberedNaming(), scene.services);
}

std::optional<ExportResult> SendToGpsCommand(const ExportScene& scene) {
  const UnitSearch search = SearchForUnits(scene);
  const std::span<const GarminUnit> units = UsableUnits(search);
  std::size_t chosen = 0;
  if (units.size() > 1) {
    const std::optional<std::size_t> choice =
        scene.platform.exportChoices->ChooseUnit(scene.window, std::vector<GarminUnit>(units.begin(), units.end()));
    if (!choice || *choice >= units.size()) return std::nullopt;
    chosen = *choice;
  }
  const GarminUnit& unit = units[chosen];
  const std::filesystem::path file = GpxFileOnUnit(unit, scene.fName);
  std::error_code error;
  if (std::filesystem::exists(file, error) &&
      !scene.platform.confirm(
          scene.window, QStringLiteral("The %1 already holds %2. Replace it?")
                            .arg(QString::fromStdString(UnitName(unit)), QFile::decodeName(file.filename().c_str())))) {
    return std::nullopt;
  }
  ExportResult result = scene.corners
                            ? SendToGps(unit, scene.fName, *scene.corners, RememberedNaming(), *scene.services.clock)
                            : SendToGps(unit, scene.fName, scene.points, RememberedNaming(), scene.services);
  for (std::string& note : SearchNotes(search)) result.notices.push_back({false, std::move(note)});
  return result;
}

std::optional<std::string> ChooseNamePrefixCommand(QWidget* window, WindowPlatform& platform) {
  const std::optional<std::string> prefix = platform.exportChoices->ChooseNamePrefix(window, RememberedNaming().prefix);
  if (!prefix) return std::nullopt;
  CheckNamePrefix(*prefix);
  ProgramSettings().setValue(QStringLiteral("export/namePrefix"), QString::fromStdString(*prefix));
  return prefix->empty() ? std::string("Waypoint names will have no prefix.")
                         : "Waypoint names will begin with \"" + *prefix + "\".";
}

std::optional<CreateResult> SaveWaypointsAsCommand(const ExportScene& scene, CreateOptions options) {
  const bool pcx5 = options.kind == OutputKind::Pcx5;
  const std::optional<std::filesystem::path> path = ChoosePath(
      scene, QStringLiteral("Save the waypoints as"),
      pcx5 ? QStringLiteral("PCX5 files (*.grm)") : QStringLiteral("GPX files (*.gpx)"), pcx5 ? ".grm" : ".gpx");
  if (!path) return std::nullopt;
  options.drawing = false;
  if (!pcx5) options.naming = RememberedNaming();
  return RunCreateTo(*path, scene.fName, scene.points, options, scene.services);
}

}  // namespace korvexa
