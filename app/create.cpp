#include "app/create.h"

#include <memory>
#include <span>

#include "app/services.h"
#include "app/township_drawing.h"
#include "app/waypoints.h"
#include "core/korvexa_error.h"
#include "core/lx_file.h"
#include "writers/atomic_file.h"
#include "writers/gpx_writer.h"
#include "writers/pcx5_writer.h"

namespace korvexa {
namespace {

constexpr std::size_t kCutFromTitle = 3;

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
      job_ = converters.StartDrawing(fName, file_->TemporaryPath().filename().string());
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

std::string StatusText(const CreateResult& result) {
  std::string status = !result.drawing         ? "File created."
                       : result.drawing->drawn ? "Files created."
                                               : "File created; the drawing was not.";
  if (!result.leftOut.empty()) {
    status += ' ';
    status += std::to_string(result.leftOut.size());
    status += result.leftOut.size() == 1 ? " point left out." : " points left out.";
  }
  return status;
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

}  // namespace

std::string OutputName(const std::string& fName, OutputKind kind) {
  if (fName.size() <= kCutFromTitle) {
    throw KorvexaError("cannot name the output file: the file title \"" + fName +
                       "\" leaves no name before the extension (open a .LX file first)");
  }
  return fName.substr(0, fName.size() - kCutFromTitle) + Extension(kind);
}

CreateResult RunCreate(const std::string& fName, const PointList& points, const CreateOptions& options,
                       Services& services) {
  CreateResult result;
  result.outputPath = std::filesystem::absolute(OutputName(fName, options.kind));
  std::optional<PendingDrawing> drawing;
  {
    std::unique_ptr<CoordinateTransform> transform;
    if (options.transform) transform = services.datum->DefineDatumPair();
    WaypointList list = BuildWaypoints(points, transform.get(), ElevationColumn(options.kind));
    if (options.drawing) drawing.emplace(fName, *services.converters);
    WriteWaypoints(result.outputPath, list.waypoints, options.kind, *services.clock);
    result.waypoints = list.waypoints.size();
    result.leftOut = std::move(list.leftOut);
  }
  if (drawing) {
    result.drawingName = drawing->Name();
    result.drawing = drawing->Finish();
  }
  result.status = StatusText(result);
  return result;
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
