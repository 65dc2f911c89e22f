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

TEST(SplitAtBlanksTest, SplitsAtRunsOfBlanksAndQuotesNothing) {
  EXPECT_THAT(SplitAtBlanks("t12n.lx"), ElementsAre("t12n.lx"));
  EXPECT_THAT(SplitAtBlanks("my town.lx"), ElementsAre("my", "town.lx"));
  EXPECT_THAT(SplitAtBlanks("  a \t b  "), ElementsAre("a", "b"));
  EXPECT_THAT(SplitAtBlanks("\"my town.lx\""), ElementsAre("\"my", "town.lx\""));
  EXPECT_THAT(SplitAtBlanks(""), IsEmpty());
  EXPECT_THAT(SplitAtBlanks(" \t "), IsEmpty());
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

TEST_P(SearchOrderTest, FindsTheFirstInOwnCurrentPathOrder) {
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
                                           SearchCase{"CurrentAndPath", false, true, true, "current"},
                                           SearchCase{"OwnAndPath", true, false, true, "own"},
                                           SearchCase{"PathOnly", false, false, true, "path"},
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

TEST(FindProgramTest, AnEmptyPathEntryIsTheCurrentFolder) {
  testing::TempFolder folder;
  MakeProgram(folder / "current" / "probe");
  EXPECT_EQ(FindProgram("probe", {folder / "own", folder / "current", "/nonexistent::"}), folder / "current" / "probe");
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

TEST_F(ResolveCommandLineTest, NothingFoundIsNoCommand) {
  EXPECT_FALSE(Resolve("no-such-program t12n.lx").has_value());
  EXPECT_FALSE(Resolve("").has_value());
  EXPECT_FALSE(Resolve("   ").has_value());
}

}  // namespace
}  // namespace korvexa
