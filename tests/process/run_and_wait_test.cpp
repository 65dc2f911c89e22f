#include "process/run_and_wait.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <limits>

#include "core/korvexa_error.h"
#include "tests/process/stdin_pipe.h"
#include "tests/support/temp_folder.h"

namespace korvexa {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

constexpr const char* kHelper = KORVEXA_PROCESS_HELPER;  // in this test's own folder
constexpr const char* kHelperName = "korvexa_process_helper";

// RunAndWait with the window arguments of the converters.
std::int32_t RunConverterStyle(const std::string& commandLine, std::int32_t show = 0) {
  return RunAndWait(commandLine, show, "", 0, 0, 640, 320, 7);
}

// Runs in a fresh current folder; the helper reports to a file outside it.
class RunAndWaitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    savedFolder_ = std::filesystem::current_path();
    std::filesystem::current_path(work_.path());
    ::setenv("KORVEXA_HELPER_REPORT", (reports_ / "report").c_str(), 1);
  }
  void TearDown() override {
    std::filesystem::current_path(savedFolder_);
    ::unsetenv("KORVEXA_HELPER_REPORT");
  }
  bool Reported() const { return std::filesystem::exists(reports_ / "report"); }
  // The lines of the helper's report.
  std::vector<std::string> Report() const {
    std::vector<std::string> lines;
    const std::string text = testing::ReadBytes(reports_ / "report");
    for (std::size_t start = 0, end; start < text.size(); start = end + 1) {
      end = text.find('\n', start);
      lines.push_back(text.substr(start, end - start));
    }
    return lines;
  }
  std::vector<std::string> ReportedArguments() const {
    std::vector<std::string> arguments;
    for (const std::string& line : Report()) {
      if (line.starts_with("arg=")) arguments.push_back(line.substr(4));
    }
    return arguments;
  }
  void MakeStandIn(const std::filesystem::path& file, const std::string& place) {
    std::filesystem::create_directories(file.parent_path());
    testing::WriteBytes(file, "#!/bin/sh\necho found=" + place + " >\"$KORVEXA_HELPER_REPORT\"\n");
    ::chmod(file.c_str(), 0755);
  }

  testing::TempFolder work_;
  testing::TempFolder reports_;
  std::filesystem::path savedFolder_;
};

class ExitCodeTest : public RunAndWaitTest, public ::testing::WithParamInterface<int> {};

TEST_P(ExitCodeTest, ReturnsTheExitCodeUnchanged) {
  EXPECT_EQ(RunConverterStyle(std::string(kHelper) + " exit " + std::to_string(GetParam())), GetParam());
}

INSTANTIATE_TEST_SUITE_P(Codes, ExitCodeTest, ::testing::Values(0, 1, 42, 255));

TEST_F(RunAndWaitTest, AProgramEndedByASignalGives128PlusTheSignal) {
  EXPECT_EQ(RunConverterStyle(std::string(kHelper) + " abort"), 128 + SIGABRT);
}

struct ArgumentCase {
  const char* name;
  const char* afterProgram;
  std::vector<std::string> arguments;  // after the mode "echo"
};

void PrintTo(const ArgumentCase& c, std::ostream* out) {
  *out << c.name;
}

class ArgumentTest : public RunAndWaitTest, public ::testing::WithParamInterface<ArgumentCase> {};

TEST_P(ArgumentTest, SplitsAtBlanksGroupsQuotesAndAddsNothing) {
  ASSERT_EQ(RunConverterStyle(std::string(kHelper) + GetParam().afterProgram), 0);
  EXPECT_THAT(Report(), Contains("program=" + std::string(kHelper)));
  EXPECT_THAT(ReportedArguments(), ElementsAreArray(GetParam().arguments));
}

INSTANTIATE_TEST_SUITE_P(Lines, ArgumentTest,
                         ::testing::Values(ArgumentCase{"OneTitle", " echo t12n.lx", {"t12n.lx"}},
                                           ArgumentCase{"TitleWithBlanks", " echo my town.lx", {"my", "town.lx"}},
                                           ArgumentCase{"TrailingBlank", " echo ", {}},
                                           ArgumentCase{"RunsOfBlanksAndTabs", " echo  a \t b ", {"a", "b"}},
                                           ArgumentCase{
                                               "QuotesGroup", " echo \"my town.lx\" \"\"", {"my town.lx", ""}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(RunAndWaitTest, AProgramThatCannotBeFoundReturnsAtOnce) {
  EXPECT_EQ(RunConverterStyle("korvexa-no-such-program t12n.lx"), kProgramNotStarted);
  EXPECT_EQ(RunConverterStyle(""), kProgramNotStarted);
  testing::WriteBytes(work_ / "plain", "#!/bin/sh\n");  // not executable
  EXPECT_EQ(RunConverterStyle("./plain"), kProgramNotStarted);
  EXPECT_EQ(testing::ListFolder(work_.path()), "plain");
}

class ShowTest : public RunAndWaitTest, public ::testing::WithParamInterface<std::int32_t> {};

TEST_P(ShowTest, AShowValueBeyond16BitsOverflowsBeforeAnythingStarts) {
  try {
    RunConverterStyle(std::string(kHelper) + " echo", GetParam());
    FAIL() << "no error for show " << GetParam();
  } catch (const KorvexaError& error) {
    EXPECT_THAT(error.what(), HasSubstr("overflow"));
    EXPECT_THAT(error.what(), HasSubstr(std::to_string(GetParam())));
  }
  EXPECT_FALSE(Reported()) << "the program was started";
}

INSTANTIATE_TEST_SUITE_P(Values, ShowTest,
                         ::testing::Values(32768, -32769, std::numeric_limits<std::int32_t>::max(),
                                           std::numeric_limits<std::int32_t>::min()));

TEST_F(RunAndWaitTest, TheEndsOfThe16BitRangeRun) {
  for (std::int32_t show : {-32768, 32767, 1}) {
    EXPECT_EQ(RunConverterStyle(std::string(kHelper) + " exit 3", show), 3) << show;
  }
}

TEST_F(RunAndWaitTest, TheProgramInheritsTheCurrentFolderAndTheEnvironment) {
  ASSERT_EQ(RunConverterStyle(std::string(kHelper) + " echo"),
            0);  // the report path reaches it only through the environment
  EXPECT_THAT(Report(), Contains("cwd=" + work_.path().string()));
}

TEST_F(RunAndWaitTest, ReturnsOnlyAfterTheProgramHasEnded) {
  ASSERT_EQ(RunConverterStyle(std::string(kHelper) + " sleep 300"), 0);
  EXPECT_TRUE(Reported()) << "returned before the program wrote its report at its end";
}

TEST_F(RunAndWaitTest, TheProgramDoesNotReadTheCallersInput) {
  const std::string callersInput = "the caller's own input";
  testing::StdinPipe input(callersInput);
  std::int32_t code = -2;
  EXPECT_TRUE(testing::EndsWithoutInput(input, [&] { code = RunConverterStyle(std::string(kHelper) + " stdin"); }))
      << "the program waited for the caller's input";
  EXPECT_EQ(code, 0);
  EXPECT_THAT(Report(), Contains("stdin=0"));
  EXPECT_EQ(input.Unread(), callersInput);
}

TEST_F(RunAndWaitTest, TheOwnFolderComesBeforeTheCurrentFolder) {
  MakeStandIn(work_ / kHelperName, "current");
  ASSERT_EQ(RunConverterStyle(std::string(kHelperName) + " echo t12n.lx"), 0);
  EXPECT_THAT(Report(), Contains("program=" + std::string(kHelperName)));
  EXPECT_THAT(ReportedArguments(), ElementsAre("t12n.lx"));
}

// A program lying in the user's folder (a downloaded archive's) is never run
// in place of a converter.
TEST_F(RunAndWaitTest, TheCurrentFolderIsNeverSearched) {
  testing::TempFolder pathFolder;
  MakeStandIn(work_ / "korvexa-probe", "current");
  EXPECT_EQ(RunConverterStyle("korvexa-probe"), kProgramNotStarted);
  MakeStandIn(pathFolder / "korvexa-probe", "path");
  const std::string savedPath = std::getenv("PATH") != nullptr ? std::getenv("PATH") : "";
  ::setenv("PATH", (pathFolder.path().string() + ":" + savedPath).c_str(), 1);
  EXPECT_EQ(RunConverterStyle("korvexa-probe"), 0);
  EXPECT_THAT(Report(), ElementsAre("found=path"));
  ::setenv("PATH", savedPath.c_str(), 1);
}

TEST_F(RunAndWaitTest, AProgramFolderWithBlanksNeedsNoQuotes) {
  const std::filesystem::path folder = work_ / "my tools";
  std::filesystem::create_directory(folder);
  std::filesystem::copy_file(kHelper, folder / kHelperName);
  ASSERT_EQ(RunConverterStyle((folder / kHelperName).string() + " echo my town.lx"), 0);
  EXPECT_THAT(Report(), Contains("program=" + (folder / kHelperName).string()));
  EXPECT_THAT(ReportedArguments(), ElementsAre("my", "town.lx"));
}

}  // namespace
}  // namespace korvexa
