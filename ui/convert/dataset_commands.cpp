#include "ui/convert/dataset_commands.h"

#include <QFile>
#include <QStringList>

#include "ui/map/export_dialogs.h"

namespace korvexa {
namespace {

// The settings key of the townships last chosen in the file at `path`.
QString RememberedKey(const std::filesystem::path& path) {
  return QStringLiteral("plssTownships/") + QString::fromLatin1(QByteArray::fromStdString(path.string()).toHex());
}

struct FormatFile {
  const char* extension;
  const char* filter;
};

FormatFile FileOf(PlssFormat format) {
  switch (format) {
    case PlssFormat::Pcx5:
      return {".grm", "PCX5 waypoints (*.grm)"};
    case PlssFormat::Csv:
      return {".csv", "Point files (*.csv)"};
    case PlssFormat::Kml:
      return {".kml", "KML files (*.kml)"};
    case PlssFormat::Gpx:
      break;
  }
  return {".gpx", "GPX files (*.gpx)"};
}

}  // namespace

std::optional<OpenDataset> OpenDatasetCommand(QWidget* window, TownshipChooser& chooser,
                                              const std::filesystem::path& path) {
  const std::filesystem::path absolute = std::filesystem::absolute(path);
  PlssLayer layer(absolute);
  QSettings settings = ProgramSettings();
  std::vector<std::string> remembered;
  for (const QString& id : settings.value(RememberedKey(absolute)).toStringList())
    remembered.push_back(id.toStdString());
  const std::optional<std::vector<std::string>> chosen =
      chooser.Choose(window, QFile::decodeName(QByteArray::fromStdString(absolute.filename().string())),
                     layer.Townships(), remembered);
  if (!chosen) return std::nullopt;
  OpenDataset dataset{absolute, ReadPlssTownships(layer, *chosen)};
  QStringList ids;
  for (const std::string& id : *chosen) ids << QString::fromStdString(id);
  settings.setValue(RememberedKey(absolute), ids);
  return dataset;
}

std::optional<ExportResult> WriteDatasetCommand(QWidget* window, WindowPlatform& platform, Services& services,
                                                const OpenDataset& dataset, const std::vector<bool>& ticks,
                                                PlssFormat format, bool drawing, GridSystems& grids) {
  const FormatFile file = FileOf(format);
  const std::filesystem::path suggested =
      dataset.path.parent_path() / PlssOutputName(dataset.townships.plssIds, file.extension);
  const std::optional<QString> chosen =
      platform.saveDialog->ChooseSaveFile(window, QStringLiteral("Write the corners to"),
                                          QString::fromLatin1(file.filter), QFile::decodeName(suggested.c_str()));
  if (!chosen) return std::nullopt;
  PlssExportOptions options;
  options.format = format;
  options.drawing = drawing;
  options.outputPath = std::filesystem::path(QFile::encodeName(*chosen).toStdString());
  return ExportPlssTownships(dataset.townships, ticks, options, services, &grids);
}

}  // namespace korvexa
