#include "writers/dxf_writer.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>
#include <vector>

#include "core/lx_record.h"
#include "writers/atomic_file.h"

namespace korvexa {
namespace {

constexpr double kLabelHeight = 10.0;  // metres
constexpr int kDecimals = 4;           // 0.1 mm

// Group codes and values, one per line. With a file, the text goes to it
// in pieces of AtomicFile::kFlushSize instead of growing in memory.
class Dxf {
 public:
  explicit Dxf(AtomicFile* file = nullptr) : file_(file) {
    if (file_ != nullptr) text_.reserve(AtomicFile::kFlushSize + 4096);
  }
  void Group(int code, std::string_view value) {
    char number[8];
    const auto end = std::to_chars(number, number + sizeof number, code).ptr;
    // The group code right-aligned in three columns.
    for (std::ptrdiff_t width = end - number; width < 3; ++width) text_ += ' ';
    text_.append(number, end).append("\r\n").append(value).append("\r\n");
    if (file_ != nullptr) file_->FlushWhenFull(text_);
  }
  void Group(int code, int value) {
    char number[16];
    const auto end = std::to_chars(number, number + sizeof number, value).ptr;
    Group(code, std::string_view(number, static_cast<std::size_t>(end - number)));
  }
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
  std::string Take() { return std::move(text_); }

 private:
  AtomicFile* file_;
  std::string text_;
};

// The layer of each reliability text of the township, made once.
std::vector<std::string> LayerNames(const Township& township, bool byReliability) {
  std::vector<std::string> names;
  names.reserve(township.reliabilities.size());
  for (const std::string& reliability : township.reliabilities) {
    names.push_back(byReliability ? ReliabilityLayer(reliability) : "LINES");
  }
  return names;
}

// Layer name -> AutoCAD colour index, in the order of the LAYER table.
std::map<std::string, int> Layers(const Township& township, const std::vector<std::string>& layerNames,
                                  bool byReliability) {
  std::map<std::string, int> layers = {{"0", 7}, {"POINTS", 1}, {"LABELS", 3}};
  if (!byReliability) {
    layers.emplace("LINES", 7);
    return layers;
  }
  constexpr int kReliabilityColours[] = {2, 4, 5, 6, 30, 140, 200, 8};
  // Only the reliabilities of segments drawn make layers.
  std::vector<bool> used(layerNames.size(), false);
  for (const TownshipSegment& segment : township.segments) used[segment.reliability] = true;
  std::map<std::string, int> reliabilities;
  for (std::size_t i = 0; i < layerNames.size(); ++i) {
    if (used[i]) reliabilities.emplace(layerNames[i], 0);
  }
  std::size_t i = 0;
  for (auto& [name, colour] : reliabilities) colour = kReliabilityColours[i++ % std::size(kReliabilityColours)];
  layers.merge(reliabilities);
  return layers;
}

void WriteHeader(Dxf& dxf, const Township& township) {
  double minX = HUGE_VAL, minY = HUGE_VAL, maxX = -HUGE_VAL, maxY = -HUGE_VAL;
  for (const TownshipPoint& point : township.points) {
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

void WriteEntities(Dxf& dxf, const Township& township, const std::vector<std::string>& layerNames) {
  dxf.Group(0, "SECTION");
  dxf.Group(2, "ENTITIES");
  for (const TownshipSegment& segment : township.segments) {
    const TownshipPoint& from = township.points[segment.from];
    const TownshipPoint& to = township.points[segment.to];
    dxf.Group(0, "LINE");
    dxf.Group(8, layerNames[segment.reliability]);
    dxf.Point(from.x, from.y);
    dxf.Point(to.x, to.y, 1);
  }
  for (const TownshipPoint& point : township.points) {
    dxf.Group(0, "POINT");
    dxf.Group(8, "POINTS");
    dxf.Point(point.x, point.y);
  }
  for (const TownshipPoint& point : township.points) {
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

void WriteDrawing(Dxf& dxf, const Township& township, bool byReliability) {
  WriteHeader(dxf, township);
  const std::vector<std::string> layerNames = LayerNames(township, byReliability);
  WriteTables(dxf, Layers(township, layerNames, byReliability));
  WriteEntities(dxf, township, layerNames);
}

}  // namespace

std::string ReliabilityLayer(std::string_view reliability) {
  std::string name(TrimBlanks(reliability));
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

std::string DxfText(const Township& township, bool byReliability) {
  Dxf dxf;
  WriteDrawing(dxf, township, byReliability);
  return dxf.Take();
}

void WriteDxfFile(const std::filesystem::path& path, const Township& township, bool byReliability) {
  AtomicFile file(path);
  Dxf dxf(&file);
  WriteDrawing(dxf, township, byReliability);
  file.Write(dxf.Take());
  file.Commit();
}

}  // namespace korvexa
