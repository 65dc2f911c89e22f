#include "ui/export/export_commands.h"

#include <QDir>
#include <QFile>
#include <QSettings>

#include "app/export/csv_export.h"
#include "app/export/kml_export.h"
#include "app/export/send_to_gps.h"
#include "core/lx_file.h"
#include "ui/export/csv_dialog.h"
#include "ui/help/texts.h"

namespace korvexa {
namespace {

QSettings Settings() {
  return QSettings(texts::kProgramName, texts::kProgramName);
}

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
  const QSettings settings = Settings();
  CsvChoice choice;
  choice.crs = settings.value(QStringLiteral("export/csvCrs")).toString().toStdString();
  const bool penzd = settings.value(QStringLiteral("export/csvColumns")).toString() == QStringLiteral("penzd");
  choice.layout.columns = penzd ? CsvColumns::Penzd : CsvColumns::Pnezd;
  choice.layout.header = settings.value(QStringLiteral("export/csvHeader"), true).toBool();
  return choice;
}

void RememberCsvChoice(const CsvChoice& choice) {
  QSettings settings = Settings();
  settings.setValue(QStringLiteral("export/csvCrs"), QString::fromStdString(choice.crs));
  settings.setValue(QStringLiteral("export/csvColumns"),
                    choice.layout.columns == CsvColumns::Penzd ? QStringLiteral("penzd") : QStringLiteral("pnezd"));
  settings.setValue(QStringLiteral("export/csvHeader"), choice.layout.header);
}

// The name prefix of the last export, put before every point name.
NamingRule RememberedNaming() {
  return {Settings().value(QStringLiteral("export/namePrefix")).toString().toStdString(), false};
}

}  // namespace

std::optional<ExportResult> ExportCsvCommand(const ExportScene& scene, bool transform, GridSystems& grids) {
  const GridOffer offer = OfferGrids(scene.points, transform, scene.services, grids);
  const std::optional<CsvChoice> choice = scene.platform.exportChoices->ChooseCsv(scene.window, offer, LastCsvChoice());
  if (!choice) return std::nullopt;
  const std::optional<std::filesystem::path> path =
      ChoosePath(scene, QStringLiteral("Save the point file as"), QStringLiteral("CSV files (*.csv)"), ".csv");
  if (!path) return std::nullopt;
  CsvExportOptions options;
  options.crs = choice->crs.empty() ? "auto" : choice->crs;
  options.layout = choice->layout;
  options.transform = transform;
  options.namePrefix = RememberedNaming().prefix;
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
  const std::vector<GarminUnit> units = FindGarminUnits(scene.platform.volumes());
  if (units.size() < 2) {
    return SendToGps(OnlyUnit(units, ""), scene.fName, scene.points, RememberedNaming(), scene.services);
  }
  const std::optional<std::size_t> chosen = scene.platform.exportChoices->ChooseUnit(scene.window, units);
  if (!chosen || *chosen >= units.size()) return std::nullopt;
  return SendToGps(units[*chosen], scene.fName, scene.points, RememberedNaming(), scene.services);
}

std::optional<CreateResult> SaveWaypointsAsCommand(const ExportScene& scene, CreateOptions options) {
  const bool pcx5 = options.kind == OutputKind::Pcx5;
  const std::optional<std::filesystem::path> path = ChoosePath(
      scene, QStringLiteral("Save the waypoints as"),
      pcx5 ? QStringLiteral("PCX5 files (*.grm)") : QStringLiteral("GPX files (*.gpx)"), pcx5 ? ".grm" : ".gpx");
  if (!path) return std::nullopt;
  options.drawing = false;
  return RunCreateTo(*path, scene.fName, scene.points, options, scene.services);
}

}  // namespace korvexa
