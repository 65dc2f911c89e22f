#include "writers/pcx5_writer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <clocale>
#include <sstream>

#include "core/coordinate_transform.h"
#include "core/korvexa_error.h"
#include "core/lx_file.h"
#include "tests/support/decoded_waypoints.h"
#include "tests/support/golden_time.h"
#include "tests/support/golden.h"
#include "tests/support/records.h"
#include "tests/support/temp_folder.h"

namespace korvexa {
namespace {

using ::testing::HasSubstr;

using testing::kDecember6;
using testing::kWorkedRecord;
using testing::Ticked;

using testing::CrLfLines;

std::string WriteToString(const PointList& points, const CoordinateTransform* transform = nullptr,
                          const Clock& clock = FrozenClock(kDecember6)) {
  testing::TempFolder folder;
  WritePcx5File(folder / "out.grm", testing::DecodedWaypoints(points, kPcx5ElevationColumn, transform), clock);
  return testing::ReadBytes(folder / "out.grm");
}

TEST(Pcx5WriterTest, WorkedExampleLine) {
  const auto lines = CrLfLines(WriteToString(Ticked({kWorkedRecord})));
  ASSERT_EQ(lines.size(), 11u);
  EXPECT_EQ(lines[10], "W  100100 N35.120096  W106.7583333 06-Dec-26 14:03:27  305  100100" + std::string(35, ' ') +
                           "0.00000e+00       18");
}

TEST(Pcx5WriterTest, NoTickedLineGivesExactlyTheHeader) {
  const auto lines = CrLfLines(WriteToString({{kWorkedRecord, false}}));
  ASSERT_EQ(lines.size(), 10u);
  EXPECT_EQ(lines[0], "H  SOFTWARE NAME & VERSION");
  EXPECT_EQ(lines[1], "I  PCX format; created by pellanore  rnx 1.0");
  const std::vector<std::size_t> lengths = {26, 44, 0, 88, 99, 0, 20, 14, 0, 129};
  for (std::size_t i = 0; i < lines.size(); ++i) EXPECT_EQ(lines[i].size(), lengths[i]) << "line " << i + 1;
  EXPECT_EQ(lines[3].find("IDX"), 26u);
  EXPECT_EQ(lines[3].find("DZ"), 86u);
  EXPECT_EQ(lines[4].find("121"), 26u);
  EXPECT_EQ(lines[4].rfind("+0.000000e+00"), 86u);
  EXPECT_EQ(lines[9].find(";waypts"), 122u);
}

TEST(Pcx5WriterTest, OnlyTickedLinesInListOrder) {
  const PointList points = {{" 000001 35", true}, {" 000002 36", false}, {" 000003 37", true}};
  const auto lines = CrLfLines(WriteToString(points));
  ASSERT_EQ(lines.size(), 12u);
  EXPECT_THAT(lines[10], HasSubstr("000001 N35 "));
  EXPECT_THAT(lines[11], HasSubstr("000003 N37 "));
}

TEST(Pcx5WriterTest, ShortAndBlankRecordsKeepEveryItemInItsColumn) {
  const auto lines = CrLfLines(WriteToString(Ticked({" 12", ""})));
  ASSERT_EQ(lines.size(), 12u);
  const std::string tail = "0.00000e+00       18";
  EXPECT_EQ(lines[10], "W  12     N0          W0           06-Dec-26 14:03:27  0    12" + std::string(39, ' ') + tail);
  EXPECT_EQ(lines[11], "W         N0          W0           06-Dec-26 14:03:27  0    " + std::string(41, ' ') + tail);
}

// A hemisphere letter and a magnitude, north and south as west and east.
TEST(Pcx5WriterTest, ASouthernLatitudeIsWrittenWithAnS) {
  const auto lines = CrLfLines(WriteToString(Ticked({" 000001 -330  0.000 1860000.0000", " 000002 3330  0.000"})));
  EXPECT_EQ(lines[10].substr(10, 25), "S2.5        E174         ");
  EXPECT_EQ(lines[11].substr(10, 6), "N33.5 ");
}

TEST(Pcx5WriterTest, NegativeAltitudeTakesTheSignColumn) {
  const auto lines = CrLfLines(WriteToString(Ticked({" 140100 350712.3456 1064458.0000     -282       10"})));
  EXPECT_EQ(lines[10].substr(54, 7), "-86   1");
}

TEST(Pcx5WriterTest, AFiveDigitAltitudeMovesTheDescriptionToANewLine) {
  const auto lines = CrLfLines(WriteToString(Ticked({" 700700 32 6  0.000 1060000.0000    40000        3"})));
  ASSERT_EQ(lines.size(), 12u);
  EXPECT_EQ(lines[10], "W  700700 N32.1       W106         06-Dec-26 14:03:27  12192 ");
  EXPECT_EQ(lines[11], std::string(60, ' ') + "700700" + std::string(35, ' ') + "0.00000e+00       18");
}

TEST(Pcx5WriterTest, EveryLineReadsTheClockAfresh) {
  class CountingClock : public Clock {
   public:
    ClockReading Now() const override {
      ++calls;
      ClockReading reading = kDecember6;
      reading.local.second = calls;
      reading.local.month = calls;
      return reading;
    }
    mutable int calls = 0;
  } clock;
  const auto lines = CrLfLines(WriteToString(Ticked({" 000001", " 000002"}), nullptr, clock));
  EXPECT_THAT(lines[10], HasSubstr("06-Jan-26 14:03:01"));
  EXPECT_THAT(lines[11], HasSubstr("06-Feb-26 14:03:02"));
}

TEST(Pcx5WriterTest, TransformedCoordinatesUnderTheSameDatumLine) {
  class Shift : public CoordinateTransform {
    void TransformPoint(double& longitude, double& latitude) const override {
      longitude -= 0.001;
      latitude += 0.0001;
    }
    void InverseTransformPoint(double&, double&) const override {}
  } shift;
  const std::string text = WriteToString(Ticked({kWorkedRecord}), &shift);
  EXPECT_THAT(text, HasSubstr("M  G WGS 84 "));
  EXPECT_THAT(text, HasSubstr("N35.120196  W106.7593333 "));
}

TEST(Pcx5WriterTest, GoldenFile) {
  PointList points = MakePointList(LoadLxFile(testing::TestData("t12n.lx")));
  for (auto& point : points) point.ticked = true;
  EXPECT_TRUE(testing::MatchesGolden(WriteToString(points), testing::TestData("t12n~pcx5.grm")));
}

TEST(Pcx5WriterTest, DecimalCommaLocaleChangesNothing) {
  // LOCPATH points at a de_DE.UTF-8 locale built for the tests.
  ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr) << "the test locale is missing";
  ASSERT_STREQ(std::localeconv()->decimal_point, ",");
  std::locale::global(std::locale("de_DE.UTF-8"));
  PointList points = MakePointList(LoadLxFile(testing::TestData("t12n.lx")));
  for (auto& point : points) point.ticked = true;
  const std::string text = WriteToString(points);
  std::locale::global(std::locale::classic());
  std::setlocale(LC_ALL, "C");
  EXPECT_TRUE(testing::MatchesGolden(text, testing::TestData("t12n~pcx5.grm")));
}

}  // namespace
}  // namespace korvexa
