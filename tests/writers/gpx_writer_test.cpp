#include "writers/gpx_writer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <regex>
#include <sstream>

#include "core/coordinate_transform.h"
#include "core/korvexa_error.h"
#include "core/lx_file.h"
#include "core/number_text.h"
#include "tests/support/decoded_waypoints.h"
#include "tests/support/golden_time.h"
#include "tests/support/golden.h"
#include "tests/support/gpx_schema.h"
#include "tests/support/records.h"
#include "tests/support/temp_folder.h"

namespace korvexa {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

using testing::GpxSchemaErrors;
using testing::kDecember6;
using testing::Ticked;

// The worked example with nine blanks for its reliability.
const std::string kWorkedRecord = std::string(testing::kWorkedRecord).substr(0, 41) + std::string(9, ' ');

// Writes, checks the file against the schema and returns its lines without
// their CR LF.
std::vector<std::string> WriteAndValidate(const PointList& points, const CoordinateTransform* transform = nullptr,
                                          const Clock& clock = FrozenClock(kDecember6)) {
  testing::TempFolder folder;
  WriteGpxFile(folder / "out.gpx", testing::DecodedWaypoints(points, kGpxElevationColumn, transform), clock);
  EXPECT_EQ(GpxSchemaErrors(folder / "out.gpx"), "");
  return testing::CrLfLines(testing::ReadBytes(folder / "out.gpx"));
}

// The attribute values of the bounds line, in file order.
std::vector<std::string> Bounds(const std::vector<std::string>& lines) {
  const std::regex pattern("<bounds minlat=\"(.*)\" minlon=\"(.*)\" maxlat=\"(.*)\" maxlon=\"(.*)\"/></metadata>");
  std::smatch match;
  if (lines.size() < 4 || !std::regex_match(lines[3], match, pattern)) return {};
  return {match[1], match[2], match[3], match[4]};
}

std::string LatLon(const std::string& waypoint) {
  const std::regex pattern("<wpt lat=\"([^\"]*)\" lon=\"([^\"]*)\">.*");
  std::smatch match;
  return std::regex_match(waypoint, match, pattern) ? std::string(match[1]) + " " + std::string(match[2]) : "";
}

TEST(GpxWriterTest, GoldenFile) {
  PointList points = MakePointList(LoadLxFile(testing::TestData("t12n.lx")));
  for (auto& point : points) point.ticked = true;
  testing::TempFolder folder;
  WriteGpxFile(folder / "t12n.gpx", testing::DecodedWaypoints(points, kGpxElevationColumn), FrozenClock(kDecember6));
  EXPECT_EQ(GpxSchemaErrors(folder / "t12n.gpx"), "");
  EXPECT_TRUE(testing::MatchesGolden(testing::ReadBytes(folder / "t12n.gpx"), testing::TestData("t12n~gpx.gpx")));
}

TEST(GpxWriterTest, WorkedExampleWaypoint) {
  const auto lines = WriteAndValidate(Ticked({kWorkedRecord}));
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[4],
            "<wpt lat=\"35.120096\" lon=\"-106.7583333\"><ele>305.000</ele><time>2026-12-06T21:03:27Z</time>"
            "<name>100100</name><cmt>Rely=         </cmt><desc>100100</desc><sym>Waypoint</sym></wpt>");
  EXPECT_EQ(lines[5], "</gpx>");
}

TEST(GpxWriterTest, NoTickedRecordGivesTheHeaderWithZeroBounds) {
  const auto lines = WriteAndValidate({{kWorkedRecord, false}});
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0], "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>");
  EXPECT_EQ(lines[1],
            "<gpx xmlns=\"http://www.topografix.com/GPX/1/1\" creator=\"Korvexa\" version=\"1.1\" "
            "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
            "xsi:schemaLocation=\"http://www.topografix.com/GPX/1/1");
  EXPECT_EQ(lines[2],
            "http://www.topografix.com/GPX/1/1/gpx.xsd\"><metadata><link href=\"https://korvexa.org/\">"
            "<text>Vesk Surveying Engineering</text></link><time>2026-12-06T21:03:27Z</time>");
  EXPECT_THAT(Bounds(lines), ElementsAre("0", "0", "0", "0"));
  EXPECT_EQ(lines[4], "</gpx>");
}

TEST(GpxWriterTest, OnePointIsItsOwnBox) {
  EXPECT_THAT(Bounds(WriteAndValidate(Ticked({kWorkedRecord}))),
              ElementsAre("35.120096", "-106.7583333", "35.120096", "-106.7583333"));
}

TEST(GpxWriterTest, TheBoxHoldsEveryWrittenPointIncludingBlankOnes) {
  const PointList points = {{" 000001 351000.0000 1070000.0000", true},
                            {" 000002 360000.0000 1060000.0000", false},  // not written, not in the box
                            {" 000003 340000.0000 1063000.0000", true},
                            {" 000004", true}};  // blank coordinates: 0, 0
  const auto lines = WriteAndValidate(points);
  ASSERT_EQ(lines.size(), 8u);
  EXPECT_EQ(LatLon(lines[4]), "35.1666667 -107");
  EXPECT_EQ(LatLon(lines[5]), "34 -106.5");
  EXPECT_EQ(LatLon(lines[6]), "0 0");
  EXPECT_THAT(Bounds(lines), ElementsAre("0", "-107", "35.1666667", "0"));
}

TEST(GpxWriterTest, LongitudesAreWrittenWestNegativeWhateverTheirSign) {
  const auto lines = WriteAndValidate(Ticked({" 000001 350000.0000 -10000.0000", " 000002 32 6  0.000 1060000.0000"}));
  EXPECT_EQ(LatLon(lines[4]), "35 -10");
  EXPECT_EQ(LatLon(lines[5]), "32.1 -106");
}

TEST(GpxWriterTest, ShortRecordsGiveShortTexts) {
  const auto lines = WriteAndValidate(Ticked({" 100100 350712.3456 1064530.0000     1000  2", " 12"}));
  EXPECT_THAT(lines[4], HasSubstr("<name>100100</name><cmt>Rely=  2</cmt>"));
  EXPECT_THAT(lines[5], HasSubstr("<ele>0.000</ele>"));
  EXPECT_THAT(lines[5], HasSubstr("<name>12</name><cmt>Rely=</cmt><desc>12</desc>"));
}

TEST(GpxWriterTest, ElevationsAreWholeMetresWithThreeZeroDecimals) {
  const std::string head = " 100100 350712.3456 1064530.0000 ";
  const auto lines =
      WriteAndValidate(Ticked({head + "    4000", head + "      -1", head + "     -40", head + "-   1000"}));
  EXPECT_THAT(lines[4], HasSubstr("<ele>1219.000</ele>"));
  EXPECT_THAT(lines[5], HasSubstr("<ele>0.000</ele>"));
  EXPECT_THAT(lines[6], HasSubstr("<ele>-12.000</ele>"));
  EXPECT_THAT(lines[7], HasSubstr("<ele>-305.000</ele>"));  // a minus in column 34
}

TEST(GpxWriterTest, RecordTextIsEscapedAndConvertedToUtf8) {
  const std::string record = std::string(" A&<\"B> 350000.0000 1060000.0000     1000") + "R\xE9\x80\x01\tx&";
  const auto lines = WriteAndValidate(Ticked({record}));
  EXPECT_THAT(lines[4], HasSubstr("<name>A&amp;&lt;&quot;B&gt;</name>"));
  EXPECT_THAT(lines[4], HasSubstr("<cmt>Rely=R\xC3\xA9\xE2\x82\xAC\tx&amp;</cmt>"));
}

TEST(GpxWriterTest, ReadsTheClockForTheMetadataAndForEveryWaypoint) {
  class CountingClock : public Clock {
   public:
    ClockReading Now() const override {
      ClockReading reading = kDecember6;
      reading.utc.second = calls++;
      return reading;
    }
    mutable int calls = 0;
  } clock;
  const auto lines = WriteAndValidate(Ticked({kWorkedRecord, kWorkedRecord}), nullptr, clock);
  EXPECT_THAT(lines[2], HasSubstr("<time>2026-12-06T21:03:00Z</time>"));
  EXPECT_THAT(lines[4], HasSubstr("<time>2026-12-06T21:03:01Z</time>"));
  EXPECT_THAT(lines[5], HasSubstr("<time>2026-12-06T21:03:02Z</time>"));
}

// The box of a long list is the smallest one holding every written
// position, whatever the order of the points.
TEST(GpxWriterTest, TheBoxOfALongListHoldsExactlyItsPoints) {
  PointList points;
  std::vector<std::string> records;
  for (int i = 0; i < 2000; ++i) {
    // Latitudes and longitudes up and down the list, in and out of step.
    const int latitudeSeconds = (i * 7919) % 3600, longitudeSeconds = (i * 104729) % 3600;
    char record[64];
    std::snprintf(record, sizeof record, " %06d 35%02d%02d.0000 106%02d%02d.0000", i, latitudeSeconds / 60,
                  latitudeSeconds % 60, longitudeSeconds / 60, longitudeSeconds % 60);
    points.Add(record, true);
  }
  const auto lines = WriteAndValidate(points);
  double minlat = 90, maxlat = -90, minlon = 180, maxlon = -180;
  for (std::size_t i = 4; i + 1 < lines.size(); ++i) {
    std::istringstream position(LatLon(lines[i]));
    double latitude = 0, longitude = 0;
    ASSERT_TRUE(position >> latitude >> longitude) << lines[i];
    minlat = std::min(minlat, latitude), maxlat = std::max(maxlat, latitude);
    minlon = std::min(minlon, longitude), maxlon = std::max(maxlon, longitude);
  }
  EXPECT_THAT(Bounds(lines),
              ElementsAre(NumberText(minlat), NumberText(minlon), NumberText(maxlat), NumberText(maxlon)));
}

}  // namespace
}  // namespace korvexa
