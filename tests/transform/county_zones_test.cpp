// The State Plane zone of a township is the zone of its county. The county
// of each place below is where the town stands (its county seat or a town
// of it); the truth of its zone is EPSG's own county list in PROJ's
// database, read back from the guessed zone's area of use. Alaska's zones
// are EPSG's longitude bands.
#include "transform/county_zones.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/korvexa_error.h"

namespace korvexa {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

// A township's box, six miles square, around `latitude`, `eastLongitude`.
GeoBox TownshipAround(double latitude, double eastLongitude) {
  const double north = 3 * 1609.344 / 111195;
  const double east = north / std::cos(latitude * std::numbers::pi / 180);
  return {eastLongitude - east, latitude - north, eastLongitude + east, latitude + north};
}

struct Place {
  const char* name;
  double latitude, longitude;  // east longitude
  const char* state;
  const char* county;  // as EPSG's list names it; for Alaska, the zone
};

void PrintTo(const Place& place, std::ostream* out) {
  *out << place.name;
}

class CountyZoneTest : public ::testing::TestWithParam<Place> {};

TEST_P(CountyZoneTest, TheGuessIsTheZoneWhoseCountyListNamesTheCounty) {
  const Place& place = GetParam();
  GridSystems grids;
  const GeoBox township = TownshipAround(place.latitude, place.longitude);
  const std::vector<GridCrs> systems = grids.Candidates(Datum::Nad83, township);
  ASSERT_FALSE(systems.empty());
  const GridCrs& guess = systems.front();
  EXPECT_THAT(guess.name, StartsWith(std::string("NAD83 / ") + place.state));
  if (std::string(place.state) == "Alaska") {
    EXPECT_THAT(guess.name, StartsWith(std::string("NAD83 / ") + place.county)) << guess.areaName;
  } else {
    EXPECT_THAT(guess.areaName, StartsWith(std::string("United States (USA) - ") + place.state));
    const std::size_t at = guess.areaName.find(std::string(" ") + place.county);
    ASSERT_NE(at, std::string::npos) << guess.Label() << ": " << guess.areaName;
    const char after = guess.areaName[at + 1 + std::string(place.county).size()];
    EXPECT_TRUE(after == ';' || after == '.' || after == ' ') << guess.areaName;
  }
  const std::vector<CountyZone> zones = CountyZonesOf(Datum::Nad83, township, CountyBoundaries());
  ASSERT_FALSE(zones.empty());
  EXPECT_TRUE(zones.front().middle);
  EXPECT_THAT(guess.name, StartsWith(zones.front().zone));
}

INSTANTIATE_TEST_SUITE_P(
    Towns, CountyZoneTest,
    ::testing::Values(
        Place{"Albuquerque", 35.08, -106.65, "New Mexico", "Bernalillo"},
        Place{"Taos", 36.41, -105.57, "New Mexico", "Taos"},
        Place{"LasVegasNM", 35.59, -105.22, "New Mexico", "San Miguel"},
        Place{"Grants", 35.15, -107.85, "New Mexico", "Cibola"},
        Place{"LasCruces", 32.31, -106.78, "New Mexico", "Dona Ana"},
        Place{"TruthOrConsequences", 33.13, -107.25, "New Mexico", "Sierra"},
        Place{"Eugene", 44.05, -123.09, "Oregon", "Lane"}, Place{"Bend", 44.06, -121.31, "Oregon", "Deschutes"},
        Place{"Pendleton", 45.67, -118.79, "Oregon", "Umatilla"}, Place{"Reno", 39.53, -119.81, "Nevada", "Washoe"},
        Place{"LasVegasNV", 36.17, -115.14, "Nevada", "Clark"}, Place{"Tonopah", 38.07, -117.23, "Nevada", "Nye"},
        Place{"Yuma", 32.69, -114.62, "Arizona", "Yuma"}, Place{"Flagstaff", 35.20, -111.65, "Arizona", "Coconino"},
        Place{"ShowLow", 34.25, -110.03, "Arizona", "Navajo"},
        Place{"RockSprings", 41.59, -109.20, "Wyoming", "Sweetwater"},
        Place{"Cheyenne", 41.14, -104.82, "Wyoming", "Laramie"}, Place{"Casper", 42.87, -106.31, "Wyoming", "Natrona"},
        Place{"FortCollins", 40.59, -105.08, "Colorado", "Larimer"},
        Place{"Pueblo", 38.25, -104.61, "Colorado", "Pueblo"},
        Place{"GrandJunction", 39.06, -108.55, "Colorado", "Mesa"}, Place{"Boise", 43.62, -116.20, "Idaho", "Ada"},
        Place{"IdahoFalls", 43.49, -112.03, "Idaho", "Bonneville"},
        Place{"TwinFalls", 42.56, -114.46, "Idaho", "Twin Falls"}, Place{"Logan", 41.74, -111.83, "Utah", "Cache"},
        Place{"StGeorge", 37.10, -113.58, "Utah", "Washington"},
        Place{"Bozeman", 45.68, -111.04, "Montana", "Gallatin"},
        Place{"Yakima", 46.60, -120.51, "Washington", "Yakima"},
        Place{"MosesLakeSouthOf47_30", 47.13, -119.28, "Washington", "Grant south"},
        Place{"GrandCouleeNorthOf47_30", 47.94, -119.00, "Washington", "Grant north"},
        Place{"Susanville", 40.42, -120.65, "California", "Lassen"},
        Place{"Bishop", 37.36, -118.39, "California", "Inyo"},
        Place{"ElCentro", 32.79, -115.56, "California", "Imperial"}, Place{"Salina", 38.84, -97.61, "Kansas", "Saline"},
        Place{"Minot", 48.23, -101.30, "North Dakota", "Ward"},
        Place{"Aberdeen", 45.46, -98.49, "South Dakota", "Brown"},
        Place{"Duluth", 46.79, -92.10, "Minnesota", "St Louis"},
        Place{"StephensonSouthOf45_45", 45.42, -87.61, "Michigan", "Menominee"},
        Place{"Miami", 25.77, -80.19, "Florida", "Dade"}, Place{"Tulsa", 36.15, -95.99, "Oklahoma", "Tulsa"},
        Place{"Fairbanks", 64.84, -147.72, "Alaska", "Alaska zone 3"},
        Place{"Anchorage", 61.22, -149.90, "Alaska", "Alaska zone 4"},
        Place{"Juneau", 58.30, -134.42, "Alaska", "Alaska zone 1"},
        Place{"Nome", 64.50, -165.41, "Alaska", "Alaska zone 8"},
        Place{"Unalaska", 53.87, -166.54, "Alaska", "Alaska zone 10"}),
    [](const auto& info) { return std::string(info.param.name); });

struct Straddle {
  const char* name;
  double latitude, longitude;
  const char* middle;  // the county at the middle and its zone
  const char* middleZone;
  const char* other;  // the county across the line and its zone
  const char* otherZone;
};

void PrintTo(const Straddle& straddle, std::ostream* out) {
  *out << straddle.name;
}

class StraddleTest : public ::testing::TestWithParam<Straddle> {};

// Townships across a county line that is a zone line: the middle's zone
// first, the other named as the zone the township reaches into.
TEST_P(StraddleTest, NamesBothZonesTheMiddlesFirst) {
  const Straddle& line = GetParam();
  GridSystems grids;
  const GeoBox township = TownshipAround(line.latitude, line.longitude);
  const std::vector<GridCrs> systems = grids.Candidates(Datum::Nad83, township);
  const std::vector<CountyZone> zones = CountyZonesOf(Datum::Nad83, township, CountyBoundaries());
  ASSERT_EQ(zones.size(), 2u);
  EXPECT_EQ(zones[0].county.name + " " + zones[0].zone, std::string(line.middle) + " NAD83 / " + line.middleZone);
  EXPECT_EQ(zones[1].county.name + " " + zones[1].zone, std::string(line.other) + " NAD83 / " + line.otherZone);
  EXPECT_FALSE(zones[1].middle);
  // First among the zones whose areas of use hold the township: Iowa
  // North's ends short of the Story township's box, so Iowa South leads.
  ASSERT_FALSE(systems.empty());
  const bool offered = std::any_of(systems.begin(), systems.end(),
                                   [&](const GridCrs& crs) { return crs.name.starts_with(zones[0].zone); });
  EXPECT_THAT(systems.front().name, StartsWith(offered ? zones[0].zone : zones[1].zone));
}

INSTANTIATE_TEST_SUITE_P(
    CountyLines, StraddleTest,
    ::testing::Values(Straddle{"EllisOverRush", 38.72, -99.30, "Ellis", "Kansas North", "Rush", "Kansas South"},
                      Straddle{"RushUnderEllis", 38.68, -99.30, "Rush", "Kansas South", "Ellis", "Kansas North"},
                      Straddle{"StoryOverPolk", 41.88, -93.60, "Story", "Iowa North", "Polk", "Iowa South"}),
    [](const auto& info) { return std::string(info.param.name); });

// The county list's spellings that differ from the Census Bureau's.
TEST(CountyKeyTest, ReadsTheTwoSpellingsAlike) {
  for (const auto& [census, epsg] : {std::pair{"St. Louis", "St Louis"},
                                     {"DeKalb", "De Kalb"},
                                     {"St. Clair", "StClair"},
                                     {"Saint Croix", "St Croix"},
                                     {"Miami-Dade", "Dade"},
                                     {"Oglala Lakota", "Shannon"},
                                     {"Mountrail", "Mountrial"}}) {
    EXPECT_EQ(CountyKey(census), CountyKey(epsg)) << census;
  }
  EXPECT_NE(CountyKey("Lake"), CountyKey("Lake of the Woods"));
}

TEST(CountyBoundariesTest, AMissingFileIsSaidSo) {
  EXPECT_THROW(CountyMap("/nonexistent/counties.txt"), KorvexaError);
}

}  // namespace
}  // namespace korvexa
