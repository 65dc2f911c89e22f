// korvexa-convert: the Korvexa conversion for scripts and batch work.
//
// Each file is loaded as File > Open loads it and converted as Create
// converts it; the output lands beside the input. The drawing is made in
// this process, as lx2dxf makes it, and PROJ is set up once for the whole
// run. One line per file on standard output; failures as "error:" lines on
// standard error. The exports (a data collector's CSV, KML, a GPX file sent
// to a Garmin unit) take the same waypoints and set their PROJ objects up
// once for the run too.
#include <algorithm>
#include <filesystem>
#include <functional>
#include <iostream>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/build_info.h"
#include "app/convert/create.h"
#include "app/convert/open_file.h"
#include "app/convert/plss_township.h"
#include "app/convert/township_drawing.h"
#include "app/export/csv_export.h"
#include "app/export/kml_export.h"
#include "app/export/send_to_gps.h"
#include "app/system_services.h"
#include "app/termination_signals.h"
#include "core/korvexa_error.h"
#include "core/lx_record.h"
#include "core/plss_id.h"
#include "core/printable_text.h"
#include "transform/plss_layer.h"
#include "writers/csv_layouts.h"

namespace {

using korvexa::KorvexaError;

constexpr std::string_view kUsage =
    "usage: korvexa-convert [--format gpx|pcx5|csv|kml] [--nad83|--no-nad83] [--dxf|--no-dxf]\n"
    "                       [--crs EPSG:NNNN|auto] [--columns pnezd|penzd] [--no-header]\n"
    "                       [--layout carlson|trimble|magnet]\n"
    "                       [--send-to-gps [--gps-folder DIR]] [--name-prefix TEXT]\n"
    "                       [--points ID,ID,...] FILE.lx [FILE.lx ...]\n"
    "       korvexa-convert --list-crs [--no-nad83] FILE.lx [FILE.lx ...]\n"
    "       korvexa-convert [--format gpx|pcx5|csv|kml] [--output-dir DIR]\n"
    "                       --township PLSSID[,PLSSID...] DATASET\n"
    "       korvexa-convert --list-townships DATASET\n"
    "\n"
    "Converts GCDB .LX files to GPS waypoint files, each written beside its input\n"
    "under the input's name with its last three characters replaced.\n"
    "\n"
    "A DATASET is BLM's PLSS data set (CadNSDI) or a layer in its schema: a .gdb\n"
    "folder, a zip holding one, a shapefile or a zip of one, or a GeoPackage. Its\n"
    "corners are written on NAD83, in a file named after the PLSSID\n"
    "(UT260020S0010W0.gpx) in the current folder or DIR.\n"
    "\n"
    "  --list-townships list the townships of DATASET: PLSSID, name and number\n"
    "                   of corners, separated by tabs, and exit\n"
    "  --township IDS   the townships to write; several go into one file, each\n"
    "                   corner named with its township (T2SR1W-100540)\n"
    "  --output-dir DIR write the files of a DATASET in DIR\n"
    "\n"
    "  --format gpx     GPX 1.1 waypoint file, FILE.gpx (the default)\n"
    "  --format pcx5    Garmin PCX5 waypoint file, FILE.grm\n"
    "  --format csv     point file for a data collector, FILE.csv, in a State\n"
    "                   Plane or UTM grid, with the CRS as WKT in FILE.prj\n"
    "  --format kml     Google Earth file, FILE.kml: the points and the surveyed\n"
    "                   lines, always moved to NAD83 (KML is WGS 84)\n"
    "  --crs CODE       the grid of the CSV file: an EPSG code (EPSG:2258), or\n"
    "                   auto, the best guess of --list-crs (the default)\n"
    "  --columns ORDER  pnezd (Point, Northing, Easting, Elevation, Description;\n"
    "                   the default) or penzd\n"
    "  --no-header      no header row in the CSV file (the header names the\n"
    "                   unit of the coordinates: Northing (ftUS), ...)\n"
    "  --layout NAME    the CSV file as a data collector's software imports it:\n"
    "                   carlson (SurvCE/SurvPC), trimble (Trimble Access) or\n"
    "                   magnet (Topcon Magnet Field): PNEZD, no header\n"
    "  --list-crs       show the State Plane and UTM zones that hold each\n"
    "                   township, best guess first, and exit\n"
    "  --send-to-gps    put the GPX file (NAD83) on the mounted Garmin unit, in\n"
    "                   the folder its Garmin/GarminDevice.xml names\n"
    "  --gps-folder DIR the unit is mounted at DIR (the folder holding Garmin/)\n"
    "  --nad83          move every point from NAD27 to NAD83 with the NADCON\n"
    "                   grids (the default)\n"
    "  --no-nad83       write the NAD27 coordinates of the file unchanged\n"
    "  --dxf            also draw the whole township as FILE.dxf (the default;\n"
    "                   GPX and PCX5 only)\n"
    "  --no-dxf         write the waypoint file only\n"
    "  --name-prefix TEXT  put TEXT before every waypoint name (GPX, KML, CSV;\n"
    "                   not PCX5, whose names hold six characters)\n"
    "  --points IDS     write only these points (PointIDs separated by commas,\n"
    "                   compared without surrounding blanks); default: all\n"
    "  --grids          show which file serves each NADCON grid, and exit\n"
    "  --version        show the version, and exit\n"
    "  --help           show this text\n"
    "\n"
    "Prints one line per file: input, output and number of waypoints (for CSV\n"
    "the grid, for KML the lines and the datum). Ticked\n"
    "points without usable coordinates are left out with a \"warning:\" line. Exits\n"
    "with status 1 when any file or its drawing fails (an \"error:\" line each), 2\n"
    "for a wrong command line.\n";

enum class Job { Create, Csv, Kml, SendToGps, ListCrs };

struct CommandLine {
  Job job = Job::Create;
  korvexa::CreateOptions options{.measureNad27Error = true};
  korvexa::CsvExportOptions csv;
  bool listCrs = false;
  bool sendToGps = false;
  std::optional<std::filesystem::path> gpsFolder;
  std::set<std::string> pointIds;  // none: every point
  bool listTownships = false;
  std::vector<std::string> townships;  // PLSSIDs, in the order given
  std::filesystem::path outputDir = ".";
  std::vector<std::filesystem::path> files;
  bool help = false;
  bool version = false;
  bool grids = false;
};

// The blank-trimmed items of a list separated by commas, in order. Throws
// KorvexaError naming `option` when it holds none.
std::vector<std::string> ParseList(std::string_view list, const std::string& option, const std::string& what) {
  std::vector<std::string> items;
  while (true) {
    const std::size_t comma = list.find(',');
    std::string item(korvexa::TrimBlanks(list.substr(0, comma)));
    if (!item.empty()) items.push_back(std::move(item));
    if (comma == std::string_view::npos) break;
    list.remove_prefix(comma + 1);
  }
  if (items.empty()) throw KorvexaError(option + " needs at least one " + what);
  return items;
}

void ParseFormat(std::string_view name, CommandLine& line) {
  line.job = name == "csv" ? Job::Csv : name == "kml" ? Job::Kml : Job::Create;
  if (name == "gpx" || name == "pcx5") {
    line.options.kind = name == "gpx" ? korvexa::OutputKind::Gpx : korvexa::OutputKind::Pcx5;
  } else if (line.job == Job::Create) {
    throw KorvexaError("unknown format \"" + std::string(name) + "\" (choose gpx, pcx5, csv or kml)");
  }
}

korvexa::CsvColumns ParseColumns(std::string_view name) {
  if (name == "pnezd") return korvexa::CsvColumns::Pnezd;
  if (name == "penzd") return korvexa::CsvColumns::Penzd;
  throw KorvexaError("unknown column order \"" + std::string(name) + "\" (choose pnezd or penzd)");
}

// The options of the exports; false for any other argument.
bool ParseExportOption(std::string_view arg, const std::function<std::string_view()>& value, CommandLine& line) {
  if (arg == "--crs") {
    const std::string code(value());
    line.csv.crs = code == "auto" ? code : korvexa::EpsgCode(code);
  } else if (arg == "--columns") {
    line.csv.layout.columns = ParseColumns(value());
  } else if (arg == "--no-header") {
    line.csv.layout.header = false;
  } else if (arg == "--layout") {
    const std::string_view name = value();
    const std::optional<korvexa::CollectorLayout> collector = korvexa::CollectorLayoutOf(name);
    if (!collector) {
      throw KorvexaError("unknown layout \"" + std::string(name) + "\" (choose carlson, trimble or magnet)");
    }
    line.csv.layout = collector->layout;
  } else if (arg == "--list-crs") {
    line.listCrs = true;
  } else if (arg == "--send-to-gps") {
    line.sendToGps = true;
  } else if (arg == "--gps-folder") {
    line.gpsFolder = std::filesystem::path(value());
  } else if (arg == "--name-prefix") {
    line.options.naming.prefix = value();
    korvexa::CheckNamePrefix(line.options.naming.prefix);
    line.csv.namePrefix = line.options.naming.prefix;
  } else {
    return false;
  }
  return true;
}

CommandLine ParseCommandLine(int argc, char** argv) {
  CommandLine line;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    auto value = [&]() -> std::string_view {
      if (i + 1 >= argc) throw KorvexaError(std::string(arg) + " needs a value");
      return argv[++i];
    };
    if (arg == "--help" || arg == "-h") {
      line.help = true;
    } else if (arg == "--version") {
      line.version = true;
    } else if (arg == "--grids") {
      line.grids = true;
    } else if (arg == "--format") {
      ParseFormat(value(), line);
    } else if (arg == "--nad83" || arg == "--no-nad83") {
      line.options.transform = arg == "--nad83";
    } else if (arg == "--dxf" || arg == "--no-dxf") {
      line.options.drawing = arg == "--dxf";
    } else if (arg == "--points") {
      const std::vector<std::string> ids = ParseList(value(), "--points", "PointID");
      line.pointIds = {ids.begin(), ids.end()};
    } else if (arg == "--list-townships") {
      line.listTownships = true;
    } else if (arg == "--township") {
      line.townships = ParseList(value(), "--township", "PLSSID");
    } else if (arg == "--output-dir") {
      line.outputDir = std::filesystem::path(value());
    } else if (ParseExportOption(arg, value, line)) {
    } else if (arg.starts_with("-") && arg != "-") {
      throw KorvexaError("unknown option \"" + std::string(arg) + "\"");
    } else {
      line.files.emplace_back(arg);
    }
  }
  if (!line.help && !line.version && !line.grids && line.files.empty())
    throw KorvexaError("no .LX file or data set given");
  const bool gpxOnly = line.job == Job::Create && line.options.kind == korvexa::OutputKind::Gpx;
  if (line.sendToGps && !gpxOnly) {
    throw KorvexaError("--send-to-gps sends a GPX file: it goes with --format gpx or none");
  }
  if (line.gpsFolder && !line.sendToGps) throw KorvexaError("--gps-folder goes with --send-to-gps");
  if (line.sendToGps) line.job = Job::SendToGps;
  if (line.listCrs) line.job = Job::ListCrs;
  line.csv.transform = line.options.transform;
  line.outputDir = std::filesystem::absolute(line.outputDir).lexically_normal();
  return line;
}

// Ticks every point, or those whose trimmed PointID is listed.
void TickPoints(korvexa::PointList& points, const CommandLine& line, const std::filesystem::path& file) {
  if (line.pointIds.empty()) {
    for (korvexa::PointEntry& entry : points) entry.ticked = true;
    return;
  }
  std::set<std::string> missing = line.pointIds;
  for (korvexa::PointEntry& entry : points) {
    const std::string id = korvexa::TrimmedPointId(entry.line);
    entry.ticked = line.pointIds.count(id) > 0;
    missing.erase(id);
  }
  if (!missing.empty()) {
    std::string names;
    for (const std::string& id : missing) names += (names.empty() ? "" : ", ") + id;
    throw KorvexaError(
        (missing.size() == 1 ? "point " + names + " is not in \"" : "points " + names + " are not in \"") +
        file.string() + "\"");
  }
}

// One line to the terminal. Names and texts from the input, a unit or a data
// set are printed escaped: none can pass for an escape sequence or for a line
// of its own.
void PrintLine(std::ostream& out, std::string_view text) {
  out << korvexa::PrintableText(text) << std::endl;
}

void PrintNotice(std::string_view kind, const std::filesystem::path& file, std::string_view text) {
  std::string line(kind);
  line += file.string();
  line += ": ";
  line += text;
  PrintLine(std::cerr, line);
}

void PrintNotices(const std::filesystem::path& file, const std::vector<korvexa::CreateNotice>& notices) {
  for (const korvexa::CreateNotice& notice : notices)
    PrintNotice(notice.error ? "error: " : "warning: ", file, notice.text);
}

// "t.lx -> /abs/t.gpx (4 points, SUMMARY)".
void PrintWritten(const std::filesystem::path& file, const std::filesystem::path& output, std::size_t waypoints,
                  std::string_view summary) {
  std::string line = file.string();
  line += " -> ";
  line += output.string();
  line += " (";
  line += std::to_string(waypoints);
  line += waypoints == 1 ? " point" : " points";
  if (!summary.empty()) {
    line += ", ";
    line += summary;
  }
  line += ')';
  PrintLine(std::cout, line);
}

// Loads and converts one file as the window does after File > Open (its
// folder becomes the working folder), but reads it as it is: a batch tool
// leaves its inputs alone. `input` is absolute: earlier files have changed the
// working folder. False when the drawing failed (the waypoint file is written).
bool ConvertFile(const std::filesystem::path& file, const std::filesystem::path& input, const CommandLine& line,
                 korvexa::Services& services, korvexa::UtmProjections& projections) {
  korvexa::LoadedFile loaded = korvexa::OpenLxFileUnchanged(input);
  services.converters = std::make_unique<korvexa::InProcessDrawing>(loaded.lines.text(), projections);
  korvexa::PointList points = korvexa::MakePointList(std::move(loaded.lines));
  TickPoints(points, line, input);
  const korvexa::CreateResult result = korvexa::RunCreate(loaded.fName, points, line.options, services);
  PrintWritten(file, result.outputPath, result.waypoints, {});
  PrintNotices(file, result.notices);
  if (const std::optional<std::string> datum = korvexa::DatumWarning(result)) PrintNotice("warning: ", file, *datum);
  return std::none_of(result.notices.begin(), result.notices.end(),
                      [](const korvexa::CreateNotice& notice) { return notice.error; });
}

// The run's PROJ objects and the unit sent to, shared by every file.
struct ExportTools {
  korvexa::GridSystems grids;
  std::optional<korvexa::GarminUnit> unit;
};

// The unit of --send-to-gps: the one at --gps-folder, else the one mounted
// (the volumes skipped named in warning lines).
korvexa::GarminUnit UnitToSendTo(const CommandLine& line) {
  if (!line.gpsFolder) {
    const korvexa::UnitSearch search = korvexa::FindGarminUnits(korvexa::MountedVolumes());
    const std::span<const korvexa::GarminUnit> units = korvexa::UsableUnits(search);
    for (const std::string& note : korvexa::SearchNotes(search)) PrintLine(std::cerr, std::string("warning: ") + note);
    return korvexa::OnlyUnit(units, "name one with --gps-folder DIR");
  }
  const std::filesystem::path folder = std::filesystem::absolute(*line.gpsFolder);
  std::optional<korvexa::GarminUnit> unit = korvexa::ReadGarminUnit(folder);
  if (!unit) throw KorvexaError("\"" + line.gpsFolder->string() + "\" holds no Garmin/GarminDevice.xml");
  return *unit;
}

// Loads one file as ConvertFile does and writes the export of the job, or
// lists the grids that hold it.
void ExportFile(const std::filesystem::path& file, const std::filesystem::path& input, const CommandLine& line,
                korvexa::Services& services, ExportTools& tools) {
  korvexa::LoadedFile loaded = korvexa::OpenLxFileUnchanged(input);
  const std::shared_ptr<const std::string> text = loaded.lines.text();
  korvexa::PointList points = korvexa::MakePointList(std::move(loaded.lines));
  TickPoints(points, line, input);
  if (line.job == Job::ListCrs) {
    const korvexa::GridOffer offer = korvexa::OfferGrids(points, line.options.transform, services, tools.grids);
    std::cout << korvexa::PrintableText(file.string()) << " (" << offer.township.Text() << "):\n"
              << korvexa::GridListText(offer);
    if (offer.systems.empty()) std::cout << "no State Plane or UTM zone holds the township\n";
    if (const std::optional<std::string> doubt = korvexa::ZoneDoubt(offer)) std::cout << *doubt << '\n';
    return;
  }
  korvexa::ExportResult result;
  if (line.job == Job::Csv) {
    result = korvexa::ExportCsv(korvexa::OutputNameOf(loaded.fName, ".csv"), points, line.csv, services, tools.grids);
  } else if (line.job == Job::Kml) {
    result = korvexa::ExportKml(korvexa::OutputNameOf(loaded.fName, ".kml"), loaded.fName, points, *text,
                                line.options.naming, services);
  } else {
    result = korvexa::SendToGps(*tools.unit, loaded.fName, points, line.options.naming, services);
  }
  PrintWritten(file, result.outputPath, result.waypoints, result.summary);
  PrintNotices(file, result.notices);
}

korvexa::PlssFormat FormatOf(const CommandLine& line) {
  switch (line.job) {
    case Job::Csv:
      return korvexa::PlssFormat::Csv;
    case Job::Kml:
      return korvexa::PlssFormat::Kml;
    case Job::Create:
      return line.options.kind == korvexa::OutputKind::Pcx5 ? korvexa::PlssFormat::Pcx5 : korvexa::PlssFormat::Gpx;
    default:
      throw KorvexaError("--send-to-gps and --list-crs take .LX files, not a PLSS data set");
  }
}

// The extension of each PlssFormat, in its order.
constexpr const char* kPlssExtensions[] = {".gpx", ".grm", ".csv", ".kml"};

// Lists the townships of the PLSS data set `input`, or writes the chosen
// ones' corners in the output folder. False when the drawing failed (the
// waypoint file is written).
bool ConvertDataset(const std::filesystem::path& file, const std::filesystem::path& input, const CommandLine& line,
                    korvexa::Services& services, korvexa::GridSystems* grids) {
  korvexa::PlssLayer layer(input);
  if (line.listTownships) {
    for (const korvexa::PlssTownshipCount& township : layer.Townships()) {
      const std::optional<korvexa::PlssId> id = korvexa::DecodePlssId(township.plssId);
      std::cout << korvexa::PrintableText(township.plssId) << '\t'
                << (id ? korvexa::PlssReadableName(*id) : "(not a PLSSID)") << '\t' << township.corners << '\n';
    }
    return true;
  }
  if (!line.pointIds.empty()) throw KorvexaError("--points takes .LX files; choose townships with --township");
  std::vector<std::string> chosen = line.townships;
  if (chosen.empty()) {
    const std::vector<korvexa::PlssTownshipCount> townships = layer.Townships();
    if (townships.size() != 1) {
      throw KorvexaError("it holds " + std::to_string(townships.size()) +
                         " townships: choose with --township (--list-townships lists them)");
    }
    chosen.push_back(townships.front().plssId);
  }
  const korvexa::PlssTownships read = korvexa::ReadPlssTownships(layer, chosen);
  if (!read.datumNotice.empty()) PrintNotice("warning: ", file, read.datumNotice);
  korvexa::PlssExportOptions options;
  options.format = FormatOf(line);
  options.outputPath =
      line.outputDir / korvexa::PlssOutputName(chosen, kPlssExtensions[static_cast<int>(options.format)]);
  options.namePrefix = line.options.naming.prefix;
  options.csv = line.csv;
  options.drawing = line.job == Job::Create && line.options.drawing;
  std::filesystem::create_directories(line.outputDir);
  const korvexa::ExportResult result = korvexa::ExportPlssTownships(read, {}, options, services, grids);
  PrintWritten(file, result.outputPath, result.waypoints, result.summary);
  PrintNotices(file, result.notices);
  return std::none_of(result.notices.begin(), result.notices.end(),
                      [](const korvexa::CreateNotice& notice) { return notice.error; });
}

}  // namespace

int main(int argc, char** argv) {
  korvexa::TakeTerminationSignals();  // before PROJ or a search of the volumes starts a thread
  CommandLine line;
  try {
    line = ParseCommandLine(argc, argv);
  } catch (const KorvexaError& error) {
    std::cerr << "error: " << korvexa::PrintableText(error.what()) << "\n\n" << kUsage;
    return 2;
  }
  if (line.help) {
    std::cout << kUsage;
    return 0;
  }
  if (line.version) {
    std::cout << "korvexa-convert (Korvexa) " << korvexa::kVersion << "\n";
    return 0;
  }
  if (line.grids) {
    std::cout << korvexa::SystemGridReport();
    return 0;
  }
  korvexa::Services services;
  korvexa::UtmProjections projections;  // each zone's, set up once for the run
  std::optional<ExportTools> tools;
  try {
    services = korvexa::MakeSystemServices();
    if (line.job != Job::Create) tools.emplace();
    if (line.job == Job::SendToGps) tools->unit = UnitToSendTo(line);
  } catch (const std::exception& error) {
    PrintLine(std::cerr, std::string("error: ") + error.what());
    return 1;
  }
  std::vector<std::filesystem::path> inputs;
  for (const std::filesystem::path& file : line.files) inputs.push_back(std::filesystem::absolute(file));
  int status = 0;
  for (std::size_t i = 0; i < line.files.size(); ++i) {
    const std::filesystem::path& file = line.files[i];
    try {
      if (korvexa::IsPlssDatasetPath(inputs[i])) {
        if (!ConvertDataset(file, inputs[i], line, services, tools ? &tools->grids : nullptr)) status = 1;
      } else if (line.listTownships) {
        throw KorvexaError("--list-townships takes a PLSS data set, not an .LX file");
      } else if (tools) {
        ExportFile(file, inputs[i], line, services, *tools);
      } else if (!ConvertFile(file, inputs[i], line, services, projections)) {
        status = 1;
      }
    } catch (const std::exception& error) {
      PrintNotice("error: ", file, error.what());
      status = 1;
    }
  }
  return status;
}
