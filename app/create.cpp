#include "app/create.h"

#include <memory>
#include <span>

#include "app/services.h"
#include "core/korvexa_error.h"
#include "writers/gpx_writer.h"
#include "writers/pcx5_writer.h"

namespace korvexa {
namespace {

constexpr std::size_t kCutFromTitle = 3;

const char* Extension(OutputKind kind) {
  return kind == OutputKind::Pcx5 ? ".grm" : ".gpx";
}

std::size_t WriteWaypoints(const std::filesystem::path& path, std::span<const LxRecord> records, OutputKind kind,
                           const CoordinateTransform* transform, const Clock& clock) {
  switch (kind) {
    case OutputKind::Pcx5:
      return WritePcx5File(path, records, transform, clock);
    case OutputKind::Gpx:
      return WriteGpxFile(path, records, transform, clock);
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

CreateResult RunCreate(const std::string& fName, const PointList& points, const CreateOptions& options,
                       Services& services) {
  CreateResult result;
  result.outputPath = std::filesystem::absolute(OutputName(fName, options.kind));

  std::unique_ptr<CoordinateTransform> transform;
  if (options.transform) transform = services.datum->DefineDatumPair();
  if (options.drawing) services.converters->DrawTownship(fName);

  result.waypoints =
      WriteWaypoints(result.outputPath, TickedRecords(points), options.kind, transform.get(), *services.clock);
  result.status = options.drawing ? "Files created." : "File created.";
  return result;
}

}  // namespace korvexa
