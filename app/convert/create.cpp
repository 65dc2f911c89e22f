#include "app/convert/create.h"

#include <algorithm>
#include <memory>
#include <span>

#include "app/navigate/geodesic.h"
#include "app/services.h"
#include "app/convert/township_drawing.h"
#include "app/convert/waypoints.h"
#include "core/korvexa_error.h"
#include "core/longitude.h"
#include "core/lx_file.h"
#include "core/number_text.h"
#include "writers/atomic_file.h"
#include "writers/gpx_writer.h"
#include "writers/pcx5_writer.h"

namespace korvexa {
namespace {

const char* Extension(OutputKind kind) {
  return kind == OutputKind::Pcx5 ? ".grm" : ".gpx";
}

int ElevationColumn(OutputKind kind) {
  return kind == OutputKind::Pcx5 ? kPcx5ElevationColumn : kGpxElevationColumn;
}

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

// How far the NADCON shift moves the farthest moved of `waypoints` (NAD27),
// in metres; nothing when the grids are missing or move none of them.
std::optional<double> LargestNadconShift(std::span<const Waypoint> waypoints, DatumLibrary& datum) {
  std::unique_ptr<CoordinateTransform> transform;
  try {
    transform = datum.DefineDatumPair();
  } catch (const KorvexaError&) {
    return std::nullopt;
  }
  std::optional<double> largest;
  for (const Waypoint& waypoint : waypoints) {
    const double given = EastLongitude(waypoint.point.Longitude);
    double longitude = given, latitude = waypoint.point.Latitude;
    try {
      transform->TransformPoint(longitude, latitude);
    } catch (const KorvexaError&) {
      continue;  // outside the grids: no shift to measure
    }
    const double metres = GeodesicInverse(given, waypoint.point.Latitude, longitude, latitude).metres;
    largest = std::max(largest.value_or(0.0), metres);
  }
  return largest;
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

void AppendLeftOutCount(std::string& status, std::size_t leftOut) {
  if (leftOut == 0) return;
  status += ' ';
  status += std::to_string(leftOut);
  status += leftOut == 1 ? " point left out." : " points left out.";
}

std::string LeftOutText(const std::vector<LeftOutPoint>& leftOut) {
  std::string text = leftOut.size() == 1
                         ? "1 ticked point without usable coordinates was left out: "
                         : std::to_string(leftOut.size()) + " ticked points without usable coordinates were left out: ";
  for (std::size_t i = 0; i < leftOut.size(); ++i) {
    text += (i > 0 ? ", " : "") + leftOut[i].name + " (" + leftOut[i].reason + ")";
  }
  return text;
}

std::string OutputName(const std::string& fName, OutputKind kind) {
  return OutputNameOf(fName, Extension(kind));
}

CreateResult RunCreate(const std::string& fName, const PointList& points, const CreateOptions& options,
                       Services& services) {
  return RunCreateTo(OutputName(fName, options.kind), fName, points, options, services);
}

CreateResult RunCreateTo(const std::filesystem::path& outputPath, const std::string& fName, const PointList& points,
                         CreateOptions options, Services& services) {
  CreateResult result;
  result.outputPath = std::filesystem::absolute(outputPath);
  if (outputPath != OutputName(fName, options.kind)) options.drawing = false;
  std::optional<PendingDrawing> drawing;
  {
    std::unique_ptr<CoordinateTransform> transform;
    if (options.transform) transform = services.datum->DefineDatumPair();
    WaypointList list = BuildWaypoints(points, transform.get(), ElevationColumn(options.kind));
    if (options.drawing) drawing.emplace(fName, *services.converters);
    WriteWaypoints(result.outputPath, list.waypoints, options.kind, *services.clock);
    result.waypoints = list.waypoints.size();
    result.leftOut = std::move(list.leftOut);
    result.nad27 = !options.transform;
    if (result.nad27 && options.measureNad27Error) {
      result.nad27ErrorMetres = LargestNadconShift(list.waypoints, *services.datum);
    }
  }
  if (drawing) {
    result.drawingName = drawing->Name();
    result.drawing = drawing->Finish();
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

std::vector<CreateNotice> CreateNotices(const CreateResult& result) {
  std::vector<CreateNotice> notices;
  if (!result.leftOut.empty()) notices.push_back({false, LeftOutText(result.leftOut)});
  if (!result.drawing) return notices;
  const std::vector<std::string_view> lines = SplitLines(result.drawing->messages);
  if (!result.drawing->drawn) {
    std::string reason;
    for (const std::string_view line : lines) {
      if (!reason.empty()) reason += "; ";
      reason += line;
    }
    notices.push_back({true, "the drawing " + result.drawingName + " was not made: " + reason});
  } else {
    for (const std::string_view line : lines) {
      notices.push_back({false, "the drawing " + result.drawingName + ": " + std::string(line)});
    }
  }
  return notices;
}

}  // namespace korvexa
