#include "core/chains.h"

#include <gtest/gtest.h>

#include <span>
#include <string>
#include <vector>

#include "tests/support/temp_folder.h"

namespace korvexa {
namespace {

// "0 1 2|2 3": the point indices of each chain.
std::string ChainText(const TownshipChains& chains) {
  std::string text;
  for (std::size_t c = 0; c < chains.ChainCount(); ++c) {
    const std::span<const ChainLink> chain = chains.Chain(c);
    if (!text.empty()) text += '|';
    for (std::size_t i = 0; i < chain.size(); ++i) {
      if (i > 0) text += ' ';
      text += std::to_string(chain[i].point);
    }
  }
  return text;
}

// "100100@3 100200@4": each point's PointID and the line it first stands on.
std::string PointText(const TownshipChains& chains) {
  std::string text;
  for (const ChainPoint& point : chains.points) {
    if (!text.empty()) text += ' ';
    text += std::string(PointIdOf(point.record)) + "@" + std::to_string(point.lineNumber);
  }
  return text;
}

struct ChainCase {
  const char* name;
  std::vector<std::string> body;  // the lines after the two header lines
  const char* chains;
  const char* points;
};

void PrintTo(const ChainCase& c, std::ostream* out) {
  *out << c.name;
}

std::string FileText(const std::vector<std::string>& body, const std::string& lineEnd) {
  std::string text = " 100100 header that looks like a record" + lineEnd + " 999999" + lineEnd;
  for (const std::string& line : body) text += line + lineEnd;
  return text;
}

class ChainsTest : public ::testing::TestWithParam<ChainCase> {};

TEST_P(ChainsTest, ReadsTheChainsInFileOrderWithAnyLineEnd) {
  for (const std::string lineEnd : {"\r\n", "\n", "\r"}) {
    const std::string text = FileText(GetParam().body, lineEnd);
    const TownshipChains chains = ReadChains(text);
    EXPECT_EQ(ChainText(chains), GetParam().chains) << "line end " << (lineEnd == "\r" ? "CR" : "LF");
    EXPECT_EQ(PointText(chains), GetParam().points) << "line end " << (lineEnd == "\r" ? "CR" : "LF");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Files, ChainsTest,
    ::testing::Values(
        ChainCase{"OneChainToTheEnd", {" 100100 a", " 100200 b", " 100300 c"}, "0 1 2", "100100@3 100200@4 100300@5"},
        ChainCase{"SentinelsEndChains",
                  {" 100100 a", " 100200 b", " 999999", " 100200 b", " 200200 c", " 999999"},
                  "0 1|1 2",
                  "100100@3 100200@4 200200@7"},
        ChainCase{
            "BlankLinesNeitherCountNorEndAChain", {" 100100 a", "", "   ", " 100200 b"}, "0 1", "100100@3 100200@6"},
        ChainCase{"NoEmptyChains", {" 999999", " 999999", " 100100 a", " 999999", " 999999"}, "0", "100100@5"},
        ChainCase{"APointIsItsFirst41Columns",
                  {" 100100 350000.0000 1060000.0000     5000        1 EW", " 999999",
                   " 100100 350000.0000 1060000.0000     5000        2 NS"},
                  "0|0",
                  "100100@3"},
        ChainCase{"OnlyASentinelEndsAChain",
                  {" 100100 a", "999999", " 99999", "  999999"},
                  "0 1 2 3",
                  "100100@3 99999@4 99999@5  99999@6"},
        ChainCase{
            "ASentinelIsItsFirstSevenCharacters", {" 100100 a", " 9999990 x", " 100200 b"}, "0|1", "100100@3 100200@5"},
        ChainCase{"NothingAfterTheHeaders", {}, "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ChainsTest, EachLinkKeepsItsOwnReliability) {
  const std::string text =
      "h1\nh2\n 100100 350000.0000 1060000.0000     5000        1\n 999999\n"
      " 100100 350000.0000 1060000.0000     5000      9.5\n";
  const TownshipChains chains = ReadChains(text);
  ASSERT_EQ(chains.ChainCount(), 2u);
  EXPECT_EQ(chains.ReliabilityOf(chains.Chain(0)[0]), "        1");
  EXPECT_EQ(chains.ReliabilityOf(chains.Chain(1)[0]), "      9.5");
  EXPECT_EQ(chains.Chain(1)[0].point, 0u);
}

}  // namespace
}  // namespace korvexa
