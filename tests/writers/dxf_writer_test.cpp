#include "writers/dxf_writer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/support/golden.h"
#include "tests/support/temp_folder.h"

namespace korvexa {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

// Three points (one without a PointID, one with a control character in it)
// and two segments of different reliability; a coordinate that rounds to
// -0.0000 at 4 decimals.
Township SmallTownship() {
  Township township;
  township.utmZone = 13;
  township.points = {{"100100", -106.5, 35.0, 363113.95796, 3873873.39294},
                     {"", -106.5, 35.01, -0.00004, 3874982.6},
                     {"1\t2", -106.49, 35.01, 364027.25, 3874987.12345}};
  township.reliabilities = {"        1", "      a/b"};
  township.segments = {{0, 1, 0}, {1, 2, 1}};
  return township;
}

TEST(DxfWriterTest, OneLayerPerReliabilityMatchesItsGoldenFile) {
  EXPECT_TRUE(testing::MatchesGolden(DxfText(SmallTownship(), true), testing::TestData("small~dxf-reliability.dxf")));
}

TEST(DxfWriterTest, WithoutReliabilityEveryLineIsOnLines) {
  const std::string text = DxfText(SmallTownship(), false);
  EXPECT_THAT(text, HasSubstr("LINE\r\n  8\r\nLINES\r\n"));
  EXPECT_THAT(text, Not(HasSubstr("RELY_")));
  EXPECT_EQ(text.substr(text.size() - 10), "  0\r\nEOF\r\n");
}

// The township knows the reliability of every record, also of records whose
// segments were not drawn: only the segments drawn make layers.
TEST(DxfWriterTest, OnlyTheReliabilitiesOfSegmentsMakeLayers) {
  Township township = SmallTownship();
  township.reliabilities.push_back("   unused");
  const std::string text = DxfText(township, true);
  EXPECT_THAT(text, HasSubstr("RELY_A_B"));
  EXPECT_THAT(text, Not(HasSubstr("RELY_UNUSED")));
  township.segments.clear();
  EXPECT_THAT(DxfText(township, true), Not(HasSubstr("RELY_")));
}

TEST(DxfWriterTest, ReliabilityLayerNames) {
  EXPECT_EQ(ReliabilityLayer("        1"), "RELY_1");
  EXPECT_EQ(ReliabilityLayer("      a/b"), "RELY_A_B");
  EXPECT_EQ(ReliabilityLayer("   2.5-x_"), "RELY_2_5-X_");
  EXPECT_EQ(ReliabilityLayer("         "), "RELY_NONE");
  EXPECT_EQ(ReliabilityLayer(""), "RELY_NONE");
}

TEST(DxfWriterTest, AnUnwritableFileKeepsTheOldDrawing) {
  testing::TempFolder folder;
  testing::WriteBytes(folder / "t.dxf", "an earlier drawing");
  std::filesystem::permissions(folder / "t.dxf", std::filesystem::perms::owner_read);
  EXPECT_THROW(WriteDxfFile(folder / "t.dxf", SmallTownship(), false), std::exception);
  EXPECT_EQ(testing::ReadBytes(folder / "t.dxf"), "an earlier drawing");
  EXPECT_EQ(testing::ListFolder(folder.path()), "t.dxf");
}

}  // namespace
}  // namespace korvexa
