#include "writers/gpx_track_writer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "core/korvexa_error.h"
#include "tests/support/golden_time.h"
#include "tests/support/golden.h"
#include "tests/support/gpx_schema.h"
#include "tests/support/temp_folder.h"

namespace korvexa {
namespace {

using testing::kDecember6;

TrackPoint Point(double latitude, double longitude, std::optional<double> elevation, int second, int milliseconds,
                 bool startsSegment = false) {
  TrackPoint point;
  point.latitude = latitude;
  point.longitude = longitude;
  point.elevation = elevation;
  point.utc = CivilTime{2026, 12, 6, 21, 3, second};
  point.milliseconds = milliseconds;
  point.startsSegment = startsSegment;
  return point;
}

// Two stretches (the fix was lost between them); a point without elevation,
// one without time, one at half a second, one at 180 E (GPX wants 180 W), a
// name that needs escaping.
TEST(GpxTrackWriterTest, GoldenFile) {
  std::vector<TrackPoint> points = {
      Point(35.0357822, -106.54456213, 1532.04, 0, 0, true), Point(35.03580, -106.5445400, std::nullopt, 1, 500),
      Point(35.0358722, -106.5444522, 1531.5, 7, 0, true), Point(-42.0, 180.0, 12.0, 8, 999)};
  points[3].utc.reset();
  testing::TempFolder folder;
  WriteGpxTrack(folder / "trail.gpx", "t12n.lx <east> & \xe9", points, kDecember6.utc);
  EXPECT_EQ(testing::GpxSchemaErrors(folder / "trail.gpx"), "");
  EXPECT_TRUE(
      testing::MatchesGolden(testing::ReadBytes(folder / "trail.gpx"), testing::TestData("trail~gpx-track.gpx")));
}

TEST(GpxTrackWriterTest, AnEmptyTrailIsAValidFile) {
  testing::TempFolder folder;
  WriteGpxTrack(folder / "trail.gpx", "t12n.lx", {}, kDecember6.utc);
  EXPECT_EQ(testing::GpxSchemaErrors(folder / "trail.gpx"), "");
}

class ImpossiblePointTest : public ::testing::TestWithParam<TrackPoint> {};

TEST_P(ImpossiblePointTest, IsRefusedAndTheOldFileStays) {
  testing::TempFolder folder;
  testing::WriteBytes(folder / "trail.gpx", "old");
  const std::vector<TrackPoint> points = {Point(35, -106.5, 1500, 0, 0), GetParam()};
  EXPECT_THROW(WriteGpxTrack(folder / "trail.gpx", "t12n.lx", points, kDecember6.utc), KorvexaError);
  EXPECT_EQ(testing::ReadBytes(folder / "trail.gpx"), "old");
  EXPECT_EQ(testing::ListFolder(folder.path()), "trail.gpx");
}

INSTANTIATE_TEST_SUITE_P(Points, ImpossiblePointTest,
                         ::testing::Values(Point(90.5, -106.5, 0, 0, 0), Point(-90.0001, -106.5, 0, 0, 0),
                                           Point(std::nan(""), -106.5, 0, 0, 0)));

}  // namespace
}  // namespace korvexa
