#include "app/convert/township_drawing.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <memory>
#include <optional>
#include <span>
#include <utility>

#include "core/chains.h"
#include "core/korvexa_error.h"
#include "core/longitude.h"
#include "core/lx_file.h"
#include "core/lx_record.h"
#include "core/number_text.h"
#include "core/usable_point.h"
#include "transform/projection.h"
#include "writers/dxf_writer.h"

namespace korvexa {
namespace {

std::string Quoted(const std::string& fileName) {
  return "\"" + fileName + "\"";
}

constexpr std::uint32_t kNotDrawn = ~std::uint32_t{0};

// The segments between neighbours of each chain whose both ends are drawn
// (`drawn` gives each point of the chains its place among the township's
// points); a segment takes the reliability of its poorer end (the larger
// number; a tie keeps the first).
std::vector<TownshipSegment> Segments(const TownshipChains& chains, const std::vector<std::uint32_t>& drawn) {
  std::vector<double> value;  // of each reliability text, read once
  value.reserve(chains.reliabilities.size());
  for (const std::string& reliability : chains.reliabilities) value.push_back(LxVal(reliability));
  std::vector<TownshipSegment> segments;
  segments.reserve(chains.links.size() - chains.ChainCount());
  for (std::size_t c = 0; c < chains.ChainCount(); ++c) {
    const std::span<const ChainLink> chain = chains.Chain(c);
    for (std::size_t i = 1; i < chain.size(); ++i) {
      const ChainLink& a = chain[i - 1];
      const ChainLink& b = chain[i];
      if (a.point == b.point || drawn[a.point] == kNotDrawn || drawn[b.point] == kNotDrawn) continue;
      const bool bIsPoorer = value[b.reliability] > value[a.reliability];
      segments.push_back({drawn[a.point], drawn[b.point], bIsPoorer ? b.reliability : a.reliability});
    }
  }
  return segments;
}

class TownshipBuilder {
 public:
  TownshipBuilder(TownshipChains chains, const std::string& fileName, UtmProjections& projections,
                  std::vector<std::string_view>* keys)
      : chains_(std::move(chains)), fileName_(fileName), projections_(projections), keys_(keys) {}

  TownshipDrawing Build() {
    if (chains_.points.empty()) throw KorvexaError(Quoted(fileName_) + " holds no points to draw");
    JudgedTownship judged =
        JudgeTownship(chains_.points.size(), [this](std::size_t i) { return chains_.points[i].record; });
    if (!judged.middle) throw KorvexaError(Quoted(fileName_) + " holds no point with usable coordinates");
    for (auto& [chainPoint, reason] : judged.leftOut) LeaveOut(chainPoint, std::move(reason));
    township_.utmZone = Zone(*judged.middle);
    TownshipDrawing drawing;
    const std::vector<std::uint32_t> drawn = Place(std::move(judged));
    if (township_.points.empty()) throw KorvexaError(Quoted(fileName_) + " holds no point to draw");
    // The records are no longer read: their room goes to the segments.
    std::vector<ChainPoint>().swap(chains_.points);
    township_.segments = Segments(chains_, drawn);
    township_.reliabilities = std::move(chains_.reliabilities);
    std::sort(leftOut_.begin(), leftOut_.end(), [](const Indexed& a, const Indexed& b) { return a.first < b.first; });
    drawing.township = std::move(township_);
    for (auto& [index, point] : leftOut_) drawing.leftOut.push_back(std::move(point));
    return drawing;
  }

 private:
  using Indexed = std::pair<std::size_t, LeftOutPoint>;

  void LeaveOut(std::size_t chainPoint, std::string reason) {
    leftOut_.push_back({chainPoint, {RecordName(chains_.points[chainPoint].record), std::move(reason)}});
  }

  // Projects the usable points into the township's points, noting each
  // point's key when asked to; gives, for each point of the chains, its
  // place among them. Takes the judgement, to free it before the segments
  // are made.
  std::vector<std::uint32_t> Place(JudgedTownship judged) {
    const Projection& projection = projections_.Zone(township_.utmZone);
    std::vector<std::uint32_t> drawn(chains_.points.size(), kNotDrawn);
    const std::size_t usable = judged.points.size() - judged.leftOut.size();
    township_.points.reserve(usable);
    if (keys_ != nullptr) keys_->reserve(usable);
    for (std::size_t chainPoint = 0; chainPoint < judged.points.size(); ++chainPoint) {
      if (!judged.usable[chainPoint]) continue;
      const LxPoint& position = judged.points[chainPoint];
      const double east = EastLongitude(position.Longitude);
      const std::optional<PlanePoint> plane = projection.Forward({Datum::Nad27, east, position.Latitude});
      if (!plane) {
        LeaveOut(chainPoint, "cannot be projected to " + projection.Name());
        continue;
      }
      const LxRecord record = chains_.points[chainPoint].record;
      drawn[chainPoint] = static_cast<std::uint32_t>(township_.points.size());
      township_.points.push_back({TrimmedPointId(record), east, position.Latitude, plane->x, plane->y});
      if (keys_ != nullptr) keys_->push_back(DuplicateKey(record));
    }
    return drawn;
  }

  // The NAD27 UTM zone of the township's median longitude.
  int Zone(const TownshipMiddle& middle) const {
    const std::optional<int> zone = Nad27UtmZone(EastLongitude(middle.westLongitude));
    if (!zone) {
      throw KorvexaError(Quoted(fileName_) + ": the township's median longitude " + NumberText(middle.westLongitude) +
                         " W lies outside the NAD27 UTM zones 1 to 22 and 59 to 60 (168 E to 48 W), which the "
                         "drawing needs");
    }
    return *zone;
  }

  TownshipChains chains_;
  const std::string& fileName_;
  UtmProjections& projections_;
  std::vector<std::string_view>* keys_;
  Township township_;
  std::vector<Indexed> leftOut_;  // with the index of each point among the chains
};

// Writes `township`'s drawing into the file at `path` in place: Create's
// temporary file, which Create itself makes the drawing, atomically.
void WriteInPlace(const std::string& path, const Township& township) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  WriteDxf(township, false,
           [&out](std::string_view piece) { out.write(piece.data(), static_cast<std::streamsize>(piece.size())); });
  if (!out.flush()) throw KorvexaError("cannot write \"" + path + "\": " + std::strerror(errno));
}

// Draws on Wait, after the waypoint file is written: a county's drawing
// then never shares the memory with its waypoints.
class InProcessDrawingJob : public DrawingJob {
 public:
  InProcessDrawingJob(std::shared_ptr<const std::string> text, std::string fName, std::string drawingName,
                      UtmProjections& projections)
      : text_(std::move(text)),
        fName_(std::move(fName)),
        drawingName_(std::move(drawingName)),
        projections_(projections) {}

  // The outcome in lx2dxf's words: its warnings, or why it drew nothing.
  DrawingOutcome Wait() override {
    try {
      const TownshipDrawing drawing = ProjectTownship(*text_, fName_, projections_);
      WriteInPlace(drawingName_, drawing.township);
      DrawingOutcome outcome{true, ""};
      for (const LeftOutPoint& point : drawing.leftOut) {
        outcome.messages +=
            (outcome.messages.empty() ? "point " : "\npoint ") + point.name + " left out: " + point.reason;
      }
      return outcome;
    } catch (const std::exception& error) {
      return {false, error.what()};
    }
  }

 private:
  std::shared_ptr<const std::string> text_;
  std::string fName_;
  std::string drawingName_;
  UtmProjections& projections_;
};

}  // namespace

TownshipDrawing ProjectTownship(std::string_view text, const std::string& fileName, UtmProjections& projections,
                                std::vector<std::string_view>* keys) {
  return TownshipBuilder(ReadChains(text), fileName, projections, keys).Build();
}

std::filesystem::path DrawingPath(const std::string& lxFile) {
  return OutputNameOf(lxFile, ".dxf");
}

std::vector<LeftOutPoint> WriteTownshipDrawing(const std::string& lxFile, const std::filesystem::path& drawing,
                                               bool byReliability, UtmProjections& projections) {
  if (std::filesystem::weakly_canonical(drawing) == std::filesystem::weakly_canonical(lxFile)) {
    throw KorvexaError("the drawing would replace " + Quoted(lxFile) + " itself");
  }
  TownshipDrawing township = ProjectTownship(ReadWholeFile(lxFile), lxFile, projections);
  WriteDxfFile(drawing, township.township, byReliability);
  return std::move(township.leftOut);
}

std::unique_ptr<DrawingJob> InProcessDrawing::StartDrawing(const std::string& fName, const std::string& drawingName) {
  return std::make_unique<InProcessDrawingJob>(text_, fName, drawingName, projections_);
}

}  // namespace korvexa
