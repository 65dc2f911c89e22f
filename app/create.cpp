#include "app/create.h"

#include <algorithm>
#include <iterator>
#include <memory>
#include <span>

#include "app/services.h"
#include "app/township_drawing.h"
#include "core/korvexa_error.h"
#include "core/lx_file.h"
#include "writers/atomic_file.h"
#include "writers/gpx_writer.h"
#include "writers/in_order_blocks.h"
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

// The ticked records that can be waypoints (their coordinates read once,
// here), and the others.
struct Selection {
  std::vector<Waypoint> waypoints;
  std::vector<LeftOutPoint> leftOut;
};

// Why `record` cannot be a waypoint, or nothing when `waypoint` holds it.
std::optional<std::string> ReadWaypoint(LxRecord record, OutputKind kind, Waypoint& waypoint) {
  try {
    waypoint = {record, ReadLxCoordinates(record)};
  } catch (const KorvexaError&) {
    return kCoordinateOutOfRange;
  }
  if (std::optional<std::string> why = WhyCoordinatesUnusable(ToLxPoint(record, waypoint.coordinates))) return why;
  return WhyElevationUnusable(record, ElevationColumn(kind));
}

// Writes the waypoints among points[first, last) to `waypoints` onwards and
// adds the left-out points to `leftOut`, in list order. Returns the number
// of waypoints written.
std::size_t SelectRange(const PointList& points, std::size_t first, std::size_t last, OutputKind kind,
                        Waypoint* waypoints, std::vector<LeftOutPoint>& leftOut) {
  Waypoint* next = waypoints;
  for (std::size_t i = first; i < last; ++i) {
    if (i + kPrefetchAhead < last) PrefetchRecord(points[i + kPrefetchAhead].line);
    const PointEntry& entry = points[i];
    if (!entry.ticked) continue;
    if (std::optional<std::string> why = ReadWaypoint(entry.line, kind, *next)) {
      leftOut.push_back({RecordName(entry.line), std::move(*why)});
    } else {
      ++next;
    }
  }
  return static_cast<std::size_t>(next - waypoints);
}

// With a helper, the second half of the list is read there, after the helper
// has readied itself for `transform`: its set-up then overlaps the first
// half instead of delaying the writer's first blocks. Both halves write into
// one list, room for every point, and the second half's waypoints then move
// down to follow the first's: a county file's waypoints are never held twice.
Selection SelectWaypoints(const PointList& points, OutputKind kind, HelperThread* helper,
                          const CoordinateTransform* transform) {
  Selection selection;
  std::vector<Waypoint>& waypoints = selection.waypoints;
  ReserveLarge(waypoints, points.size());
  waypoints.resize(points.size());
  if (helper == nullptr) {
    waypoints.resize(SelectRange(points, 0, points.size(), kind, waypoints.data(), selection.leftOut));
    return selection;
  }
  const std::size_t half = points.size() / 2;
  std::size_t firstCount = 0, secondCount = 0;
  std::vector<LeftOutPoint> secondLeftOut;
  RunSideBySide(
      *helper, [&] { firstCount = SelectRange(points, 0, half, kind, waypoints.data(), selection.leftOut); },
      [&] {
        if (transform != nullptr) transform->PrepareThread();
        secondCount = SelectRange(points, half, points.size(), kind, waypoints.data() + half, secondLeftOut);
      });
  const auto second = waypoints.begin() + static_cast<std::ptrdiff_t>(half);
  std::copy(second, second + static_cast<std::ptrdiff_t>(secondCount),
            waypoints.begin() + static_cast<std::ptrdiff_t>(firstCount));
  waypoints.resize(firstCount + secondCount);
  std::move(secondLeftOut.begin(), secondLeftOut.end(), std::back_inserter(selection.leftOut));
  return selection;
}

std::size_t WriteWaypoints(const std::filesystem::path& path, std::span<const Waypoint> waypoints, OutputKind kind,
                           const CoordinateTransform* transform, const Clock& clock, HelperThread* helper) {
  switch (kind) {
    case OutputKind::Pcx5:
      return WritePcx5File(path, waypoints, transform, clock, helper);
    case OutputKind::Gpx:
      return WriteGpxFile(path, waypoints, transform, clock, helper);
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
  std::unique_ptr<CoordinateTransform> transform;
  if (options.transform) transform = services.datum->DefineDatumPair();
  const std::unique_ptr<HelperThread> helper =
      HelperThreadFor(Threads::Automatic, points.size(), *services.clock, transform.get());
  Selection selection = SelectWaypoints(points, options.kind, helper.get(), transform.get());
  std::optional<PendingDrawing> drawing;
  if (options.drawing) drawing.emplace(fName, *services.converters);

  result.waypoints = WriteWaypoints(result.outputPath, selection.waypoints, options.kind, transform.get(),
                                    *services.clock, helper.get());
  result.leftOut = std::move(selection.leftOut);
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
