#include "app/convert/waypoints.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <optional>
#include <vector>

#include "app/convert/township_drawing.h"
#include "core/coordinate_transform.h"
#include "core/korvexa_error.h"
#include "core/longitude.h"
#include "tests/support/records.h"

namespace korvexa {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

constexpr const char* kAlbuquerque = " 100100 350712.3456 1064530.0000     1000";  // 35.120096 N 106.7583333 W

// Notes every point it is given and moves it as `move` says (by default
// 0.0005 degree west and 0.0001 north).
class RecordingShift : public CoordinateTransform {
 public:
  void TransformPoint(double& longitude, double& latitude) const override {
    given.push_back({longitude, latitude});
    if (move) {
      move(longitude, latitude);
    } else {
      longitude -= 0.0005;
      latitude += 0.0001;
    }
  }
  void InverseTransformPoint(double&, double&) const override {}

  mutable std::vector<std::pair<double, double>> given;
  std::function<void(double&, double&)> move;
};

// "latitude longitude elevation" of each waypoint, or "left out: <name> (<reason>)".
std::vector<std::string> Built(const PointList& points, const CoordinateTransform* transform,
                               int elevationColumn = kGpxElevationColumn) {
  const WaypointList list = BuildWaypoints(points, transform, elevationColumn);
  std::vector<std::string> built;
  for (const Waypoint& waypoint : list.waypoints) {
    // West magnitudes, as the records give them.
    built.push_back(std::string(TrimBlanks(waypoint.name)) + " " + std::to_string(waypoint.position.latitude) + " " +
                    std::to_string(-waypoint.position.longitude) + " " + std::to_string(waypoint.elevation));
  }
  for (const LeftOutPoint& point : list.leftOut) built.push_back("left out: " + point.name + " (" + point.reason + ")");
  return built;
}

TEST(BuildWaypointsTest, OnlyTheTickedRecordsInListOrder) {
  const PointList points = {{" 000003 370000.0000 1080000.0000     1000", true},
                            {" 000001 350000.0000 1060000.0000     1000", false},
                            {" 000002 360000.0000 1070000.0000    -1000", true}};
  EXPECT_THAT(Built(points, nullptr),
              ElementsAre("000003 37.000000 108.000000 305.000000", "000002 36.000000 107.000000 -305.000000"));
}

TEST(BuildWaypointsTest, TheElevationComesFromTheColumnAsked) {
  const PointList points = testing::Ticked({" 000001 350000.0000 1060000.0000 -   1000"});  // a minus in column 34
  EXPECT_THAT(Built(points, nullptr, kGpxElevationColumn), ElementsAre(HasSubstr(" -305.000000")));
  EXPECT_THAT(Built(points, nullptr, kPcx5ElevationColumn), ElementsAre(HasSubstr(" 305.000000")));
}

// The points left out never reach the transformation; every other ticked
// point reaches it once, west negative, in list order.
TEST(BuildWaypointsTest, EachUsablePointIsShiftedOnceAndTheOthersNever) {
  RecordingShift shift;
  const PointList points =
      testing::Ticked({" 000001 350000.0000 1060000.0000     1000", " 000002",
                       " 000003 360000.0000 1070000.0000    40000", " 000004 370000.0000 1080000.0000     1000"});
  EXPECT_THAT(Built(points, &shift),
              ElementsAre("000001 35.000100 106.000500 305.000000", "000004 37.000100 108.000500 305.000000",
                          "left out: 000002 (no coordinates)",
                          "left out: 000003 (elevation 12192 m beyond any place on Earth)"));
  EXPECT_THAT(shift.given, ElementsAre(std::pair(-106.0, 35.0), std::pair(-108.0, 37.0)));
}

// A library may hand a longitude back with either sign, and a longitude past
// 180 W wrapped into [-180, 180): the waypoint keeps the magnitude on the
// turn of the record's own longitude.
TEST(BuildWaypointsTest, TheSignAndTurnOfTheReturnedLongitudeDoNotMatter) {
  struct Case {
    const char* record;
    std::function<void(double&, double&)> move;
    const char* built;
  };
  const Case cases[] = {
      {kAlbuquerque, [](double& x, double&) { x = -(x - 0.0005); }, "100100 35.120096 106.758833 305.000000"},
      {" 200100 520000.0000 1871800.0000      100", [](double& x, double&) { x = x + 360 - 0.0005; },
       "200100 52.000000 187.300500 30.000000"},
      {" 200100 520000.0000 1871800.0000      100", [](double& x, double&) { x = -(x + 360 - 0.0005); },
       "200100 52.000000 187.300500 30.000000"},
  };
  for (const Case& c : cases) {
    RecordingShift shift;
    shift.move = c.move;
    EXPECT_THAT(Built(testing::Ticked({c.record}), &shift), ElementsAre(c.built)) << c.record;
  }
}

// What no NADCON shift returns stops the run, naming the point, and so does
// a point the transformation refuses.
TEST(BuildWaypointsTest, AnImplausibleOrRefusedShiftIsAnErrorNamingThePoint) {
  struct Case {
    const char* name;
    std::function<void(double&, double&)> move;
    const char* message;
  };
  const Case cases[] = {
      {"Infinity", [](double&, double& y) { y = HUGE_VAL; },
       "cannot be moved from NAD27 to NAD83: the transformation library returned no valid coordinates"},
      {"NaN", [](double& x, double&) { x = std::nan(""); },
       "cannot be moved from NAD27 to NAD83: the transformation library returned no valid coordinates"},
      {"BeyondThePole", [](double&, double& y) { y = 90.5; },
       "cannot be moved from NAD27 to NAD83: the transformation library returned no valid coordinates"},
      {"FarAway", [](double&, double& y) { y = 36; },
       "cannot be moved from NAD27 to NAD83: the transformation library moved it by more than 0.01 degree, which no "
       "NADCON shift does"},
      {"Refused",
       [](double& x, double& y) {
         throw KorvexaError("at " + PositionText(x, y) + " lies outside the NAD27 to NAD83 grids");
       },
       "lies outside the NAD27 to NAD83 grids"},
  };
  for (const Case& c : cases) {
    RecordingShift shift;
    shift.move = c.move;
    EXPECT_THAT(
        [&] {
          BuildWaypoints(testing::Ticked({" 000001 350000.0000 1060000.0000", kAlbuquerque}), &shift,
                         kGpxElevationColumn);
        },
        ::testing::ThrowsMessage<KorvexaError>(
            ::testing::StartsWith(std::string("point 000001 at 35.0000000 N 106.0000000 W ") + c.message)))
        << c.name;
  }
}

// Records without a position a GPS can go to are left out of the waypoints,
// with or without the transformation (which never sees them), and out of the
// drawing, for the same reason.
TEST(BuildWaypointsTest, TheWaypointsAndTheDrawingLeaveOutTheSamePoints) {
  struct Case {
    const char* record;
    const char* reason;
  };
  const Case cases[] = {
      {" 900001            1064530.0000     1000", "no latitude"},
      {" 900002 350712.3456                 1000", "no longitude"},
      {" 900003                             1000", "no coordinates"},
      {" 900004 350712.3456 1174530.0000     1000",
       "at 35.120096 N 117.7583333 W lies more than 3 degrees from the middle of the township (35.1284293 N "
       "106.7583333 W)"},
      {" 900005 450712.3456 1064530.0000     1000",
       "at 45.120096 N 106.7583333 W lies more than 3 degrees from the middle of the township (35.1367627 N "
       "106.7583333 W)"},
  };
  const std::vector<std::string> township = {" 100100 350712.3456 1064530.0000     1000",
                                             " 100200 350742.3456 1064530.0000     1000",
                                             " 100300 350812.3456 1064530.0000     1000"};
  for (const Case& c : cases) {
    std::vector<std::string> records = township;
    records.push_back(c.record);
    const std::string leftOut = "left out: " + TrimmedPointId(c.record) + " (" + c.reason + ")";
    RecordingShift shift;
    for (const CoordinateTransform* transform :
         {static_cast<const CoordinateTransform*>(nullptr), static_cast<const CoordinateTransform*>(&shift)}) {
      const std::vector<std::string> built = Built(testing::Ticked(records), transform);
      ASSERT_EQ(built.size(), 4u) << c.record;
      EXPECT_EQ(built.back(), leftOut);
    }
    EXPECT_EQ(shift.given.size(), 3u) << c.record;
    std::string text = "h1\r\nh2\r\n";
    for (const std::string& record : records) text += record + "\r\n";
    UtmProjections projections;
    const TownshipDrawing drawing = ProjectTownship(text, "t.lx", projections);
    EXPECT_EQ(drawing.township.points.size(), 3u) << c.record;
    ASSERT_EQ(drawing.leftOut.size(), 1u) << c.record;
    EXPECT_EQ("left out: " + drawing.leftOut[0].name + " (" + drawing.leftOut[0].reason + ")", leftOut);
  }
}

}  // namespace
}  // namespace korvexa
