#include "app/convert/create.h"

#include <algorithm>
#include <memory>
#include <span>

#include "app/convert/township_drawing.h"
#include "app/services.h"
#include "core/korvexa_error.h"
#include "core/longitude.h"
#include "core/lx_file.h"
#include "core/number_text.h"
#include "transform/geodesic.h"
#include "writers/atomic_file.h"
#include "writers/gpx_writer.h"
#include "writers/pcx5_writer.h"

namespace korvexa {
namespace {

void WriteWaypoints(const std::filesystem::path& path, std::span<const Waypoint> waypoints, OutputKind kind,
                    const Clock& clock) {
  switch (kind) {
    case OutputKind::Pcx5:
      return WritePcx5File(path, waypoints, clock);
    case OutputKind::Gpx:
      return WriteGpxFile(path, waypoints, clock);
  }
  throw KorvexaError("unknown output kind");
}

// The drawing of one Create: the converter draws into a temporary file beside
// the drawing's name while the waypoints are written; the drawing takes its
// name only after the waypoint file. Destroyed unfinished, it waits for the
// converter and removes the temporary file.
class PendingDrawing {
 public:
  PendingDrawing(const std::string& fName, Converters& converters) {
    try {
      name_ = DrawingPath(fName).string();
      file_.emplace(std::filesystem::absolute(name_));
      // The whole path: a drawing name that links into another folder has
      // its temporary file there.
      job_ = converters.StartDrawing(fName, file_->TemporaryPath().string());
    } catch (const KorvexaError& error) {
      failure_ = error.what();
    }
  }

  const std::string& Name() const { return name_; }

  // Waits for the converter and gives the drawing its name.
  DrawingOutcome Finish() {
    if (failure_) return {false, *failure_};
    DrawingOutcome outcome = job_->Wait();
    if (!outcome.drawn) return outcome;
    try {
      file_->Commit();
    } catch (const KorvexaError& error) {
      return {false, error.what()};
    }
    return outcome;
  }

 private:
  std::string name_;
  std::optional<std::string> failure_;
  std::optional<AtomicFile> file_;
  std::unique_ptr<DrawingJob> job_;  // destroyed (waited for) before the file is discarded
};

// The places where the NADCON shift of a township is measured: the middle
// and the four corners of the box of `waypoints` (NAD27), which lie within a
// few degrees of one another; the shift changes slowly and evenly over such
// an area, so its largest value over the waypoints is that of these places.
std::vector<GeoPosition> ShiftSamples(std::span<const Waypoint> waypoints) {
  const double reference = waypoints.front().position.longitude;
  double west = reference, east = reference;
  double south = waypoints.front().position.latitude, north = south;
  for (const Waypoint& waypoint : waypoints) {
    const double longitude = NearestTurn(waypoint.position.longitude, reference);
    west = std::min(west, longitude);
    east = std::max(east, longitude);
    south = std::min(south, waypoint.position.latitude);
    north = std::max(north, waypoint.position.latitude);
  }
  return {{Datum::Nad27, (west + east) / 2, (south + north) / 2},
          {Datum::Nad27, west, south},
          {Datum::Nad27, east, south},
          {Datum::Nad27, west, north},
          {Datum::Nad27, east, north}};
}

// How far the NADCON shift moves the NAD27 `waypoints`, at most, in metres;
// nothing when the grids are missing or hold none of the places measured.
std::optional<double> LargestNadconShift(std::span<const Waypoint> waypoints, DatumLibrary& datum) {
  std::unique_ptr<CoordinateTransform> transform;
  try {
    transform = datum.DefineDatumPair();
  } catch (const KorvexaError&) {
    return std::nullopt;
  }
  const Geodesic grs80(Datum::Nad83);
  std::optional<double> largest;
  for (const GeoPosition& place : ShiftSamples(waypoints)) {
    // A GPS reads the NAD27 numbers as its own datum's: it puts the corner
    // that far from its NAD83 place.
    GeoPosition nad83{Datum::Nad83, place.longitude, place.latitude};
    const GeoPosition asRead = nad83;
    try {
      transform->TransformPoint(nad83.longitude, nad83.latitude);
    } catch (const KorvexaError&) {
      continue;  // outside the grids: no shift to measure
    }
    const double metres = grs80.Inverse(asRead, nad83).metres;
    largest = std::max(largest.value_or(0.0), metres);
  }
  return largest;
}

// What the converter said of the drawing: why it failed, or its warnings.
void AppendDrawingNotices(CreateResult& result) {
  const std::vector<std::string_view> lines = SplitLines(result.drawing->messages);
  if (!result.drawing->drawn) {
    std::string reason;
    for (const std::string_view line : lines) reason += (reason.empty() ? "" : "; ") + std::string(line);
    result.notices.push_back({true, "the drawing " + result.drawingName + " was not made: " + reason});
    return;
  }
  for (const std::string_view line : lines) {
    result.notices.push_back({false, "the drawing " + result.drawingName + ": " + std::string(line)});
  }
}

std::string StatusText(const CreateResult& result) {
  std::string status = !result.drawing         ? "File created"
                       : result.drawing->drawn ? "Files created"
                                               : "File created; the drawing was not";
  if (result.nad27) {
    status +=
        result.drawing && result.drawing->drawn ? "; the waypoints' positions are NAD27" : "; its positions are NAD27";
    status += ", which a GPS reads as WGS 84";
  }
  status += '.';
  AppendLeftOutCount(status, result.leftOut.size());
  return status;
}

}  // namespace

std::string OutputName(const std::string& fName, OutputKind kind) {
  return OutputNameOf(fName, kind == OutputKind::Pcx5 ? ".grm" : ".gpx");
}

CreateResult RunCreate(const std::string& fName, const PointList& points, const CreateOptions& options,
                       Services& services) {
  return RunCreateTo(OutputName(fName, options.kind), fName, points, options, services);
}

CreateResult RunCreateTo(const std::filesystem::path& outputPath, const std::string& fName, const PointList& points,
                         CreateOptions options, Services& services) {
  if (options.kind == OutputKind::Pcx5 && !options.naming.prefix.empty()) {
    throw KorvexaError("a name prefix cannot be used in a PCX5 file, whose names hold six characters");
  }
  CreateResult result;
  if (outputPath != OutputName(fName, options.kind)) options.drawing = false;
  result.nad27 = !options.transform;
  std::optional<PendingDrawing> drawing;
  static_cast<ExportResult&>(result) = RunExport(
      points, options.transform ? Datum::Nad83 : Datum::Nad27,
      options.kind == OutputKind::Pcx5 ? kPcx5ElevationColumn : kGpxElevationColumn, options.naming, services,
      [&](const FinishedWaypoints& finished, ExportResult& written) {
        written.outputPath = outputPath;
        if (options.drawing) drawing.emplace(fName, *services.converters);
        WriteWaypoints(std::filesystem::absolute(outputPath), finished.waypoints, options.kind, *services.clock);
        if (result.nad27 && options.measureNad27Error) {
          result.nad27ErrorMetres = LargestNadconShift(finished.waypoints, *services.datum);
        }
        return std::string();
      });
  if (drawing) {
    result.drawingName = drawing->Name();
    result.drawing = drawing->Finish();
    AppendDrawingNotices(result);
  }
  result.status = StatusText(result);
  return result;
}

std::optional<std::string> DatumWarning(const CreateResult& result) {
  if (!result.nad27 || result.waypoints == 0) return std::nullopt;
  std::string text = result.outputPath.filename().string() + " holds NAD27 positions, which a GPS reads as WGS 84";
  if (result.nad27ErrorMetres) {
    text += ": it shows the corners up to " + NumberText(RoundDecimal(*result.nad27ErrorMetres, 0)) +
            " m from where they are (the largest NAD27 to NAD83 shift among them)";
  } else {
    text += ": it shows the corners some metres from where they are";
  }
  return text;
}

}  // namespace korvexa
