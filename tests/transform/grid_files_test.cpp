// The grid file access of the PROJ context: files read once and served from
// memory, and a CTable2 grid moving points exactly as its GeoTIFF twin does.
#include "transform/grid_files.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/temp_folder.h"
#include "tests/transform/ctable2_grid.h"
#include "transform/prolat.h"

namespace korvexa::prolat {
namespace {

using ::testing::HasSubstr;

struct FileStep {
  const char* name;
  long long offset;
  int whence;
  bool seeks;            // the seek succeeds
  std::size_t read;      // bytes asked for
  const char* expected;  // bytes read
  unsigned long long tellAfter;
};

class HeldFileTest : public ::testing::TestWithParam<FileStep> {};

TEST_P(HeldFileTest, SeeksReadsAndTellsLikeAFile) {
  korvexa::testing::TempFolder folder;
  korvexa::testing::WriteBytes(folder / "grid", "0123456789");
  const PROJ_FILE_API& api = HeldGridFileApi();
  PROJ_FILE_HANDLE* file = api.open_cbk(nullptr, (folder / "grid").c_str(), PROJ_OPEN_ACCESS_READ_ONLY, nullptr);
  ASSERT_NE(file, nullptr);
  std::string start(3, '\0');
  ASSERT_EQ(api.read_cbk(nullptr, file, start.data(), 3, nullptr), 3u);  // every step starts at 3
  const FileStep& step = GetParam();
  EXPECT_EQ(api.seek_cbk(nullptr, file, step.offset, step.whence, nullptr) != 0, step.seeks);
  std::string got(step.read, '\0');
  got.resize(api.read_cbk(nullptr, file, got.data(), step.read, nullptr));
  EXPECT_EQ(got, step.expected);
  EXPECT_EQ(api.tell_cbk(nullptr, file, nullptr), step.tellAfter);
  api.close_cbk(nullptr, file, nullptr);
}

INSTANTIATE_TEST_SUITE_P(Steps, HeldFileTest,
                         ::testing::Values(FileStep{"FromStart", 5, SEEK_SET, true, 2, "56", 7},
                                           FileStep{"FromHere", 2, SEEK_CUR, true, 3, "567", 8},
                                           FileStep{"FromEnd", -4, SEEK_END, true, 10, "6789", 10},
                                           FileStep{"PastTheEnd", 20, SEEK_SET, true, 4, "", 20},
                                           FileStep{"BeforeTheStart", -4, SEEK_CUR, false, 2, "34", 5}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(HeldFileApiTest, MissingFilesDoNotOpenAndWrittenFilesReadBack) {
  korvexa::testing::TempFolder folder;
  const PROJ_FILE_API& api = HeldGridFileApi();
  EXPECT_EQ(api.open_cbk(nullptr, (folder / "missing").c_str(), PROJ_OPEN_ACCESS_READ_ONLY, nullptr), nullptr);
  EXPECT_FALSE(api.exists_cbk(nullptr, (folder / "missing").c_str(), nullptr));
  PROJ_FILE_HANDLE* file = api.open_cbk(nullptr, (folder / "cache").c_str(), PROJ_OPEN_ACCESS_CREATE, nullptr);
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(api.write_cbk(nullptr, file, "abc", 3, nullptr), 3u);
  api.close_cbk(nullptr, file, nullptr);
  EXPECT_TRUE(api.exists_cbk(nullptr, (folder / "cache").c_str(), nullptr));
  EXPECT_EQ(korvexa::testing::ReadBytes(folder / "cache"), "abc");
}

// The conterminous grid as CTable2 (the old NADCON file "conus"), made from
// the shipped GeoTIFF grid, found where ProLatSetFilePath says.
class CTable2GridTest : public ::testing::Test {
 protected:
  void TearDown() override { ProLatSetFilePath(nullptr); }

  // Every point moved with the current grids.
  std::vector<double> MoveAll() {
    std::vector<double> moved;
    for (double latitude = 24.6; latitude < 49.5; latitude += 1.37) {
      for (double longitude = -124.6; longitude < -67; longitude += 2.71) {
        double x = longitude, y = latitude;
        EXPECT_EQ(ProLatTransform(ProLatDefineLatLong("NAD27"), ProLatDefineLatLong("NAD83"), &x, &y, nullptr, 1),
                  PROLAT_OK)
            << latitude << " " << longitude << ": " << ProLatLastError();
        moved.insert(moved.end(), {x, y});
      }
    }
    return moved;
  }
  korvexa::testing::TempFolder grids_;
};

TEST_F(CTable2GridTest, MovesPointsAsTheGeoTiffGridDoes) {
  const std::vector<double> geoTiff = MoveAll();
  korvexa::testing::WriteCTable2Twin(KORVEXA_SHIPPED_GRIDS, "us_noaa_conus.tif", grids_ / "conus");
  const std::string folders = grids_.path().string() + ":" + std::getenv("PROJ_DATA");
  ASSERT_EQ(ProLatSetFilePath(folders.c_str()), PROLAT_OK);
  ASSERT_THAT(ProLatGridReport(), HasSubstr((grids_ / "conus").string()));
  const std::vector<double> ctable2 = MoveAll();
  ASSERT_EQ(ctable2.size(), geoTiff.size());
  for (std::size_t i = 0; i < geoTiff.size(); ++i) {
    EXPECT_NE(ctable2[i], i % 2 == 0 ? -124.6 : 24.6);
    EXPECT_NEAR(ctable2[i], geoTiff[i], 1e-9) << "coordinate " << i;
  }
}

}  // namespace
}  // namespace korvexa::prolat
