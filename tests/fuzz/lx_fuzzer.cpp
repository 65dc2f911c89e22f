// libFuzzer target: any bytes through File > Open's loader, the waypoint
// pipeline (with and without a shift), the PCX5 and GPX writers and the
// township drawing. A crash, a sanitizer report or a broken promise (a
// waypoint where no GPS can go) stops the fuzzer with the input that did it.
//
// Build with clang and run as README.md ("Fuzzing") says.
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/convert/township_drawing.h"
#include "app/convert/waypoints.h"
#include "core/coordinate_transform.h"
#include "core/korvexa_error.h"
#include "core/lx_file.h"
#include "writers/dxf_writer.h"
#include "writers/gpx_writer.h"
#include "writers/pcx5_writer.h"

namespace {

using namespace korvexa;

// Moves every point by a NADCON-sized step, west longitudes wrapped into
// [-180, 180) as PROJ returns them.
class SmallShift : public CoordinateTransform {
 public:
  void TransformPoint(double& longitude, double& latitude) const override {
    longitude = std::remainder(longitude - 0.0005, 360.0);
    latitude += 0.0001;
  }
  void InverseTransformPoint(double& longitude, double& latitude) const override {
    longitude += 0.0005;
    latitude -= 0.0001;
  }
};

void Require(bool promise) {
  if (!promise) std::abort();
}

// A folder of the fuzzer's own for the files it writes.
const std::filesystem::path& Folder() {
  static const std::filesystem::path folder = [] {
    std::string pattern = (std::filesystem::temp_directory_path() / "korvexa-fuzz-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    return std::filesystem::path(pattern);
  }();
  return folder;
}

void Convert(const PointList& points, const CoordinateTransform* transform) {
  static const FrozenClock clock(ClockReading{});
  WaypointList list;
  try {
    list = BuildWaypoints(points, transform, kGpxElevationColumn);
  } catch (const KorvexaError&) {
    return;  // a point the shift refuses stops Create, which then writes nothing
  }
  for (const Waypoint& waypoint : list.waypoints) {
    Require(std::isfinite(waypoint.position.latitude) && std::fabs(waypoint.position.latitude) <= 90);
    Require(std::isfinite(waypoint.position.longitude) && waypoint.position.longitude > -361);
    Require(waypoint.elevation >= -500 && waypoint.elevation <= 9000);
  }
  Require(list.waypoints.size() + list.leftOut.size() == points.size());
  WriteGpxFile(Folder() / "out.gpx", list.waypoints, clock);
  WritePcx5File(Folder() / "out.grm", list.waypoints, clock);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  if (!LooksLikeText(std::string_view(text).substr(0, kTextSampleSize))) return 0;  // refused by File > Open
  PointList points = MakePointList(ParseLxText(text));
  for (PointEntry& entry : points) entry.ticked = true;
  static const SmallShift shift;
  Convert(points, nullptr);
  Convert(points, &shift);
  static UtmProjections projections;
  try {
    const TownshipDrawing drawing = ProjectTownship(text, "fuzz.lx", projections);
    Require(!drawing.township.points.empty());
    DxfText(drawing.township, true);
  } catch (const KorvexaError&) {
    // A file that cannot be drawn says why.
  }
  return 0;
}
