// A long list shared between two threads gives the same file, line for line,
// as one thread, and the same first failure.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "core/coordinate_transform.h"
#include "core/korvexa_error.h"
#include "core/lx_file.h"
#include "core/point_list.h"
#include "fixtures/synthetic_township.h"
#include "tests/support/fake_services.h"
#include "tests/support/temp_folder.h"
#include "writers/gpx_writer.h"
#include "writers/pcx5_writer.h"

namespace korvexa {
namespace {

// A shift any thread may call; it refuses the points at `refused`.
class PureShift : public CoordinateTransform {
 public:
  explicit PureShift(std::vector<LxCoordinates> refused = {}) : refused_(std::move(refused)) {}
  void TransformPoint(double& longitude, double& latitude) const override {
    for (const LxCoordinates& point : refused_) {
      if (point.eastLongitude == longitude && point.latitude == latitude) throw KorvexaError("lies off the grid");
    }
    longitude -= 0.0012345;
    latitude += 0.0001;
  }
  void InverseTransformPoint(double&, double&) const override {}
  bool ThreadSafe() const override { return true; }

 private:
  std::vector<LxCoordinates> refused_;
};

using Writer = std::size_t (*)(const std::filesystem::path&, std::span<const Waypoint>, const CoordinateTransform*,
                               const Clock&, Threads);

class TwoThreadsTest : public ::testing::TestWithParam<Writer> {
 protected:
  // 120 townships: 20,280 corners, five blocks of waypoints.
  void SetUp() override {
    lines_ = ParseLxText(testing::SyntheticLxText(120));
    for (const std::string_view line : lines_) records_.push_back(line);
    waypoints_ = ReadWaypoints(records_);
  }
  std::string Write(Threads threads, const CoordinateTransform* transform) {
    testing::TempFolder folder;
    GetParam()(folder / "out", waypoints_, transform, FrozenClock(testing::kDecember6), threads);
    return testing::ReadBytes(folder / "out");
  }
  LxLines lines_;
  std::vector<LxRecord> records_;
  std::vector<Waypoint> waypoints_;
};

TEST_P(TwoThreadsTest, WriteTheFileOfOneThread) {
  ASSERT_GT(waypoints_.size(), 4 * kWaypointsPerBlock);
  const PureShift shift;
  for (const CoordinateTransform* transform :
       {static_cast<const CoordinateTransform*>(nullptr), static_cast<const CoordinateTransform*>(&shift)}) {
    const std::string one = Write(Threads::One, transform);
    EXPECT_EQ(Write(Threads::Two, transform), one);
    EXPECT_GE(std::count(one.begin(), one.end(), '\n'), static_cast<std::ptrdiff_t>(waypoints_.size()));
  }
}

// Two points fail in blocks that run side by side, the calling thread's and
// the helper's (whose point comes later and fails sooner).
TEST_P(TwoThreadsTest, ReportTheFirstFailureInListOrder) {
  const Waypoint& first = waypoints_[3 * kWaypointsPerBlock - 1];
  const Waypoint& second = waypoints_[4 * kWaypointsPerBlock - 1];  // another PointID
  const PureShift shift({first.coordinates, second.coordinates});
  std::string messages[2];
  for (const Threads threads : {Threads::One, Threads::Two}) {
    try {
      Write(threads, &shift);
      ADD_FAILURE() << "no error";
    } catch (const KorvexaError& error) {
      messages[threads == Threads::Two] = error.what();
    }
  }
  EXPECT_EQ(messages[0], "point " + TrimmedPointId(first.record) + " lies off the grid");
  EXPECT_EQ(messages[1], messages[0]);
}

// Either side's failure comes back only once both sides have ended (the other
// side may still use what unwinding destroys), the calling thread's first.
TEST(RunSideBySideTest, RethrowsAFailureOnceBothSidesHaveEnded) {
  struct Case {
    bool mineFails;
    bool theirsFail;
    const char* caught;
  };
  for (const Case c :
       {Case{false, false, ""}, Case{true, false, "mine"}, Case{false, true, "theirs"}, Case{true, true, "mine"}}) {
    HelperThread helper;
    bool theirsEnded = false;
    std::string caught;
    try {
      RunSideBySide(
          helper,
          [&] {
            if (c.mineFails) throw KorvexaError("mine");
          },
          [&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));  // ends after mine
            theirsEnded = true;
            if (c.theirsFail) throw KorvexaError("theirs");
          });
    } catch (const KorvexaError& error) {
      caught = error.what();
    }
    EXPECT_EQ(caught, c.caught);
    EXPECT_TRUE(theirsEnded);
  }
}

INSTANTIATE_TEST_SUITE_P(Writers, TwoThreadsTest,
                         ::testing::Values(static_cast<Writer>(&WritePcx5File), static_cast<Writer>(&WriteGpxFile)),
                         [](const auto& info) { return std::string(info.index == 0 ? "Pcx5" : "Gpx"); });

}  // namespace
}  // namespace korvexa
