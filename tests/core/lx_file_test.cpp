#include "core/lx_file.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "core/korvexa_error.h"
#include "fixtures/synthetic_township.h"
#include "tests/support/temp_folder.h"

namespace korvexa {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr const char* kHeaders = "header 1\r\nheader 2\r\n";

LxLines Parse(const std::string& body) {
  return ParseLxText(kHeaders + body);
}

TEST(SplitLinesTest, EndsLinesAtCrCrLfAndLoneLf) {
  EXPECT_THAT(SplitLines("a\r\nb\rc\nd"), ElementsAre("a", "b", "c", "d"));
  EXPECT_THAT(SplitLines("a\r\n"), ElementsAre("a"));
  EXPECT_THAT(SplitLines("a\n\nb"), ElementsAre("a", "", "b"));
  EXPECT_THAT(SplitLines("a\n\r"), ElementsAre("a", ""));  // LF then CR: two line ends
  EXPECT_THAT(SplitLines(""), IsEmpty());
}

TEST(ParseLxTextTest, DropsTheTwoHeaderLinesEvenWhenTheyLookLikeRecords) {
  EXPECT_THAT(ParseLxText(" 100100 a\r\n 100200 b\r\n 100300 c\r\n"), ElementsAre(" 100300 c"));
  EXPECT_THAT(ParseLxText(" 100100 a\r\n 100200 b\r\n"), IsEmpty());
  EXPECT_THAT(ParseLxText(""), IsEmpty());
}

TEST(ParseLxTextTest, DropsOnlyExactSentinels) {
  EXPECT_THAT(Parse(" 999999\r\n 999999 tail\r\n999999\r\n 99999\r\n 99999x\r\n 100100\r\n"),
              ElementsAre(" 100100", " 99999", " 99999x", "999999"));
}

TEST(ParseLxTextTest, SortsInByteOrderAndKeepsCaseDifferences) {
  EXPECT_THAT(Parse("b\r\nB\r\na\r\n\xE9\r\n"), ElementsAre("B", "a", "b", "\xE9"));
}

TEST(ParseLxTextTest, CollapsesEqualKeysToTheLineWhoseRemainderSortsLast) {
  const std::string key(41, 'k');
  EXPECT_THAT(Parse(key + "B\r\n" + key + "C\r\n" + key + "A\r\n"), ElementsAre(key + "C"));
  EXPECT_THAT(Parse("same line\r\nsame line\r\n"), ElementsAre("same line"));
  // A key of fewer than 41 characters is the whole line.
  EXPECT_THAT(Parse("short\r\nshort and longer\r\n"), ElementsAre("short", "short and longer"));
  // Letter case keeps keys apart.
  EXPECT_THAT(Parse(key + "x\r\n" + std::string(40, 'k') + "K\r\n"),
              ElementsAre(std::string(40, 'k') + "K", key + "x"));
}

TEST(ParseLxTextTest, RunsOfDuplicatesNeverLeaveEqualNeighbours) {
  const std::string a(41, 'a');
  const std::string b(41, 'b');
  const auto entries = Parse(a + "1\r\n" + b + "1\r\n" + a + "2\r\n" + b + "2\r\n" + a + "3\r\n" + b + "3\r\n");
  EXPECT_THAT(entries, ElementsAre(a + "3", b + "3"));
}

TEST(ParseLxTextTest, EmptyBodyLinesBecomeOneEmptyEntryAtTheTop) {
  EXPECT_THAT(Parse("z\r\n\r\n\r\na\r\n"), ElementsAre("", "a", "z"));
}

TEST(ParseLxTextTest, LfOnlyFilesReadLikeTheirCrLfTwins) {
  const std::string crlf = testing::SyntheticLxText(1);
  std::string lf;
  for (char c : crlf) {
    if (c != '\r') lf += c;
  }
  EXPECT_EQ(ParseLxText(lf), ParseLxText(crlf));
}

TEST(ParseLxTextTest, ATownshipKeepsEachCornerOnce) {
  const auto entries = ParseLxText(testing::SyntheticLxText(2));
  EXPECT_EQ(entries.size(), 2 * testing::kCornersPerTownship);
  for (std::size_t i = 1; i < entries.size(); ++i) {
    EXPECT_LT(entries[i - 1], entries[i]);
    EXPECT_NE(entries[i - 1].substr(0, 41), entries[i].substr(0, 41));
  }
}

// Lines that share long beginnings (beyond the 24 and 48 bytes a round of the
// sort compares), of any length, with NUL and high bytes: the list is each
// key's greatest line, in byte order, as std::map orders them.
TEST(ParseLxTextTest, SortsAndCollapsesLinesWithLongCommonBeginnings) {
  std::uint64_t state = 12345;
  auto next = [&](std::uint64_t bound) {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    return (state >> 33) % bound;
  };
  const std::string alphabet("01 \0\xE9", 5);
  std::vector<std::string> bases;
  for (int i = 0; i < 8; ++i) {
    std::string base;
    for (std::size_t n = next(70); n > 0; --n) base += alphabet[next(alphabet.size())];
    bases.push_back(base);
  }
  std::string text = kHeaders;
  std::map<std::string, std::string> greatestOfKey;
  for (int i = 0; i < 20000; ++i) {
    std::string line = bases[next(bases.size())];
    line.resize(next(line.size() + 1));
    for (std::size_t n = next(4); n > 0; --n) line += alphabet[next(alphabet.size())];
    if (IsSentinelLine(line)) continue;
    text += line + "\n";
    std::string& greatest = greatestOfKey[line.substr(0, kDuplicateKeyLength)];
    greatest = std::max(greatest, line);
  }
  std::vector<std::string> expected;
  for (const auto& [key, line] : greatestOfKey) expected.push_back(line);
  const LxLines lines = ParseLxText(text);
  EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.end()), expected);
}

TEST(LoadLxFileTest, ReadsBytesUnchanged) {
  testing::TempFolder folder;
  testing::WriteBytes(folder / "t.lx", std::string(kHeaders) + " 1\xFF\x80 z\r\n");
  EXPECT_THAT(LoadLxFile(folder / "t.lx"), ElementsAre(" 1\xFF\x80 z"));
}

TEST(LoadLxFileTest, UnreadableFilesAreErrorsNamingTheFile) {
  testing::TempFolder folder;
  EXPECT_THROW(
      {
        try {
          LoadLxFile(folder / "missing.lx");
        } catch (const KorvexaError& error) {
          EXPECT_THAT(error.what(), ::testing::HasSubstr("missing.lx\": No such file or directory"));
          throw;
        }
      },
      KorvexaError);
  EXPECT_THROW(LoadLxFile(folder.path()), KorvexaError);
}

}  // namespace
}  // namespace korvexa

namespace korvexa {
namespace {

// GCDB files are 8-bit text; a picture or a program opened by mistake is not.
TEST(LooksLikeTextTest, TellsTextFromOtherBytes) {
  const std::string lxText = "h1\r\nh2\r\n 100100 350712.3456 1064530.0000     1000   R\xE9\r\n\x1A";
  struct Case {
    std::string sample;
    bool text;
  };
  for (const Case& c : {Case{"", true}, Case{lxText, true}, Case{"a\tb\fc\r\n", true},
                        Case{lxText + std::string(1, '\0'), false}, Case{std::string(9, 'x') + "\x01", true},
                        Case{std::string(8, 'x') + "\x01\x7F", false}, Case{"\x89PNG\r\n\x1A\n\x1B\x02\x03", false}}) {
    EXPECT_EQ(LooksLikeText(c.sample), c.text) << ::testing::PrintToString(c.sample);
  }
}

// The columns that make a line a corner, each broken once.
TEST(IsCornerLineTest, NeedsThePointIdAndBothCoordinatesInTheirColumns) {
  for (const auto& [line, corner] : std::initializer_list<std::pair<std::string, bool>>{
           {" 100100 350712.3456 1064530.0000     1000      2.5 L001", true},
           {" KG0640 391326.6860  983230.5060", true},  // an NGS station's PID
           {" 700700 32 6  0.000 1", true},             // blanks in the latitude, one column of longitude
           {" 100100 350712.3456 ", false},
           {"        350712.3456 1064530.0000", false},
           {" 100100x350712.3456 1064530.0000", false},
           {" 100100 350712.34561064530.0000", false},
           {" 100100 was reset in 1998, see 3.", false},
       }) {
    EXPECT_EQ(IsCornerLine(line), corner) << line;
  }
}

}  // namespace
}  // namespace korvexa
