#include "app/export/kml_export.h"

#include <memory>
#include <optional>
#include <vector>

#include "app/export/export_step.h"
#include "app/services.h"
#include "core/chains.h"
#include "core/coordinate_transform.h"
#include "core/usable_point.h"

namespace korvexa {
namespace {

// Each point of the chains at its NAD83 position, or nothing when the rule
// of every output leaves it out.
std::vector<std::optional<GeoPosition>> Nad83Positions(const TownshipChains& chains, const CoordinateTransform& nad83) {
  const JudgedTownship judged =
      JudgeTownship(chains.points.size(), [&chains](std::size_t i) { return chains.points[i].record; });
  std::vector<std::optional<GeoPosition>> positions(chains.points.size());
  for (std::size_t i = 0; i < positions.size(); ++i) {
    if (judged.usable[i]) {
      positions[i] = LxPosition(MovedLxPoint(chains.points[i].record, judged.points[i], nad83), Datum::Nad83);
    }
  }
  return positions;
}

// The surveyed lines of the whole file's `text`, NAD83 through `nad83`: each
// chain's corners with usable coordinates and within 3 degrees of the middle
// of the township, in file order; a chain is broken where a corner is left
// out, and a piece of fewer than two corners is no line.
std::vector<KmlLine> SurveyedLines(std::string_view text, const CoordinateTransform& nad83) {
  const TownshipChains chains = ReadChains(text);
  const std::vector<std::optional<GeoPosition>> positions = Nad83Positions(chains, nad83);
  std::vector<KmlLine> lines;
  KmlLine piece;
  auto endPiece = [&] {
    if (piece.size() >= 2) lines.push_back(std::move(piece));
    piece.clear();
  };
  for (std::size_t c = 0; c < chains.ChainCount(); ++c) {
    std::optional<std::uint32_t> previous;
    for (const ChainLink& link : chains.Chain(c)) {
      if (!positions[link.point]) {
        endPiece();
      } else if (link.point != previous) {
        piece.push_back(*positions[link.point]);
      }
      previous = positions[link.point] ? std::optional(link.point) : std::nullopt;
    }
    endPiece();
  }
  return lines;
}

}  // namespace

ExportResult ExportKml(const std::filesystem::path& path, const std::string& fName, const PointList& points,
                       std::string_view text, const NamingRule& naming, Services& services) {
  return RunExport(points, Datum::Nad83, kGpxElevationColumn, naming, services,
                   [&](const FinishedWaypoints& finished, ExportResult& result) {
                     const std::vector<KmlLine> lines = SurveyedLines(text, *finished.nad83);
                     result.outputPath = path;
                     WriteKmlFile(std::filesystem::absolute(path), fName, finished.waypoints, lines);
                     result.summary = std::to_string(lines.size()) + (lines.size() == 1 ? " line" : " lines") +
                                      ", positions NAD83 from the NADCON grids, taken as WGS 84";
                     return "created with " + result.summary;
                   });
}

}  // namespace korvexa
