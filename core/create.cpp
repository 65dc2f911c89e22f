#include "create.h"

#include <memory>

#include "gpx_writer.h"
#include "korvexa_error.h"
#include "pcx5_writer.h"
#include "services.h"

namespace korvexa {
namespace {

constexpr std::size_t kCutFromTitle = 3;

const char* Extension(OutputKind kind) {
  return kind == OutputKind::Pcx5 ? ".grm" : ".gpx";
}

// Every option must be available before anything runs or is written.
void RequireServices(const CreateOptions& options, const Services& services) {
  if (options.transform && !services.datum) {
    throw KorvexaError("the NAD27 to NAD83 transformation is not available yet; untick it to write NAD27 coordinates");
  }
  if (options.drawing && !services.converters) {
    throw KorvexaError("the DXF drawing is not available yet; untick it to write the waypoint file alone");
  }
}

std::size_t WriteWaypoints(const std::filesystem::path& path, const PointList& points, OutputKind kind,
                           const CoordinateTransform* transform, const Clock& clock) {
  switch (kind) {
    case OutputKind::Pcx5:
      return WritePcx5File(path, points, transform, clock);
    case OutputKind::Gpx:
      return WriteGpxFile(path, points, transform, clock);
  }
  throw KorvexaError("unknown output kind");
}

}  // namespace

std::string OutputName(const std::string& fName, OutputKind kind) {
  if (fName.size() < kCutFromTitle) {
    throw KorvexaError("cannot name the output file: the file title \"" + fName +
                       "\" is shorter than three characters (open a .LX file first)");
  }
  return fName.substr(0, fName.size() - kCutFromTitle) + Extension(kind);
}

CreateResult RunCreate(const std::string& fName, const std::filesystem::path& folder, const PointList& points,
                       const CreateOptions& options, Services& services) {
  CreateResult result;
  result.outputPath = folder / OutputName(fName, options.kind);
  RequireServices(options, services);

  std::unique_ptr<CoordinateTransform> transform;
  if (options.transform) transform = services.datum->DefineDatumPair();
  if (options.drawing) services.converters->DrawTownship(fName);

  result.waypoints = WriteWaypoints(result.outputPath, points, options.kind, transform.get(), *services.clock);
  result.status = options.drawing ? "Files created." : "File created.";
  return result;
}

}  // namespace korvexa
