// Korvexa as a user installs it: cmake --install into a temporary DESTDIR,
// then the installed programs, on a machine where PROJ has no NADCON grid of
// its own (no PROJ_DATA, an empty home), use the grids installed with them.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <sstream>

#include "fixtures/synthetic_township.h"
#include "tests/support/golden.h"
#include "tests/support/run_command.h"
#include "tests/support/temp_folder.h"

namespace korvexa {
namespace {

using ::testing::HasSubstr;
using testing::RunCommand;
using testing::ShellQuoted;
using ::testing::StartsWith;

constexpr const char* kPrefix = "/opt/korvexa";

class InstallTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    destination_ = new testing::TempFolder;
    const auto install = RunCommand("DESTDIR=" + ShellQuoted(destination_->path().string()) +
                                    " " KORVEXA_CMAKE " --install " KORVEXA_BUILD_DIR " --prefix " + kPrefix);
    ASSERT_EQ(install.exitCode, 0) << install.out << install.err;
  }
  static void TearDownTestSuite() { delete destination_; }

  static std::filesystem::path Installed(const std::string& relative) {
    return destination_->path() / (std::string(kPrefix).substr(1) + "/" + relative);
  }
  // Runs an installed program in the work folder as a new user would: no
  // PROJ_DATA, an empty home, no PROJ user folder of the tests.
  testing::CommandOutput RunInstalled(const std::string& program, const std::string& arguments) {
    const std::string home = ShellQuoted((work_ / "home").string());
    return RunCommand("mkdir -p " + home + " && cd " + ShellQuoted(work_.path().string()) +
                      " && env -u PROJ_DATA -u PROJ_USER_WRITABLE_DIRECTORY HOME=" + home + " XDG_DATA_HOME=" + home +
                      " " + ShellQuoted(Installed(KORVEXA_INSTALL_BINDIR "/" + program).string()) + " " + arguments);
  }

  static testing::TempFolder* destination_;
  testing::TempFolder work_;
};

testing::TempFolder* InstallTest::destination_ = nullptr;

TEST_F(InstallTest, InstallsTheProgramsAndWhatTheDesktopNeeds) {
  for (const std::string file :
       {KORVEXA_INSTALL_BINDIR "/korvexa", KORVEXA_INSTALL_BINDIR "/korvexa-convert", KORVEXA_INSTALL_BINDIR "/lx2dxf",
        KORVEXA_INSTALL_BINDIR "/todos", KORVEXA_INSTALL_DATADIR "/korvexa/grids/us_noaa_conus.tif",
        KORVEXA_INSTALL_DATADIR "/korvexa/grids/us_noaa_alaska.tif",
        KORVEXA_INSTALL_DATADIR "/korvexa/counties/counties.txt",
        KORVEXA_INSTALL_DATADIR "/applications/org.korvexa.Korvexa.desktop",
        KORVEXA_INSTALL_DATADIR "/metainfo/org.korvexa.Korvexa.metainfo.xml",
        KORVEXA_INSTALL_DATADIR "/mime/packages/org.korvexa.Korvexa.xml",
        KORVEXA_INSTALL_DATADIR "/icons/hicolor/16x16/apps/org.korvexa.Korvexa.png",
        KORVEXA_INSTALL_DATADIR "/icons/hicolor/256x256/apps/org.korvexa.Korvexa.png",
        KORVEXA_INSTALL_MANDIR "/man1/korvexa.1", KORVEXA_INSTALL_MANDIR "/man1/korvexa-convert.1",
        KORVEXA_INSTALL_MANDIR "/man1/lx2dxf.1", KORVEXA_INSTALL_DATADIR "/doc/korvexa/LICENSE"}) {
    EXPECT_TRUE(std::filesystem::exists(Installed(file))) << file;
  }
}

TEST_F(InstallTest, EveryProgramNamesTheProjectVersion) {
  for (const std::string program : {"korvexa", "korvexa-convert", "lx2dxf"}) {
    const auto result = RunInstalled(program, "--version");
    EXPECT_EQ(result.exitCode, 0) << program << ": " << result.err;
    EXPECT_EQ(result.out, program + " (Korvexa) " KORVEXA_VERSION "\n");
  }
}

// The south-east corner 100100 of a synthetic township lies at 35 N 106.5 W
// exactly; cs2cs with the project's grids gives its NAD83 position.
TEST_F(InstallTest, TheInstalledConverterMovesPointsWithTheInstalledGridsAndDraws) {
  testing::WriteBytes(work_ / "t12n.lx", testing::SyntheticLxText(1));
  const auto result = RunInstalled("korvexa-convert", "--format pcx5 --nad83 --dxf t12n.lx");
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.err, "");
  EXPECT_TRUE(std::filesystem::exists(work_ / "t12n.dxf"));

  const std::string grm = testing::ReadBytes(work_ / "t12n.grm");
  const std::size_t line = grm.find("\r\nW  100100 ");
  ASSERT_NE(line, std::string::npos);
  std::istringstream fields(grm.substr(line + 12, 24));
  char north = 0, west = 0;
  double latitude = 0, longitude = 0;
  fields >> north >> latitude >> west >> longitude;

  const auto cs2cs = RunCommand("echo 35 -106.5 | PROJ_DATA=" KORVEXA_SHIPPED_GRIDS
                                ":\"$PROJ_DATA\" cs2cs -f %.9f EPSG:4267 EPSG:4269");
  ASSERT_EQ(cs2cs.exitCode, 0) << cs2cs.err;
  double expectedLatitude = 0, expectedLongitude = 0;
  std::istringstream(cs2cs.out) >> expectedLatitude >> expectedLongitude;
  EXPECT_NEAR(latitude, expectedLatitude, 1e-7);
  EXPECT_NEAR(-longitude, expectedLongitude, 1e-7);
  EXPECT_GT(std::hypot(latitude - 35.0, longitude - 106.5), 1e-4) << "no shift";
}

TEST_F(InstallTest, TheInstalledGridsServeWhenPROJHasNone) {
  const auto result = RunInstalled("korvexa-convert", "--grids");
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_THAT(result.out, StartsWith("us_noaa_conus.tif (the conterminous United States): /"));
  EXPECT_THAT(result.out, HasSubstr("us_noaa_alaska.tif (Alaska): /"));
  EXPECT_THAT(result.out, ::testing::Not(HasSubstr("not installed")));
}

}  // namespace
}  // namespace korvexa
