#include "core/lx_record.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "core/coordinate_transform.h"
#include "core/korvexa_error.h"
#include "core/longitude.h"
#include "tests/support/records.h"

namespace korvexa {
namespace {

// Columns: 2-7 id, 9-19 latitude, 21-32 longitude, 34-41 elevation, 42-50 reliability.
using testing::kWorkedRecord;

struct ValCase {
  const char* name;
  const char* text;
  double expected;
};

class LxValTest : public ::testing::TestWithParam<ValCase> {};

TEST_P(LxValTest, ReadsLeniently) {
  EXPECT_EQ(LxVal(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LxValTest,
    ::testing::Values(
        ValCase{"Empty", "", 0}, ValCase{"AllBlank", "       ", 0}, ValCase{"LeadingBlanks", "  7.123", 7.123},
        ValCase{"InnerBlank", "3 5", 35}, ValCase{"TabsAndLineFeeds", "\t1\n2", 12},
        ValCase{"StopsAtLetter", "12A4", 12}, ValCase{"CommaIsNoSeparator", "7,5", 7},
        ValCase{"StartsWithLetter", "A12", 0}, ValCase{"SecondPointStops", "1.2.3", 1.2},
        ValCase{"LeadingPoint", ".5", 0.5}, ValCase{"TrailingPoint", "5.", 5}, ValCase{"Plus", "+5", 5},
        ValCase{"Minus", "-282", -282}, ValCase{"BlankAfterSign", "- 2 8", -28}, ValCase{"DoubleSign", "--5", 0},
        ValCase{"SignAlone", "-", 0}, ValCase{"ExponentE", "1.5E2", 150}, ValCase{"ExponentLowerCase", "15e-1", 1.5},
        ValCase{"ExponentD", "1D2", 100}, ValCase{"ExponentSignPlus", "2E+1", 20},
        ValCase{"ExponentWithoutDigits", "12E", 12}, ValCase{"ExponentSignWithoutDigits", "12E-", 12},
        ValCase{"BlankInsideExponent", "1 E 2", 100}, ValCase{"Underflow", "1E-999", 0},
        // Beyond 15 digits the value is still the nearest double.
        ValCase{"TwentyDigits", "12345678901234567890", 12345678901234567890.0},
        ValCase{"LongFraction", "0.000123456789012345678", 0.000123456789012345678},
        ValCase{"LeadingZerosDoNotCount", "000000000000000012.5", 12.5}, ValCase{"SecondsField", " 7.1234", 7.1234},
        ValCase{"TrailingBlanks", "12.5   ", 12.5}, ValCase{"PlusFraction", "+0.25", 0.25},
        ValCase{"FifteenDigits", "123456789012345", 123456789012345.0},
        ValCase{"SixteenDigits", "1234567890.123456", 1234567890.123456}, ValCase{"TabAfterNumber", "12.5\t", 12.5}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LxValTest, OverflowReadsAsInfinity) {
  EXPECT_TRUE(std::isinf(LxVal("1E999")));
}

TEST(LxColumnsTest, FieldsOfShortLinesGiveWhatExists) {
  EXPECT_EQ(LxColumns("abcdef", 2, 4), "bcd");
  EXPECT_EQ(LxColumns("abcdef", 5, 9), "ef");
  EXPECT_EQ(LxColumns("abcdef", 7, 9), "");
  EXPECT_EQ(LxColumns("", 1, 1), "");
  EXPECT_EQ(PointIdOf(kWorkedRecord), "100100");
  EXPECT_EQ(ReliabilityOf(kWorkedRecord), "      2.5");
  EXPECT_EQ(ReliabilityOf(" 100100 350712.3456 1064530.0000     1000  2"), "  2");
}

TEST(DecodeLxPointTest, WorkedExample) {
  const LxPoint point = DecodeLxPoint(kWorkedRecord);
  EXPECT_EQ(point.Latitude, 35.120096);
  EXPECT_EQ(point.Longitude, 106.7583333);
}

TEST(DecodeLxPointTest, BlankCoordinatesDecodeToZero) {
  const LxPoint point = DecodeLxPoint(" 100100");
  EXPECT_EQ(point.Latitude, 0);
  EXPECT_EQ(point.Longitude, 0);
  EXPECT_FALSE(std::signbit(point.Longitude));
}

TEST(DecodeLxPointTest, MinutesOfSixtyOrMoreAreTakenAsTheyAre) {
  const LxPoint point = DecodeLxPoint(" 100100 357500.0000 1060000.0000");
  EXPECT_EQ(point.Latitude, 36.25);
}

TEST(DecodeLxPointTest, ARecordEndingAfterColumn30ReadsPartOfTheSeconds) {
  // Seconds "30.0000" cut to "30.00" by the end of the line: the same value.
  const std::string record = std::string(kWorkedRecord).substr(0, 30);
  const LxPoint point = DecodeLxPoint(record);
  EXPECT_EQ(point.Longitude, 106.7583333);
  EXPECT_EQ(DecodeElevation(record, kGpxElevationColumn), 0);
  EXPECT_EQ(ReliabilityOf(record), "");
}

TEST(DecodeLxPointTest, APositiveLongitudeFieldGivesItsMagnitude) {
  const LxPoint point = DecodeLxPoint(" 100100 350000.0000 -10000.0000");
  EXPECT_EQ(point.Longitude, 10);
}

TEST(DecodeLxPointTest, AnOverflowingFieldIsAnErrorNamingThePoint) {
  try {
    DecodeLxPoint(" 4711   00001E999");
    FAIL() << "no error";
  } catch (const KorvexaError& error) {
    EXPECT_STREQ(error.what(), "point 4711: the latitude field is out of range");
  }
}

// Shifts a point by fixed amounts and returns the longitude with a chosen sign.
class ShiftingTransform : public CoordinateTransform {
 public:
  explicit ShiftingTransform(bool returnsEastPositive) : eastPositive_(returnsEastPositive) {}
  void TransformPoint(double& longitude, double& latitude) const override {
    received = {longitude, latitude};
    longitude -= 0.00001234;
    latitude += 0.00000111;
    if (!eastPositive_) longitude = -longitude;
  }
  void InverseTransformPoint(double&, double&) const override {}
  mutable std::pair<double, double> received;

 private:
  bool eastPositive_;
};

TEST(DecodeLxPointTest, TransformsTheRoundedWestNegativePointAndKeepsTheMagnitude) {
  for (bool eastPositive : {true, false}) {
    ShiftingTransform transform(eastPositive);
    const LxPoint point = DecodeLxPoint(kWorkedRecord, &transform);
    EXPECT_EQ(transform.received.first, -106.7583333);
    EXPECT_EQ(transform.received.second, 35.120096);
    EXPECT_EQ(point.Longitude, 106.7583456) << "east positive: " << eastPositive;
    EXPECT_EQ(point.Latitude, 35.1200971);
  }
}

struct ElevationCase {
  const char* name;
  const char* field;  // columns 34 to 41
  int firstColumn;
  double expected;
};

class DecodeElevationTest : public ::testing::TestWithParam<ElevationCase> {};

TEST_P(DecodeElevationTest, ConvertsUsSurveyFeetToWholeMetres) {
  const std::string record = std::string(" 100100 350712.3456 1064530.0000 ") + GetParam().field + "        1";
  const double metres = DecodeElevation(record, GetParam().firstColumn);
  EXPECT_EQ(metres, GetParam().expected);
  EXPECT_FALSE(std::signbit(metres) && metres == 0) << "-0";
}

INSTANTIATE_TEST_SUITE_P(Cases, DecodeElevationTest,
                         ::testing::Values(ElevationCase{"Thousand", "    1000", 35, 305},
                                           ElevationCase{"Negative", "    -282", 35, -86},
                                           ElevationCase{"Blank", "        ", 35, 0},
                                           ElevationCase{"FourThousand", "    4000", 34, 1219},
                                           ElevationCase{"MinusOneFootIsZero", "      -1", 34, 0},
                                           // Column 34 belongs to the GPX field only.
                                           ElevationCase{"MinusInColumn34Gpx", "-   1000", 34, -305},
                                           ElevationCase{"MinusInColumn34Pcx5", "-   1000", 35, 305},
                                           ElevationCase{"DigitInColumn34Gpx", "1   1000", 34, 3353},
                                           ElevationCase{"FiveDigitMetres", "   40000", 35, 12192}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(LongitudeTest, PositionTextNamesTheHemispheres) {
  EXPECT_EQ(PositionText(-106.7583333, 35.120096), "35.1200960 N 106.7583333 W");
  EXPECT_EQ(PositionText(172.9, -0.5), "0.5000000 S 172.9000000 E");
  EXPECT_EQ(PositionText(0, 0), "0.0000000 N 0.0000000 W");
}

}  // namespace
}  // namespace korvexa
