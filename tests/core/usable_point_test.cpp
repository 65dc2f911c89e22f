#include "core/usable_point.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace korvexa {
namespace {

using ::testing::ElementsAre;
using ::testing::Field;
using ::testing::HasSubstr;
using ::testing::Pair;
using ::testing::StartsWith;

JudgedTownship Judge(const std::vector<std::string>& records) {
  return JudgeTownship(records.size(), [&records](std::size_t i) { return LxRecord(records[i]); });
}

constexpr const char* kNear1 = " 100100 350712.3456 1064530.0000";
constexpr const char* kNear2 = " 100200 350800.0000 1064600.0000";
constexpr const char* kNear3 = " 100300 350900.0000 1064700.0000";
constexpr const char* kFarSouth = " 100400 320000.0000 1064530.0000";
constexpr const char* kNoLongitude = " 100500 350712.3456";

TEST(JudgeTownshipTest, LeavesOutUnusableAndFarRecordsInRecordOrder) {
  // The far record comes before the unusable one: the reasons of both passes
  // must still read by index.
  const JudgedTownship judged = Judge({kNear1, kFarSouth, kNear2, kNoLongitude, kNear3});
  EXPECT_THAT(judged.usable, ElementsAre(true, false, true, false, true));
  EXPECT_THAT(judged.leftOut, ElementsAre(Pair(1, HasSubstr("lies more than 3 degrees")), Pair(3, "no longitude")));
  EXPECT_EQ(judged.WhyLeftOut(3), "no longitude");
  EXPECT_THAT(judged.WhyLeftOut(1), StartsWith("at 32 N 106.7583333 W"));
  ASSERT_TRUE(judged.middle.has_value());
  EXPECT_NEAR(judged.middle->latitude, 35.1333333, 1e-6);  // the far record counts towards the median
}

TEST(JudgeTownshipTest, HasNoMiddleWhenNoRecordIsUsable) {
  const JudgedTownship judged = Judge({"", kNoLongitude});
  EXPECT_FALSE(judged.middle.has_value());
  EXPECT_THAT(judged.usable, ElementsAre(false, false));
  EXPECT_THAT(judged.leftOut, ElementsAre(Field(&std::pair<std::size_t, std::string>::first, 0),
                                          Field(&std::pair<std::size_t, std::string>::first, 1)));
}

TEST(JudgeTownshipTest, EmptyTownshipHasNothing) {
  const JudgedTownship judged = Judge({});
  EXPECT_TRUE(judged.points.empty());
  EXPECT_TRUE(judged.leftOut.empty());
  EXPECT_FALSE(judged.middle.has_value());
}

}  // namespace
}  // namespace korvexa
