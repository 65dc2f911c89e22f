// The grids of a data collector's point file: the zones PROJ's database
// offers for generated townships, the CRSs refused, and the point file's
// coordinates against PROJ's own cs2cs with the shipped NADCON grids.
#include "app/export/csv_export.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <sstream>

#include "core/korvexa_error.h"
#include "core/number_text.h"
#include "fixtures/synthetic_township.h"
#include "tests/support/fake_services.h"
#include "tests/support/golden.h"
#include "tests/support/run_command.h"
#include "tests/support/temp_folder.h"
#include "transform/datum_shift.h"

namespace korvexa {
namespace {

using ::testing::HasSubstr;

// A generated township of 13 x 13 corners whose south-east corner lies at
// `south` N, `west` W, every corner ticked.
PointList Township(double south, double west) {
  PointList points = MakePointList(ParseLxText(testing::SyntheticLxText(1, {south, west, 5000, true})));
  for (PointEntry& entry : points) entry.ticked = true;
  return points;
}

struct TownshipCase {
  const char* name;
  double south, west;
  const char* state;  // in the guessed CRS's name
  const char* unit;   // of the state's law, as EPSG names it
  bool doubt;         // in the areas of use of more than one State Plane zone
};

void PrintTo(const TownshipCase& township, std::ostream* out) {
  *out << township.name;
}

class GuessTest : public ::testing::TestWithParam<TownshipCase> {};

// The guess is a zone that holds the township, in the state's own unit: the
// zone of its county (Taos County lies in New Mexico Central, Lane County
// with Eugene in Oregon South, Laguna's Cibola County in New Mexico West,
// though the areas of use of the neighbouring zones hold them too).
TEST_P(GuessTest, HoldsTheTownshipInTheStatesUnit) {
  Services services = testing::FakeServices();  // positions taken as they are
  GridSystems grids;
  const GridOffer offer = OfferGrids(Township(GetParam().south, GetParam().west), true, services, grids);
  ASSERT_FALSE(offer.systems.empty());
  const GridCrs& guess = offer.systems.front();
  EXPECT_TRUE(guess.area.Contains(offer.township)) << guess.Label() << " " << guess.area.Text();
  EXPECT_THAT(guess.name, ::testing::StartsWith(std::string("NAD83 / ") + GetParam().state));
  EXPECT_EQ(guess.unitName, GetParam().unit);
  for (const GridCrs& crs : offer.systems) EXPECT_TRUE(crs.area.Contains(offer.township)) << crs.Label();
  EXPECT_EQ(ZoneDoubt(offer).has_value(), GetParam().doubt);
  EXPECT_TRUE(std::any_of(offer.systems.begin(), offer.systems.end(), [](const GridCrs& crs) { return crs.utm; }) ||
              offer.township.west > offer.township.east);
}

INSTANTIATE_TEST_SUITE_P(
    Townships, GuessTest,
    ::testing::Values(TownshipCase{"Albuquerque", 35.0, 106.7, "New Mexico Central", "US survey foot", false},
                      TownshipCase{"Taos", 36.35, 105.6, "New Mexico Central", "US survey foot", false},
                      TownshipCase{"Laguna", 35.0, 107.4, "New Mexico West", "US survey foot", false},
                      TownshipCase{"Bozeman", 45.6, 111.0, "Montana", "foot", false},
                      TownshipCase{"Salem", 44.9, 123.0, "Oregon North", "foot", false},
                      TownshipCase{"Eugene", 44.0, 123.05, "Oregon South", "foot", false},
                      TownshipCase{"Medford", 42.3, 122.85, "Oregon South", "foot", false},
                      TownshipCase{"Fairbanks", 64.8, 147.7, "Alaska zone 3", "metre", false},
                      TownshipCase{"AcrossTheAntimeridian", 51.8, 179.96, "Alaska zone 10", "metre", false}),
    [](const auto& info) { return std::string(info.param.name); });

// An Albuquerque township, its box as the export computes it.
GeoBox AlbuquerqueBox() {
  Services services = testing::FakeServices();
  GridSystems grids;
  return OfferGrids(Township(35.0, 106.7), true, services, grids).township;
}

struct RefusedCase {
  const char* name;
  const char* code;
  Datum datum;
  const char* why;
};

class RefusedTest : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(RefusedTest, SaysWhy) {
  GridSystems grids;
  try {
    grids.Choose(GetParam().code, GetParam().datum, AlbuquerqueBox());
    ADD_FAILURE() << GetParam().code << " was taken";
  } catch (const KorvexaError& error) {
    EXPECT_THAT(error.what(), HasSubstr(GetParam().why));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Codes, RefusedTest,
    ::testing::Values(RefusedCase{"Degrees", "EPSG:4326", Datum::Nad83, "is not a projected coordinate system"},
                      RefusedCase{"OutsideItsArea", "EPSG:2257", Datum::Nad83,
                                  "EPSG:2257 NAD83 / New Mexico East (ftUS) does not hold the township"},
                      RefusedCase{"OutsideUtmZone", "26912", Datum::Nad83,
                                  "EPSG:26912 NAD83 / UTM zone 12N does not hold"},
                      RefusedCase{"OnNad83_2011", "EPSG:6529", Datum::Nad83, "is not on NAD83 (EPSG:4269)"},
                      RefusedCase{"Nad27ZoneForNad83", "EPSG:32013", Datum::Nad83, "is not on NAD83"},
                      RefusedCase{"Nad83ZoneForNad27", "EPSG:0002258", Datum::Nad27,
                                  "EPSG:2258 NAD83 / New Mexico Central (ftUS) is not on NAD27"},
                      RefusedCase{"Unknown", "EPSG:1", Datum::Nad83, "not a coordinate system in PROJ"},
                      RefusedCase{"NotACode", "ESRI:102713", Datum::Nad83, "is not an EPSG code"}),
    [](const auto& info) { return std::string(info.param.name); });

struct ZoneCase {
  const char* name;
  double south, west;
  const char* code;
  double metresPerUnit;
};

void PrintTo(const ZoneCase& zone, std::ostream* out) {
  *out << zone.name;
}

class CsvAgainstCs2csTest : public ::testing::TestWithParam<ZoneCase> {};

// cs2cs moves the NAD27 corners to NAD83 with the same grids, then projects
// them: the point file must agree to a centimetre. cs2cs is given the
// corners as the records decode (7 decimals, DecodeLxPoint); the waypoints'
// own rounding to 7 decimals after the shift (up to 6 mm) is what remains.
TEST_P(CsvAgainstCs2csTest, AgreesToACentimetre) {
  const ZoneCase& zone = GetParam();
  const testing::TownshipLayout layout{zone.south, zone.west, 5000, true};
  testing::TempFolder folder;
  Services services = testing::FakeServices();
  services.datum = std::make_unique<NadconLibrary>();
  GridSystems grids;
  CsvExportOptions options;
  options.crs = zone.code;
  const ExportResult result = ExportCsv(folder / "t.csv", Township(zone.south, zone.west), options, services, grids);
  ASSERT_EQ(result.waypoints, testing::kCornersPerTownship);
  EXPECT_THAT(testing::ReadBytes(folder / "t.prj"), ::testing::StartsWith("PROJCS["));

  std::ostringstream input;
  input.precision(12);
  const std::vector<testing::SyntheticCorner> corners = testing::SyntheticCorners(1, layout);
  for (const auto& corner : corners) {
    input << RoundDecimal(corner.latitude, 7) << ' ' << -RoundDecimal(corner.westLongitude, 7) << '\n';
  }
  testing::WriteBytes(folder / "nad27.txt", input.str());
  const auto cs2cs = testing::RunCommand(
      "export PROJ_DATA=" KORVEXA_SHIPPED_GRIDS ":\"$PROJ_DATA\"; cs2cs -f %.12f EPSG:4267 EPSG:4269 " +
      testing::ShellQuoted((folder / "nad27.txt").string()) + " | cs2cs -f %.4f EPSG:4269 " + zone.code);
  ASSERT_EQ(cs2cs.exitCode, 0) << cs2cs.err;

  std::map<std::string, std::vector<std::string>> rows;  // by Point
  for (const std::string& line : testing::CrLfLines(testing::ReadBytes(folder / "t.csv"))) {
    std::vector<std::string> fields;
    std::istringstream row(line);
    for (std::string field; std::getline(row, field, ',');) fields.push_back(field);
    rows[fields[0]] = fields;
  }
  std::istringstream expected(cs2cs.out);
  const double tolerance = 0.01 / zone.metresPerUnit;
  for (const auto& corner : corners) {
    double easting = 0, northing = 0, height = 0;
    ASSERT_TRUE(expected >> easting >> northing >> height) << corner.pointId;
    const std::vector<std::string>& row = rows.at(corner.pointId);
    EXPECT_NEAR(std::stod(row[1]), northing, tolerance) << corner.pointId;
    EXPECT_NEAR(std::stod(row[2]), easting, tolerance) << corner.pointId;
    // The record's feet: US survey feet are the record's own number.
    EXPECT_NEAR(std::stod(row[3]) * zone.metresPerUnit, corner.elevationFeet * 1200.0 / 3937.0, 0.0005)
        << corner.pointId;
  }
}

INSTANTIATE_TEST_SUITE_P(Zones, CsvAgainstCs2csTest,
                         ::testing::Values(ZoneCase{"NewMexicoCentralUsFeet", 35.0, 106.7, "EPSG:2258",
                                                    1200.0 / 3937.0},
                                           ZoneCase{"MontanaInternationalFeet", 45.6, 111.0, "EPSG:2256", 0.3048},
                                           ZoneCase{"Utm13Metres", 35.0, 106.7, "EPSG:26913", 1.0}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace korvexa
