// The one export step as every output meets it: nothing usable writes
// nothing, names take the prefix, names twice are warned of or refused.
#include "app/export/export_step.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "app/convert/create.h"
#include "app/export/csv_export.h"
#include "app/export/kml_export.h"
#include "app/export/send_to_gps.h"
#include "app/services.h"
#include "tests/support/fake_services.h"
#include "tests/support/temp_folder.h"

namespace korvexa {
namespace {

using ::testing::HasSubstr;

constexpr const char* kCorner = " 100100 350712.3456 1064530.0000     1000      2.5 L001 SEC";
constexpr const char* kOtherCorner = " 100200 350812.3456 1064530.0000     1000      2.5 L001 SEC";

using Output = std::function<void(const PointList&, const NamingRule&, Services&)>;

struct OutputCase {
  const char* name;
  const char* file;  // what the output would replace
  Output run;
};

void PrintTo(const OutputCase& c, std::ostream* out) {
  *out << c.name;
}

GarminUnit Unit() {
  return {".", "eTrex 30", std::filesystem::absolute("unit")};
}

const OutputCase kOutputs[] = {
    {"CreateGpx", "t12n.gpx",
     [](const PointList& points, const NamingRule& naming, Services& services) {
       RunCreate("t12n.lx", points, {.naming = naming}, services);
     }},
    {"CreatePcx5", "t12n.grm",
     [](const PointList& points, const NamingRule&, Services& services) {
       RunCreate("t12n.lx", points, {.kind = OutputKind::Pcx5}, services);
     }},
    {"SaveWaypointsAs", "elsewhere.gpx",
     [](const PointList& points, const NamingRule& naming, Services& services) {
       RunCreateTo("elsewhere.gpx", "t12n.lx", points, {.naming = naming}, services);
     }},
    {"Csv", "t12n.csv",
     [](const PointList& points, const NamingRule& naming, Services& services) {
       GridSystems grids;
       CsvExportOptions options;
       options.crs = "EPSG:2258";
       options.namePrefix = naming.prefix;
       ExportCsv("t12n.csv", points, options, services, grids);
     }},
    {"Kml", "t12n.kml",
     [](const PointList& points, const NamingRule& naming, Services& services) {
       ExportKml("t12n.kml", "t12n.lx", points, std::string(kCorner) + "\r\n", naming, services);
     }},
    {"SendToGps", "unit/t12n.gpx",
     [](const PointList& points, const NamingRule& naming, Services& services) {
       SendToGps(Unit(), "t12n.lx", points, naming, services);
     }},
};

class NothingUsableTest : public ::testing::TestWithParam<OutputCase> {
 protected:
  testing::TempFolder folder_;
  testing::WorkingFolder working_{folder_.path()};
};

// Nothing ticked, and ticked corners of which none can be written: the file
// the output would replace keeps every byte, and no other file appears.
TEST_P(NothingUsableTest, LeavesTheEarlierFileAsItWas) {
  std::filesystem::create_directory(folder_ / "unit");
  testing::WriteBytes(folder_ / GetParam().file, "earlier\r\n");
  const std::string before = testing::ListFolder(folder_.path());
  const struct {
    PointList points;
    const char* message;
  } rows[] = {
      {PointList{{kCorner, false}}, kNoCornersTicked},
      {PointList{{kCorner, false}, {" 100300", true}, {" 100400 350712.3456 1064530.0000 99999999", true}},
       kNoUsableCorner},
  };
  for (const auto& row : rows) {
    Services services = testing::FakeServices();
    EXPECT_THAT([&] { GetParam().run(row.points, {}, services); },
                ::testing::ThrowsMessage<NothingToWrite>(::testing::StrEq(row.message)));
    EXPECT_EQ(testing::ListFolder(folder_.path()), before);
    EXPECT_EQ(testing::ReadBytes(folder_ / GetParam().file), "earlier\r\n");
  }
}

INSTANTIATE_TEST_SUITE_P(EveryOutput, NothingUsableTest, ::testing::ValuesIn(kOutputs),
                         [](const auto& info) { return std::string(info.param.name); });

ExportResult Export(const PointList& points, const NamingRule& naming, std::vector<std::string>* names = nullptr) {
  return RunExport(BuildWaypoints(points, nullptr, kGpxElevationColumn), naming,
                   [names](const FinishedWaypoints& finished, ExportResult& result) {
                     for (const Waypoint& waypoint : finished.waypoints) {
                       if (names) names->push_back(waypoint.name);
                     }
                     result.outputPath = "t.gpx";
                     return std::string("written");
                   });
}

TEST(NamingTest, ThePrefixStandsBeforeTheTrimmedName) {
  std::vector<std::string> names;
  Export(PointList{{kCorner, true}, {"  10010 350712.3456 1064530.0000", true}}, {"T12N-", false}, &names);
  EXPECT_THAT(names, ::testing::ElementsAre("T12N-100100", "T12N-10010"));
  names.clear();
  Export(PointList{{"  10010 350712.3456 1064530.0000", true}}, {}, &names);
  EXPECT_THAT(names, ::testing::ElementsAre(" 10010"));
}

TEST(NamingTest, NamesTwiceAreWarnedOfOrRefused) {
  const PointList twoTownships{{kCorner, true}, {kOtherCorner, true}, {kCorner, true}, {kOtherCorner, true}};
  const ExportResult warned = Export(twoTownships, {});
  ASSERT_EQ(warned.notices.size(), 1u);
  EXPECT_EQ(warned.notices[0].text, "2 names stand twice or more: 100100, 100200");
  EXPECT_THAT(
      [&] {
        Export(twoTownships, {"", true});
      },
      ::testing::ThrowsMessage<KorvexaError>(HasSubstr("name prefix")));
  EXPECT_THAT(Export(PointList{{kCorner, true}, {kOtherCorner, true}}, {"", true}).notices, ::testing::IsEmpty());
}

TEST(NamingTest, APrefixAPointFileWouldQuoteOrAPcx5FileCannotHoldIsRefused) {
  for (const char* prefix : {"A,B", "A\"B", "A\tB"}) {
    EXPECT_THROW(Export(PointList{{kCorner, true}}, {prefix, false}), KorvexaError) << prefix;
  }
  testing::TempFolder folder;
  testing::WorkingFolder working(folder.path());
  Services services = testing::FakeServices();
  EXPECT_THAT(
      [&] {
        RunCreate("t12n.lx", {{kCorner, true}}, {.kind = OutputKind::Pcx5, .naming = {"T-"}}, services);
      },
      ::testing::ThrowsMessage<KorvexaError>(HasSubstr("PCX5")));
  EXPECT_EQ(testing::ListFolder(folder.path()), "");
}

}  // namespace
}  // namespace korvexa
