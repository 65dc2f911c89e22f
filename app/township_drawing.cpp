#include "app/township_drawing.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/chains.h"
#include "core/korvexa_error.h"
#include "core/longitude.h"
#include "core/lx_file.h"
#include "core/lx_record.h"
#include "core/number_text.h"
#include "transform/utm_projection.h"
#include "writers/dxf_writer.h"

namespace korvexa {
namespace {

constexpr double kMaxDegreesFromMiddle = 3;  // half a UTM zone

std::string Quoted(const std::string& fileName) {
  return "\"" + fileName + "\"";
}

TownshipPoint DecodePoint(const ChainPoint& point, const std::string& fileName) {
  try {
    const LxPoint decoded = DecodeLxPoint(point.record);
    return {TrimmedPointId(point.record), EastLongitude(decoded.Longitude), decoded.Latitude, 0, 0};
  } catch (const KorvexaError& error) {
    throw KorvexaError(Quoted(fileName) + " line " + std::to_string(point.lineNumber) + ": " + error.what());
  }
}

double Median(std::vector<double> values) {
  std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2), values.end());
  return values[values.size() / 2];
}

// A point far from the others has lost its coordinates (a short record reads
// as 0 N 0 W) and would both stretch the drawing and move its UTM zone.
void RequirePointsTogether(const Township& township, const std::string& fileName) {
  std::vector<double> easts, norths;
  for (const TownshipPoint& point : township.points) {
    easts.push_back(point.east);
    norths.push_back(point.north);
  }
  const double middleEast = Median(std::move(easts));
  const double middleNorth = Median(std::move(norths));
  for (const TownshipPoint& point : township.points) {
    if (std::fabs(point.east - middleEast) > kMaxDegreesFromMiddle ||
        std::fabs(point.north - middleNorth) > kMaxDegreesFromMiddle) {
      throw KorvexaError(Quoted(fileName) + ": point " + point.id + " at " + NumberText(point.north) + " N " +
                         NumberText(WestLongitude(point.east)) + " W lies more than " +
                         NumberText(kMaxDegreesFromMiddle) + " degrees from the middle of the township (" +
                         NumberText(middleNorth) + " N " + NumberText(WestLongitude(middleEast)) +
                         " W); its coordinates are missing or wrong");
    }
  }
}

// The NAD27 UTM zone of the township's mean longitude.
int TownshipZone(const Township& township, const std::string& fileName) {
  double sum = 0;
  for (const TownshipPoint& point : township.points) sum += point.east;
  const double meanEast = sum / static_cast<double>(township.points.size());
  const std::optional<int> zone = Nad27UtmZone(meanEast);
  if (!zone) {
    throw KorvexaError(Quoted(fileName) + ": the township's mean longitude " +
                       NumberText(RoundDecimal(WestLongitude(meanEast), 7)) +
                       " W lies outside the NAD27 UTM zones 1 to 22 (180 W to 48 W), which the drawing needs");
  }
  return *zone;
}

void Project(Township& township, const std::string& fileName) {
  const UtmProjection projection(township.utmZone);
  for (TownshipPoint& point : township.points) {
    const std::optional<PlanePoint> plane = projection.Project(point.east, point.north);
    if (!plane) {
      throw KorvexaError(Quoted(fileName) + ": point " + point.id + " cannot be projected to " + projection.System());
    }
    point.x = plane->x;
    point.y = plane->y;
  }
}

// The segments between neighbours of each chain; a segment takes the
// reliability of its poorer end (the larger number; a tie keeps the first).
std::vector<TownshipSegment> Segments(const TownshipChains& chains) {
  std::vector<TownshipSegment> segments;
  for (const std::vector<ChainLink>& chain : chains.chains) {
    for (std::size_t i = 1; i < chain.size(); ++i) {
      const ChainLink& a = chain[i - 1];
      const ChainLink& b = chain[i];
      if (a.point == b.point) continue;  // no segment of zero length
      const bool bIsPoorer = LxVal(b.reliability) > LxVal(a.reliability);
      segments.push_back({a.point, b.point, std::string(bIsPoorer ? b.reliability : a.reliability)});
    }
  }
  return segments;
}

}  // namespace

Township ProjectTownship(std::string_view text, const std::string& fileName) {
  const TownshipChains chains = ReadChains(text);
  if (chains.points.empty()) throw KorvexaError(Quoted(fileName) + " holds no points to draw");
  Township township;
  for (const ChainPoint& point : chains.points) township.points.push_back(DecodePoint(point, fileName));
  RequirePointsTogether(township, fileName);
  township.utmZone = TownshipZone(township, fileName);
  Project(township, fileName);
  township.segments = Segments(chains);
  return township;
}

std::filesystem::path DrawingPath(const std::string& lxFile) {
  std::filesystem::path drawing(lxFile);
  drawing.replace_extension(".dxf");
  if (drawing == std::filesystem::path(lxFile))
    throw KorvexaError(Quoted(lxFile) + " is a drawing itself; give the .LX file");
  return drawing;
}

void WriteTownshipDrawing(const std::string& lxFile, bool byReliability) {
  const std::filesystem::path drawing = DrawingPath(lxFile);
  const Township township = ProjectTownship(ReadWholeFile(lxFile), lxFile);
  WriteDxfFile(drawing, township, byReliability);
}

}  // namespace korvexa
