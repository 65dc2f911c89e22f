#include "app/convert/plss_township.h"

#include <algorithm>
#include <cmath>

#include "app/convert/plss_drawing.h"
#include "app/export/export_step.h"
#include "app/services.h"
#include "core/coordinate_transform.h"
#include "core/korvexa_error.h"
#include "core/lx_record.h"
#include "core/number_text.h"
#include "core/plss_id.h"
#include "core/usable_point.h"
#include "writers/dxf_writer.h"
#include "writers/gpx_writer.h"
#include "writers/kml_writer.h"
#include "writers/pcx5_writer.h"

namespace korvexa {
namespace {

// The writers take a corner's texts in Windows-1252, the code page of GCDB
// files; GDAL gives UTF-8. Characters beyond Latin-1 become "?".
std::string Windows1252(std::string_view utf8) {
  std::string text;
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const auto byte = static_cast<unsigned char>(utf8[i]);
    if (byte < 0x80) {
      text += static_cast<char>(byte);
      continue;
    }
    std::size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : 2;
    if ((byte & 0xE0) == 0xC0 && byte <= 0xC3 && i + 1 < utf8.size()) {
      text += static_cast<char>(((byte & 0x03) << 6) | (static_cast<unsigned char>(utf8[i + 1]) & 0x3F));
    } else {
      text += '?';
    }
    i += std::min(length, utf8.size() - i) - 1;
  }
  return text;
}

// The corner's name, with its township before it when `townships` holds several.
std::string CornerName(const PlssTownships& townships, const PlssCorner& corner) {
  if (townships.plssIds.size() <= 1) return corner.name;
  const std::optional<PlssId> id = DecodePlssId(corner.plssId);
  return (id ? PlssShortName(*id) : corner.plssId) + "-" + corner.name;
}

// The corner's position on NAD83, through `nad83` when the layer is NAD27.
GeoPosition Nad83Position(const PlssCorner& corner, const GeoPosition& position, const CoordinateTransform* nad83) {
  if (position.datum == Datum::Nad83) return position;
  if (!nad83) throw KorvexaError("the NAD27 corners need the NAD27 to NAD83 grids");
  double longitude = position.longitude, latitude = position.latitude;
  try {
    nad83->TransformPoint(longitude, latitude);
  } catch (const KorvexaError& error) {
    throw KorvexaError("point " + corner.name + " " + error.what());
  }
  return {Datum::Nad83, longitude, latitude};
}

// Why `corner` cannot be a waypoint, or nothing.
std::optional<std::string> WhyUnusable(const PlssCorner& corner) {
  if (corner.name.empty()) return "no POINTLAB or POINTID";
  if (!corner.position) return "no point";
  if (std::fabs(corner.position->latitude) > 90) return "latitude beyond 90 degrees";
  if (!corner.elevationFeet) return "no elevation";
  return WhyElevationUnusable(std::round(*corner.elevationFeet * kMetresPerUsSurveyFoot));
}

// Writes the drawing beside the waypoint file at `path`; says why not in a notice.
std::string DrawingStep(const PlssTownships& townships, std::span<const Waypoint> corners,
                        const std::filesystem::path& path, ExportResult& result) {
  std::filesystem::path drawing = path;
  drawing.replace_extension(".dxf");
  try {
    WriteDxfFile(drawing, PlssDrawing(townships, corners), false);
  } catch (const KorvexaError& error) {
    result.notices.push_back({true, "the drawing " + drawing.filename().string() + " was not made: " + error.what()});
    return "created; the drawing was not";
  }
  return "created with the drawing " + drawing.filename().string();
}

}  // namespace

PlssTownships ReadPlssTownships(PlssLayer& layer, std::span<const std::string> plssIds) {
  if (plssIds.empty()) throw KorvexaError("no township is chosen");
  PlssTownships read;
  read.plssIds.assign(plssIds.begin(), plssIds.end());
  read.corners = layer.Corners(plssIds);
  std::string missing;
  for (const std::string& plssId : plssIds) {
    const bool held = std::any_of(read.corners.begin(), read.corners.end(),
                                  [&](const PlssCorner& corner) { return corner.plssId == plssId; });
    if (!held) missing += (missing.empty() ? "" : ", ") + plssId;
  }
  if (!missing.empty()) {
    throw KorvexaError(missing +
                       (missing.find(',') == std::string::npos ? " is not a township" : " are not townships") +
                       " of the layer " + layer.LayerName());
  }
  read.datum = layer.GeographicDatum();
  read.datumNotice = layer.DatumNotice();
  read.sectionLines = layer.SectionLines(plssIds);
  return read;
}

WaypointList PlssWaypoints(const PlssTownships& townships, const std::vector<bool>& ticked,
                           const CoordinateTransform* nad83) {
  WaypointList list;
  for (std::size_t i = 0; i < townships.corners.size(); ++i) {
    if (!ticked.empty() && !ticked[i]) continue;
    const PlssCorner& corner = townships.corners[i];
    const std::string name = CornerName(townships, corner);
    if (std::optional<std::string> why = WhyUnusable(corner)) {
      list.leftOut.push_back({name.empty() ? corner.plssId + " (no name)" : name, std::move(*why)});
      continue;
    }
    Waypoint waypoint;
    waypoint.name = Windows1252(name);
    waypoint.position = Nad83Position(corner, *corner.position, nad83);
    waypoint.elevationFeet = *corner.elevationFeet;
    waypoint.elevation = std::round(*corner.elevationFeet * kMetresPerUsSurveyFoot);
    waypoint.reliability = Windows1252(corner.reliability);
    list.waypoints.push_back(std::move(waypoint));
  }
  return list;
}

PointList PlssListEntries(const PlssTownships& townships) {
  PointList entries;
  for (const PlssCorner& corner : townships.corners) {
    std::string line = Windows1252(CornerName(townships, corner));
    line.resize(std::max<std::size_t>(line.size(), 14), ' ');
    if (corner.position) {
      line +=
          "  " + NumberText(std::fabs(corner.position->latitude)) + (corner.position->latitude < 0 ? " S  " : " N  ");
      line += NumberText(std::fabs(corner.position->longitude)) + (corner.position->longitude < 0 ? " W" : " E");
      if (corner.position->datum == Datum::Nad27) line += " NAD27";
    } else {
      line += "  (no point)";
    }
    if (corner.elevationFeet) line += "  " + NumberText(*corner.elevationFeet) + " ft";
    if (!corner.reliability.empty()) line += "  " + Windows1252(corner.reliability);
    entries.Add(line, false);
  }
  return entries;
}

WaypointList PlssNad83Waypoints(const PlssTownships& townships, const std::vector<bool>& ticked, Services& services) {
  std::unique_ptr<CoordinateTransform> nad83;
  if (townships.datum == Datum::Nad27) nad83 = services.datum->DefineDatumPair();
  return PlssWaypoints(townships, ticked, nad83.get());
}

std::string PlssOutputName(std::span<const std::string> plssIds, std::string_view extension) {
  std::string name;
  for (const std::string& plssId : plssIds) name += (name.empty() ? "" : "_") + plssId;
  return name + std::string(extension);
}

ExportResult ExportPlssTownships(const PlssTownships& townships, const std::vector<bool>& ticked,
                                 const PlssExportOptions& options, Services& services, GridSystems* grids) {
  if (options.format == PlssFormat::Pcx5 && (townships.plssIds.size() > 1 || !options.namePrefix.empty())) {
    throw KorvexaError(
        "a PCX5 file holds the corners of one township without a name prefix: its names hold six characters");
  }
  WaypointList corners = PlssNad83Waypoints(townships, ticked, services);
  if (options.format == PlssFormat::Csv) {
    if (!grids) throw KorvexaError("a CSV file needs the grids");
    CsvExportOptions csv = options.csv;
    csv.transform = true;
    csv.namePrefix = options.namePrefix;
    return ExportCsv(options.outputPath, std::move(corners), csv, *grids);
  }
  const std::filesystem::path path = std::filesystem::absolute(options.outputPath);
  return RunExport(
      std::move(corners), {options.namePrefix, false}, [&](const FinishedWaypoints& finished, ExportResult& result) {
        result.outputPath = path;
        switch (options.format) {
          case PlssFormat::Gpx:
            WriteGpxFile(path, finished.waypoints, *services.clock);
            break;
          case PlssFormat::Pcx5: {
            // Its columns hold 7 decimals of a degree (1 cm), as an LX file's corners have.
            std::vector<Waypoint> columns(finished.waypoints.begin(), finished.waypoints.end());
            for (Waypoint& waypoint : columns) {
              waypoint.position.latitude = RoundDecimal(waypoint.position.latitude, 7);
              waypoint.position.longitude = RoundDecimal(waypoint.position.longitude, 7);
            }
            WritePcx5File(path, columns, *services.clock);
            break;
          }
          default: {
            std::vector<KmlLine> lines;
            if (townships.sectionLines && townships.datum == Datum::Nad83) lines = *townships.sectionLines;
            WriteKmlFile(path, PlssOutputName(townships.plssIds, ""), finished.waypoints, lines);
            result.summary = std::to_string(lines.size()) + (lines.size() == 1 ? " section line" : " section lines") +
                             ", positions NAD83, taken as WGS 84";
            return "created with " + result.summary;
          }
        }
        if (!options.drawing) return std::string("created");
        return DrawingStep(townships, finished.waypoints, path, result);
      });
}

}  // namespace korvexa
