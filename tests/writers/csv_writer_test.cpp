// The data collector's point file: the Description a collector's job can
// hold, the unit in the header, and the import layouts against the column
// orders their documentation gives.
#include "writers/csv_writer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "tests/support/golden.h"
#include "tests/support/temp_folder.h"
#include "writers/csv_layouts.h"

namespace korvexa {
namespace {

// A record whose columns 42 to 50 hold `reliability` and 51 on `tail`.
std::string Record(const std::string& reliability, const std::string& tail) {
  std::string record = " 100100 350712.3456 1064530.0000     1000";
  record += std::string(9 - reliability.size(), ' ') + reliability;
  return record + tail;
}

struct DescriptionCase {
  const char* name;
  const char* reliability;
  const char* tail;
  const char* description;
};

class CsvDescriptionTest : public ::testing::TestWithParam<DescriptionCase> {};

TEST_P(CsvDescriptionTest, IsTheReliabilityAndLineCodesAsACollectorTakesThem) {
  EXPECT_EQ(CsvDescription(LxWaypoint(Record(GetParam().reliability, GetParam().tail), {}, 0)),
            GetParam().description);
}

TEST(CsvDescriptionTest, OfALineEndingBeforeTheReliabilityIsEmpty) {
  EXPECT_EQ(CsvDescription(LxWaypoint(" 100100 350712.3456", {}, 0)), "");
}

INSTANTIATE_TEST_SUITE_P(
    Records, CsvDescriptionTest,
    ::testing::Values(DescriptionCase{"BlanksCollapsed", "2.5", "  L002    N ", "2.5 L002 N"},
                      DescriptionCase{"UtmColumnsLeftOut", "3", " SEC   500000.00  3880000.00", "3 SEC"},
                      DescriptionCase{"UtmWithoutDecimals", "3", " SEC 500000 3880000", "3 SEC"},
                      DescriptionCase{"ShortNumbersAreCodes", "3", " 1234 12.5", "3 1234 12.5"},
                      DescriptionCase{"NoDelimiterNoQuotes", "1,5", " \"A\",B", "1 5 A B"},
                      DescriptionCase{"ControlsAndBeyondAscii", "2",
                                      " \tA\x7F"
                                      "\xC3\xA9",
                                      "2 A ??"},
                      DescriptionCase{"NoReliability", "", "  L001  E", "L001 E"},
                      DescriptionCase{"Nothing", "", "", ""},
                      DescriptionCase{"CutAt31WithoutATrailingBlank", "10", " L001 L002 L003 L004 L005 L006 L007",
                                      "10 L001 L002 L003 L004 L005"}),
    [](const auto& info) { return std::string(info.param.name); });

std::string Written(const CsvLayout& layout, const char* unit, std::string record = Record("2.5", " L001")) {
  testing::TempFolder folder;
  const Waypoint corner = LxWaypoint(record, {}, 0);
  const CsvPoint point{&corner, 1484651.2321, 1520741.9816, 1000};
  WritePointCsv(folder / "t.csv", std::span(&point, 1), layout, unit, "PROJCS[]");
  return testing::ReadBytes(folder / "t.csv");
}

TEST(CsvHeaderTest, NamesTheUnitOfEachCoordinateColumn) {
  EXPECT_THAT(Written({CsvColumns::Pnezd, true}, "US survey foot"),
              ::testing::StartsWith("Point,Northing (ftUS),Easting (ftUS),Elevation (ftUS),Description\r\n"));
  EXPECT_THAT(Written({CsvColumns::Penzd, true}, "foot"),
              ::testing::StartsWith("Point,Easting (ft),Northing (ft),Elevation (ft),Description\r\n"));
  EXPECT_THAT(Written({CsvColumns::Pnezd, true}, "metre"), ::testing::HasSubstr(",Elevation (m),"));
}

TEST(CsvPointTest, AControlByteOrNonAsciiInAPointIdIsEscaped) {
  std::string record = Record("2.5", " L001");
  record.replace(1, 6, "1\x1B[2J\xE9");
  EXPECT_THAT(Written({CsvColumns::Pnezd, false}, "metre", record), ::testing::StartsWith("1\\x1B[2J\\xE9,"));
}

TEST(CsvPrjTest, GoesBesideTheCsvThatALinkLeadsTo) {
  testing::TempFolder folder;
  std::filesystem::create_directory(folder / "job");
  std::filesystem::create_symlink("job/b.csv", folder / "t.csv");
  const Waypoint corner = LxWaypoint(Record("2.5", " L001"), {}, 0);
  const CsvPoint point{&corner, 1, 2, 3};
  WritePointCsv(folder / "t.csv", std::span(&point, 1), {CsvColumns::Pnezd, true}, "metre", "PROJCS[]");
  EXPECT_EQ(testing::ListFolder(folder / "job"), "b.csv b.prj");
  EXPECT_EQ(testing::ListFolder(folder.path()), "job t.csv");
}

// The column orders as the documentation of each import gives them (the
// addresses are in writers/csv_layouts.cpp): Carlson's "Pt,N,E,Z,Desc",
// Trimble Access's "CSV Grid points N-E" (Point Name, Northing, Easting,
// Elevation, Code) and MAGNET's "Name,N,E,Z,Code". None skips a header row.
TEST(CollectorLayoutTest, WritesTheColumnOrderOfTheDocumentation) {
  const std::map<std::string, std::vector<std::string>> documented = {
      {"carlson", {"Pt", "N", "E", "Z", "Desc"}},
      {"trimble", {"Point Name", "Northing", "Easting", "Elevation", "Code"}},
      {"magnet", {"Name", "N", "E", "Z", "Code"}}};
  const std::map<std::string, std::string> values = {
      {"Pt", "100100"},           {"Point Name", "100100"},    {"Name", "100100"},
      {"N", "1484651.232"},       {"Northing", "1484651.232"}, {"E", "1520741.982"},
      {"Easting", "1520741.982"}, {"Z", "1000.000"},           {"Elevation", "1000.000"},
      {"Desc", "2.5 L001"},       {"Code", "2.5 L001"}};
  ASSERT_EQ(CollectorLayouts().size(), documented.size());
  for (const CollectorLayout& collector : CollectorLayouts()) {
    const std::vector<std::string> rows = testing::CrLfLines(Written(collector.layout, "US survey foot"));
    ASSERT_EQ(rows.size(), 1u) << collector.key;
    std::vector<std::string> fields;
    std::istringstream row(rows[0]);
    for (std::string field; std::getline(row, field, ',');) fields.push_back(field);
    std::vector<std::string> expected;
    for (const std::string& name : documented.at(std::string(collector.key))) expected.push_back(values.at(name));
    EXPECT_EQ(fields, expected) << collector.key;
  }
  EXPECT_FALSE(CollectorLayoutOf("leica"));
}

}  // namespace
}  // namespace korvexa
