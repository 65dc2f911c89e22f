#include "process/program_search.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "tests/support/temp_folder.h"

namespace korvexa {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

void MakeProgram(const std::filesystem::path& file, mode_t mode = 0755) {
  std::filesystem::create_directories(file.parent_path());
  testing::WriteBytes(file, "#!/bin/sh\n");
  ::chmod(file.c_str(), mode);
}

struct SplitCase {
  const char* name;
  const char* line;
  std::vector<std::string> arguments;
};

void PrintTo(const SplitCase& c, std::ostream* out) {
  *out << c.name;
}

class SplitCommandLineTest : public ::testing::TestWithParam<SplitCase> {};

// The rules by which Windows programs read their command line.
TEST_P(SplitCommandLineTest, ReadsTheArgumentsAsWindowsDoes) {
  EXPECT_EQ(SplitCommandLine(GetParam().line), GetParam().arguments);
}

INSTANTIATE_TEST_SUITE_P(Lines, SplitCommandLineTest,
                         ::testing::Values(SplitCase{"OneWord", "t12n.lx", {"t12n.lx"}},
                                           SplitCase{"BlanksSeparate", "  a \t b  ", {"a", "b"}},
                                           SplitCase{"QuotesGroup", "\"my town.lx\" x", {"my town.lx", "x"}},
                                           SplitCase{"QuotesInsideAWord", "my\" \"town.lx", {"my town.lx"}},
                                           SplitCase{"EmptyQuotesAreAnArgument", "a \"\" b", {"a", "", "b"}},
                                           SplitCase{"DoubledQuoteInsideQuotes", "\"say \"\"hi\"\"\"", {"say \"hi\""}},
                                           SplitCase{"EscapedQuote", "a\\\"b", {"a\"b"}},
                                           SplitCase{"BackslashesBeforeAQuoteHalve", "\"c:\\\\\" x", {"c:\\", "x"}},
                                           SplitCase{"BackslashesElsewhereStay", "a\\b\\\\c", {"a\\b\\\\c"}},
                                           SplitCase{"UnclosedQuoteRunsToTheEnd", "\"a b", {"a b"}},
                                           SplitCase{"Nothing", " \t ", {}}),
                         [](const auto& info) { return std::string(info.param.name); });

// Every name arrives whole: blanks, quotes, backslashes, a leading dash.
TEST(QuoteArgumentTest, SplittingGivesEveryNameBack) {
  const std::vector<std::string> names = {"t12n.lx", "T12N R3E.lx", "",   "-l FILE",   "a\"b",          "a\\",
                                          "a\\\"b",  "\\\\x\\\\",   "\"", "tab\there", "photo.jpg x.lx"};
  std::string line;
  for (const std::string& name : names) line += QuoteArgument(name) + " ";
  EXPECT_EQ(SplitCommandLine(line), names);
}

// Where the program "probe" lies, and which of them the search finds.
struct SearchCase {
  const char* name;
  bool inOwnFolder;
  bool inCurrentFolder;
  bool inPathFolder;
  const char* found;  // "own", "current", "path" or "" for none
};

void PrintTo(const SearchCase& c, std::ostream* out) {
  *out << c.name;
}

class SearchOrderTest : public ::testing::TestWithParam<SearchCase> {
 protected:
  ProgramSearch Search() const {
    return {folder_ / "own", folder_ / "current", "/nonexistent:" + (folder_ / "path").string()};
  }
  testing::TempFolder folder_;
};

TEST_P(SearchOrderTest, FindsTheFirstInOwnThenPathOrder) {
  const SearchCase& c = GetParam();
  for (const char* place : {"own", "current", "path"}) std::filesystem::create_directory(folder_ / place);
  if (c.inOwnFolder) MakeProgram(folder_ / "own" / "probe");
  if (c.inCurrentFolder) MakeProgram(folder_ / "current" / "probe");
  if (c.inPathFolder) MakeProgram(folder_ / "path" / "probe");
  const std::optional<std::filesystem::path> found = FindProgram("probe", Search());
  if (*c.found == '\0') {
    EXPECT_FALSE(found.has_value()) << *found;
  } else {
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(*found, folder_ / c.found / "probe");
  }
}

INSTANTIATE_TEST_SUITE_P(Places, SearchOrderTest,
                         ::testing::Values(SearchCase{"Everywhere", true, true, true, "own"},
                                           SearchCase{"CurrentAndPath", false, true, true, "path"},
                                           SearchCase{"OwnAndPath", true, false, true, "own"},
                                           SearchCase{"PathOnly", false, false, true, "path"},
                                           SearchCase{"CurrentOnlyIsNeverRun", false, true, false, ""},
                                           SearchCase{"Nowhere", false, false, false, ""}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FindProgramTest, SkipsWhatCannotBeRun) {
  testing::TempFolder folder;
  MakeProgram(folder / "own" / "probe", 0644);                        // not executable
  std::filesystem::create_directories(folder / "current" / "probe");  // a folder
  MakeProgram(folder / "path" / "probe");
  const ProgramSearch search{folder / "own", folder / "current", (folder / "path").string()};
  EXPECT_EQ(FindProgram("probe", search), folder / "path" / "probe");
}

TEST(FindProgramTest, APathIsNotSearchedAndResolvesAgainstTheCurrentFolder) {
  testing::TempFolder folder;
  MakeProgram(folder / "own" / "sub" / "probe");
  MakeProgram(folder / "current" / "sub" / "probe");
  const ProgramSearch search{folder / "own", folder / "current", ""};
  EXPECT_EQ(FindProgram("sub/probe", search), folder / "current" / "sub" / "probe");
  EXPECT_EQ(FindProgram((folder / "own" / "sub" / "probe").string(), search), folder / "own" / "sub" / "probe");
  EXPECT_FALSE(FindProgram("other/probe", search).has_value());
  EXPECT_FALSE(FindProgram("", search).has_value());
}

// A file lying beside the user's data is never run as a converter, even where
// PATH names the current folder.
TEST(FindProgramTest, RelativePathEntriesAreNotSearched) {
  testing::TempFolder folder;
  MakeProgram(folder / "current" / "probe");
  MakeProgram(folder / "current" / "bin" / "probe");
  const testing::WorkingFolder working(folder / "current");
  EXPECT_FALSE(FindProgram("probe", {folder / "own", folder / "current", "/nonexistent::.:bin"}).has_value());
}

class ResolveCommandLineTest : public ::testing::Test {
 protected:
  std::optional<ResolvedCommand> Resolve(const std::string& line) const {
    return ResolveCommandLine(line, {folder_ / "own", folder_.path(), ""});
  }
  testing::TempFolder folder_;
};

TEST_F(ResolveCommandLineTest, TheFirstWordIsTheProgramAndTheRestItsArguments) {
  MakeProgram(folder_ / "own" / "lx2dxf");
  const auto command = Resolve("lx2dxf my town.lx");
  ASSERT_TRUE(command.has_value());
  EXPECT_EQ(command->program, folder_ / "own" / "lx2dxf");
  EXPECT_THAT(command->argv, ElementsAre("lx2dxf", "my", "town.lx"));
}

TEST_F(ResolveCommandLineTest, ATrailingBlankPassesNoArgument) {
  MakeProgram(folder_ / "own" / "todos");
  EXPECT_THAT(Resolve("todos ")->argv, ElementsAre("todos"));
  EXPECT_THAT(Resolve("  todos")->argv, ElementsAre("todos"));
}

TEST_F(ResolveCommandLineTest, AProgramPathWithBlanksIsFoundByItsPrefixes) {
  const std::filesystem::path program = folder_ / "my tools" / "todos";
  MakeProgram(program);
  const auto command = Resolve(program.string() + " t12n.lx");
  ASSERT_TRUE(command.has_value());
  EXPECT_EQ(command->program, program);
  EXPECT_THAT(command->argv, ElementsAre(program.string(), "t12n.lx"));
}

TEST_F(ResolveCommandLineTest, TheShortestPrefixThatNamesAProgramWins) {
  const std::filesystem::path program = folder_ / "my tools" / "todos";
  MakeProgram(program);
  MakeProgram(folder_ / "my");
  const auto command = Resolve(program.string() + " t12n.lx");
  ASSERT_TRUE(command.has_value());
  EXPECT_EQ(command->program, folder_ / "my");
  EXPECT_THAT(command->argv, ElementsAre((folder_ / "my").string(), "tools/todos", "t12n.lx"));
}

TEST_F(ResolveCommandLineTest, ABareNameWithBlanksIsSearchedToo) {
  MakeProgram(folder_ / "own" / "draw it");
  EXPECT_THAT(Resolve("draw it t12n.lx")->argv, ElementsAre("draw it", "t12n.lx"));
}

TEST_F(ResolveCommandLineTest, AQuotedProgramIsTakenAsItStands) {
  const std::filesystem::path program = folder_ / "my tools" / "todos";
  MakeProgram(program);
  MakeProgram(folder_ / "my");
  const auto command = Resolve(QuoteArgument(program.string()) + " \"my town.lx\"");
  ASSERT_TRUE(command.has_value());
  EXPECT_EQ(command->program, program);
  EXPECT_THAT(command->argv, ElementsAre(program.string(), "my town.lx"));
  std::string quotedFolder = "\"";
  quotedFolder += (folder_ / "my tools").string();
  quotedFolder += "\" todos";
  EXPECT_FALSE(Resolve(quotedFolder).has_value());
}

TEST_F(ResolveCommandLineTest, NothingFoundIsNoCommand) {
  EXPECT_FALSE(Resolve("no-such-program t12n.lx").has_value());
  EXPECT_FALSE(Resolve("").has_value());
  EXPECT_FALSE(Resolve("   ").has_value());
}

}  // namespace
}  // namespace korvexa
