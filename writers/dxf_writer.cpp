#include "writers/dxf_writer.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "core/lx_record.h"
#include "writers/atomic_file.h"

namespace korvexa {
namespace {

constexpr double kLabelHeight = 10.0;  // metres
constexpr int kDecimals = 4;           // 0.1 mm
constexpr std::string_view kZero = "0.0000";

// Group codes and values, one per line. With a sink, the text goes to it
// about kPieceSize at a time instead of growing in memory.
class Dxf {
 public:
  explicit Dxf(const DxfSink* sink = nullptr) : sink_(sink) {}
  // `code` (0 to 999) right-aligned in three columns on a line, `value` on
  // the next.
  void Group(int code, std::string_view value) {
    char codeLine[] = "   \r\n";
    for (int column = 2; column == 2 || code > 0; --column, code /= 10) {
      codeLine[column] = static_cast<char>('0' + code % 10);
    }
    text_.append(codeLine, 5).append(value).append("\r\n");
    if (sink_ != nullptr && text_.size() >= kPieceSize) Flush();
  }
  void Flush() {
    (*sink_)(text_);
    text_.clear();
  }
  void Group(int code, int value) {
    char number[16];
    const auto end = std::to_chars(number, number + sizeof number, value).ptr;
    Group(code, std::string_view(number, static_cast<std::size_t>(end - number)));
  }
  void Number(int code, double value) { Group(code, Fixed(value)); }
  // A point as groups 10, 20, 30 (+ `offset` for the second point of a
  // LINE), its coordinates as Fixed gives them; the plan's z is 0.
  void Point(std::string_view x, std::string_view y, int offset = 0) {
    Group(10 + offset, x);
    Group(20 + offset, y);
    Group(30 + offset, kZero);
  }
  void Point(double x, double y) { Point(Fixed(x), Fixed(y)); }

  // `value` with kDecimals decimals, never "-0.0000".
  static std::string Fixed(double value) {
    char number[64];
    const auto end = std::to_chars(number, number + sizeof number, value, std::chars_format::fixed, kDecimals).ptr;
    std::string_view written(number, static_cast<std::size_t>(end - number));
    if (written.find_first_not_of("-0.") == std::string_view::npos) written.remove_prefix(written[0] == '-');
    return std::string(written);
  }
  std::string Take() { return std::move(text_); }

 private:
  static constexpr std::size_t kPieceSize = std::size_t{64} << 10;

  const DxfSink* sink_;
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

// A coordinate as written, made once for its every use: metres with four
// decimals fit 16 characters anywhere on Earth.
class CoordinateText {
 public:
  explicit CoordinateText(double value) {
    const std::string text = Dxf::Fixed(value);
    length_ = static_cast<std::uint8_t>(text.copy(text_, sizeof text_));
  }
  operator std::string_view() const { return {text_, length_}; }

 private:
  char text_[16];
  std::uint8_t length_;
};

struct PointText {
  CoordinateText x, y;
};

void WriteEntities(Dxf& dxf, const Township& township, const std::vector<std::string>& layerNames) {
  std::vector<PointText> texts;
  texts.reserve(township.points.size());
  for (const TownshipPoint& point : township.points)
    texts.push_back({CoordinateText(point.x), CoordinateText(point.y)});
  const std::string labelHeight = Dxf::Fixed(kLabelHeight);
  dxf.Group(0, "SECTION");
  dxf.Group(2, "ENTITIES");
  for (const TownshipSegment& segment : township.segments) {
    dxf.Group(0, "LINE");
    dxf.Group(8, layerNames[segment.reliability]);
    dxf.Point(texts[segment.from].x, texts[segment.from].y);
    dxf.Point(texts[segment.to].x, texts[segment.to].y, 1);
  }
  for (const PointText& text : texts) {
    dxf.Group(0, "POINT");
    dxf.Group(8, "POINTS");
    dxf.Point(text.x, text.y);
  }
  for (std::size_t i = 0; i < township.points.size(); ++i) {
    if (township.points[i].id.empty()) continue;
    dxf.Group(0, "TEXT");
    dxf.Group(8, "LABELS");
    dxf.Point(texts[i].x, texts[i].y);
    dxf.Group(40, labelHeight);
    dxf.Group(1, LabelText(township.points[i].id));
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

void WriteDxf(const Township& township, bool byReliability, const DxfSink& sink) {
  Dxf dxf(&sink);
  WriteDrawing(dxf, township, byReliability);
  dxf.Flush();
}

void WriteDxfFile(const std::filesystem::path& path, const Township& township, bool byReliability) {
  AtomicFile file(path);
  WriteDxf(township, byReliability, [&file](std::string_view piece) { file.Write(piece); });
  file.Commit();
}

}  // namespace korvexa
