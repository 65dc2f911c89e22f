// lx2dxf: draws the township of a GCDB .LX file as an AutoCAD R12 DXF file.
//
//   lx2dxf FILE.lx [r]      ("R" works as "r")
//
// Reads FILE.lx (a bare name resolves against the current folder) and writes
// the drawing beside it, under the name with its extension replaced by ".dxf".
// The drawing is a plan in metres (z = 0) in the NAD27 UTM zone of the
// township's mean longitude (EPSG:26701 to EPSG:26722, zones 1 to 22):
//
//   LINES    the surveyed lines: after the two header lines, consecutive
//            records form one chain, ended by a " 999999" sentinel line (or
//            the end of the file), drawn as connected LINE segments; blank
//            lines are skipped
//   POINTS   every distinct point (by its first 41 columns) once, as a POINT
//   LABELS   its PointID (columns 2 to 7, without blanks), as TEXT 10 m high
//            inserted at the point
//
// With "r" the segments go on one layer per reliability instead of LINES:
// "RELY_" followed by columns 42 to 50 without surrounding blanks, in capitals,
// every character other than A-Z, 0-9, '-' and '_' replaced by '_' ("RELY_NONE"
// when blank). A segment takes the reliability of the less reliable of its two
// records, the one whose reliability reads as the larger number (a tie keeps
// the first).
//
// A point more than 3 degrees of latitude or longitude from the median of all
// points (a record without coordinates reads as 0 N 0 W) stops the drawing,
// as do an unreadable file, a file without points and a township outside the
// zones. The file is written completely or not at all. Exit status 0 on
// success, 1 when the file cannot be drawn, 2 for a wrong command line; errors
// are one "error:" line on standard error. Nothing is read from standard input.
#include <proj.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <iostream>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "atomic_file.h"
#include "build_info.h"
#include "korvexa_error.h"
#include "lx_file.h"
#include "lx_record.h"
#include "number_text.h"
#include "proj_handles.h"

namespace {

using korvexa::KorvexaError;

constexpr std::string_view kUsage =
    "usage: lx2dxf FILE.lx [r]\n"
    "\n"
    "Draws the township of the GCDB .LX file FILE.lx as an AutoCAD R12 DXF file\n"
    "beside it (FILE.dxf), in metres in the NAD27 UTM zone of the township:\n"
    "layer LINES holds the surveyed lines, POINTS every point and LABELS the\n"
    "PointIDs.\n"
    "\n"
    "  r          put the lines on one layer per reliability (RELY_1, RELY_2, ...)\n"
    "             instead of LINES\n"
    "  --version  show the version\n"
    "  --help     show this text\n";

constexpr std::size_t kHeaderLines = 2;
constexpr int kFirstUtmZone = 1;             // EPSG:26701
constexpr int kLastUtmZone = 22;             // EPSG:26722
constexpr double kLabelHeight = 10.0;        // metres
constexpr int kDecimals = 4;                 // 0.1 mm
constexpr double kMaxDegreesFromMiddle = 3;  // half a UTM zone

struct Arguments {
  std::string title;
  bool byReliability = false;
  bool help = false;
  bool version = false;
};

struct TownPoint {
  std::string id;       // PointID without blanks
  double east = 0;      // longitude, degrees, east positive
  double north = 0;     // latitude, degrees
  double x = 0, y = 0;  // UTM easting and northing, metres
};

struct ChainRecord {
  std::size_t point;        // index into Township::points
  std::string reliability;  // columns 42 to 50, verbatim
};

struct Township {
  std::vector<TownPoint> points;  // distinct, in order of first appearance
  std::vector<std::vector<ChainRecord>> chains;
};

struct Segment {
  std::size_t from, to;
  std::string layer;
};

// ---- the command line ----

Arguments ParseArguments(int argc, char** argv) {
  Arguments arguments;
  if (argc >= 2 && (std::string_view(argv[1]) == "--help" || std::string_view(argv[1]) == "-h")) {
    arguments.help = true;
    return arguments;
  }
  if (argc >= 2 && std::string_view(argv[1]) == "--version") {
    arguments.version = true;
    return arguments;
  }
  if (argc < 2 || argv[1][0] == '\0') throw KorvexaError("no .LX file given");
  arguments.title = argv[1];
  if (argc >= 3) {
    const std::string_view option = argv[2];
    if (option != "r" && option != "R") {
      throw KorvexaError("unknown option \"" + std::string(option) + "\" after \"" + arguments.title +
                         "\" (the only option is r; a file name with blanks arrives as several arguments)");
    }
    arguments.byReliability = true;
  }
  if (argc > 3) throw KorvexaError("too many arguments (a file name with blanks arrives as several arguments)");
  return arguments;
}

// ---- reading the township ----

bool IsBlankLine(std::string_view line) {
  return line.find_first_not_of(" \t") == std::string_view::npos;
}

TownPoint MakePoint(korvexa::LxRecord record, const std::string& title, std::size_t lineNumber) {
  try {
    const korvexa::LxPoint decoded = korvexa::DecodeLxPoint(record);
    return {korvexa::TrimmedPointId(record), -decoded.Longitude, decoded.Latitude};
  } catch (const KorvexaError& error) {
    throw KorvexaError("\"" + title + "\" line " + std::to_string(lineNumber) + ": " + error.what());
  }
}

Township ReadTownship(std::string_view text, const std::string& title) {
  const std::vector<std::string_view> lines = korvexa::SplitLines(text);
  Township township;
  std::unordered_map<std::string_view, std::size_t> pointOfKey;
  std::vector<ChainRecord> chain;
  for (std::size_t i = kHeaderLines; i < lines.size(); ++i) {
    const std::string_view line = lines[i];
    if (korvexa::IsSentinelLine(line)) {
      if (!chain.empty()) township.chains.push_back(std::move(chain));
      chain.clear();
      continue;
    }
    if (IsBlankLine(line)) continue;
    const auto [found, added] =
        pointOfKey.try_emplace(line.substr(0, korvexa::kDuplicateKeyLength), township.points.size());
    if (added) township.points.push_back(MakePoint(line, title, i + 1));
    chain.push_back({found->second, std::string(korvexa::ReliabilityOf(line))});
  }
  if (!chain.empty()) township.chains.push_back(std::move(chain));
  if (township.points.empty()) throw KorvexaError("\"" + title + "\" holds no points to draw");
  return township;
}

// ---- the projection ----

double Median(std::vector<double> values) {
  std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2), values.end());
  return values[values.size() / 2];
}

// A point far from the others has lost its coordinates (a short record reads
// as 0 N 0 W) and would both stretch the drawing and move its UTM zone.
void RequirePointsTogether(const Township& township, const std::string& title) {
  std::vector<double> easts, norths;
  for (const TownPoint& point : township.points) {
    easts.push_back(point.east);
    norths.push_back(point.north);
  }
  const double middleEast = Median(std::move(easts));
  const double middleNorth = Median(std::move(norths));
  for (const TownPoint& point : township.points) {
    if (std::fabs(point.east - middleEast) > kMaxDegreesFromMiddle ||
        std::fabs(point.north - middleNorth) > kMaxDegreesFromMiddle) {
      throw KorvexaError("\"" + title + "\": point " + point.id + " at " + korvexa::NumberText(point.north) + " N " +
                         korvexa::NumberText(-point.east) + " W lies more than " +
                         korvexa::NumberText(kMaxDegreesFromMiddle) + " degrees from the middle of the township (" +
                         korvexa::NumberText(middleNorth) + " N " + korvexa::NumberText(-middleEast) +
                         " W); its coordinates are missing or wrong");
    }
  }
}

// The NAD27 UTM zone of the township's mean longitude.
int UtmZone(const Township& township, const std::string& title) {
  double sum = 0;
  for (const TownPoint& point : township.points) sum += point.east;
  const double meanEast = sum / static_cast<double>(township.points.size());
  const double zone = std::floor((meanEast + 180) / 6) + 1;
  if (!(zone >= kFirstUtmZone && zone <= kLastUtmZone)) {
    throw KorvexaError("\"" + title + "\": the township's mean longitude " +
                       korvexa::NumberText(korvexa::RoundDecimal(-meanEast, 7)) +
                       " W lies outside the NAD27 UTM zones 1 to 22 (180 W to 48 W), which the drawing needs");
  }
  return static_cast<int>(zone);
}

// Fills x and y of every point: NAD27 longitude and latitude to EPSG:267NN.
void ProjectToUtm(Township& township, int zone, const std::string& title) {
  const std::string target = "EPSG:267" + std::string(zone < 10 ? "0" : "") + std::to_string(zone);
  const korvexa::prolat::ContextHandle context(proj_context_create());
  proj_log_level(context.get(), PJ_LOG_NONE);
  const korvexa::prolat::PjHandle raw(proj_create_crs_to_crs(context.get(), "EPSG:4267", target.c_str(), nullptr));
  const korvexa::prolat::PjHandle lonLat(raw ? proj_normalize_for_visualization(context.get(), raw.get()) : nullptr);
  if (!lonLat) {
    throw KorvexaError("cannot set up the projection from NAD27 to " + target + ": " +
                       proj_context_errno_string(context.get(), proj_context_errno(context.get())));
  }
  for (TownPoint& point : township.points) {
    const PJ_COORD utm = proj_trans(lonLat.get(), PJ_FWD, proj_coord(point.east, point.north, 0, 0));
    if (!std::isfinite(utm.xy.x) || !std::isfinite(utm.xy.y)) {  // PROJ's HUGE_VAL for a failure
      throw KorvexaError("\"" + title + "\": point " + point.id + " cannot be projected to " + target);
    }
    point.x = utm.xy.x;
    point.y = utm.xy.y;
  }
}

// ---- the layers ----

std::string ReliabilityLayer(std::string_view reliability) {
  std::string name(korvexa::TrimBlanks(reliability));
  if (name.empty()) return "RELY_NONE";
  for (char& c : name) {
    const bool kept = (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
    if (c >= 'a' && c <= 'z') {
      c = static_cast<char>(c - 'a' + 'A');
    } else if (!kept) {
      c = '_';
    }
  }
  return "RELY_" + name;
}

std::vector<Segment> Segments(const Township& township, bool byReliability) {
  std::vector<Segment> segments;
  for (const std::vector<ChainRecord>& chain : township.chains) {
    for (std::size_t i = 1; i < chain.size(); ++i) {
      const ChainRecord& a = chain[i - 1];
      const ChainRecord& b = chain[i];
      if (a.point == b.point) continue;  // no segment of zero length
      std::string layer = "LINES";
      if (byReliability) {
        const bool bIsPoorer = korvexa::LxVal(b.reliability) > korvexa::LxVal(a.reliability);
        layer = ReliabilityLayer(bIsPoorer ? b.reliability : a.reliability);
      }
      segments.push_back({a.point, b.point, std::move(layer)});
    }
  }
  return segments;
}

// Layer name -> AutoCAD colour index, in the order of the LAYER table.
std::map<std::string, int> Layers(const std::vector<Segment>& segments, bool byReliability) {
  std::map<std::string, int> layers = {{"0", 7}, {"POINTS", 1}, {"LABELS", 3}};
  if (!byReliability) {
    layers.emplace("LINES", 7);
    return layers;
  }
  constexpr int kReliabilityColours[] = {2, 4, 5, 6, 30, 140, 200, 8};
  std::map<std::string, int> reliabilities;
  for (const Segment& segment : segments) reliabilities.emplace(segment.layer, 0);
  std::size_t i = 0;
  for (auto& [name, colour] : reliabilities) colour = kReliabilityColours[i++ % std::size(kReliabilityColours)];
  layers.merge(reliabilities);
  return layers;
}

// ---- the DXF text ----

class Dxf {
 public:
  void Group(int code, std::string_view value) {
    char number[8];
    const auto end = std::to_chars(number, number + sizeof number, code).ptr;
    // The group code right-aligned in three columns.
    for (std::ptrdiff_t width = end - number; width < 3; ++width) text_ += ' ';
    text_.append(number, end).append("\r\n").append(value).append("\r\n");
  }
  void Group(int code, int value) { Group(code, std::to_string(value)); }
  void Number(int code, double value) {
    char number[64];
    const auto end = std::to_chars(number, number + sizeof number, value, std::chars_format::fixed, kDecimals).ptr;
    std::string_view written(number, static_cast<std::size_t>(end - number));
    if (written.find_first_not_of("-0.") == std::string_view::npos) written.remove_prefix(written[0] == '-');
    Group(code, written);
  }
  // A point as groups 10, 20, 30 (+ `offset` for the second point of a LINE).
  void Point(double x, double y, int offset = 0) {
    Number(10 + offset, x);
    Number(20 + offset, y);
    Number(30 + offset, 0);
  }
  const std::string& Text() const { return text_; }

 private:
  std::string text_;
};

void WriteHeader(Dxf& dxf, const Township& township) {
  double minX = HUGE_VAL, minY = HUGE_VAL, maxX = -HUGE_VAL, maxY = -HUGE_VAL;
  for (const TownPoint& point : township.points) {
    minX = std::min(minX, point.x), minY = std::min(minY, point.y);
    maxX = std::max(maxX, point.x), maxY = std::max(maxY, point.y);
  }
  dxf.Group(0, "SECTION");
  dxf.Group(2, "HEADER");
  dxf.Group(9, "$ACADVER");
  dxf.Group(1, "AC1009");
  dxf.Group(9, "$INSBASE");
  dxf.Point(0, 0);
  dxf.Group(9, "$EXTMIN");
  dxf.Point(minX, minY);
  dxf.Group(9, "$EXTMAX");
  dxf.Point(maxX, maxY);
  dxf.Group(0, "ENDSEC");
}

void WriteTables(Dxf& dxf, const std::map<std::string, int>& layers) {
  dxf.Group(0, "SECTION");
  dxf.Group(2, "TABLES");
  dxf.Group(0, "TABLE");
  dxf.Group(2, "LTYPE");
  dxf.Group(70, 1);
  dxf.Group(0, "LTYPE");
  dxf.Group(2, "CONTINUOUS");
  dxf.Group(70, 0);
  dxf.Group(3, "Solid line");
  dxf.Group(72, 65);
  dxf.Group(73, 0);
  dxf.Number(40, 0);
  dxf.Group(0, "ENDTAB");
  dxf.Group(0, "TABLE");
  dxf.Group(2, "LAYER");
  dxf.Group(70, static_cast<int>(layers.size()));
  for (const auto& [name, colour] : layers) {
    dxf.Group(0, "LAYER");
    dxf.Group(2, name);
    dxf.Group(70, 0);
    dxf.Group(62, colour);
    dxf.Group(6, "CONTINUOUS");
  }
  dxf.Group(0, "ENDTAB");
  dxf.Group(0, "ENDSEC");
}

// A PointID as TEXT content: control characters would end the group.
std::string LabelText(std::string id) {
  for (char& c : id) {
    if (static_cast<unsigned char>(c) < 0x20) c = '_';
  }
  return id;
}

void WriteEntities(Dxf& dxf, const Township& township, const std::vector<Segment>& segments) {
  dxf.Group(0, "SECTION");
  dxf.Group(2, "ENTITIES");
  for (const Segment& segment : segments) {
    const TownPoint& from = township.points[segment.from];
    const TownPoint& to = township.points[segment.to];
    dxf.Group(0, "LINE");
    dxf.Group(8, segment.layer);
    dxf.Point(from.x, from.y);
    dxf.Point(to.x, to.y, 1);
  }
  for (const TownPoint& point : township.points) {
    dxf.Group(0, "POINT");
    dxf.Group(8, "POINTS");
    dxf.Point(point.x, point.y);
  }
  for (const TownPoint& point : township.points) {
    if (point.id.empty()) continue;
    dxf.Group(0, "TEXT");
    dxf.Group(8, "LABELS");
    dxf.Point(point.x, point.y);
    dxf.Number(40, kLabelHeight);
    dxf.Group(1, LabelText(point.id));
  }
  dxf.Group(0, "ENDSEC");
  dxf.Group(0, "EOF");
}

// ---- the program ----

std::filesystem::path DrawingPath(const std::string& title) {
  std::filesystem::path drawing(title);
  drawing.replace_extension(".dxf");
  if (drawing == std::filesystem::path(title)) {
    throw KorvexaError("\"" + title + "\" is a drawing itself; give the .LX file");
  }
  return drawing;
}

void DrawTownship(const Arguments& arguments) {
  const std::filesystem::path drawingPath = DrawingPath(arguments.title);
  Township township = ReadTownship(korvexa::ReadWholeFile(arguments.title), arguments.title);
  RequirePointsTogether(township, arguments.title);
  ProjectToUtm(township, UtmZone(township, arguments.title), arguments.title);
  const std::vector<Segment> segments = Segments(township, arguments.byReliability);

  Dxf dxf;
  WriteHeader(dxf, township);
  WriteTables(dxf, Layers(segments, arguments.byReliability));
  WriteEntities(dxf, township, segments);
  korvexa::AtomicFile file(drawingPath);
  file.Write(dxf.Text());
  file.Commit();
}

}  // namespace

int main(int argc, char** argv) {
  Arguments arguments;
  try {
    arguments = ParseArguments(argc, argv);
  } catch (const KorvexaError& error) {
    std::cerr << "error: " << error.what() << "\n\n" << kUsage;
    return 2;
  }
  if (arguments.help) {
    std::cout << kUsage;
    return 0;
  }
  if (arguments.version) {
    std::cout << "lx2dxf (Korvexa) " << korvexa::kVersion << "\n";
    return 0;
  }
  try {
    DrawTownship(arguments);
  } catch (const std::exception& error) {
    std::cerr << "error: " << error.what() << std::endl;
    return 1;
  }
  return 0;
}
