// A conversion ended by a signal half way leaves no temporary file behind,
// and a drawing whose program ends with it; so does the window process,
// ended at random moments while Create writes. A CSV ended as it takes its
// name leaves its old .prj beside the old CSV, or the new beside the new.
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "fixtures/synthetic_township.h"
#include "tests/support/temp_folder.h"

extern char** environ;

namespace korvexa {
namespace {

// The hidden temporary files in `folder` (those of `prefix`).
std::vector<std::string> TemporaryFiles(const std::filesystem::path& folder, std::string_view prefix = ".") {
  std::vector<std::string> hidden;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.path().filename().string().starts_with(prefix)) hidden.push_back(entry.path().filename().string());
  }
  return hidden;
}

// The lx2dxf processes drawing into `folder`, whichever process started them.
std::vector<pid_t> Drawings(const std::filesystem::path& folder) {
  std::vector<pid_t> drawings;
  for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
    const pid_t pid = std::atoi(entry.path().filename().c_str());
    std::ifstream file(entry.path() / "cmdline", std::ios::binary);
    const std::string line((std::istreambuf_iterator<char>(file)), {});
    if (pid > 0 && line.find("lx2dxf") != std::string::npos && line.find(folder.string()) != std::string::npos)
      drawings.push_back(pid);
  }
  return drawings;
}

// Starts `arguments` in `folder`; its process id.
pid_t Start(const std::filesystem::path& folder, std::vector<std::string> arguments) {
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  const std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(folder);
  pid_t pid = -1;
  ::posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ);
  std::filesystem::current_path(previous);
  return pid;
}

// Waits until a temporary file appears in `folder` (true), or `pid` ends.
bool AwaitTemporaryFile(const std::filesystem::path& folder, pid_t pid,
                        std::chrono::microseconds poll = std::chrono::milliseconds(2), std::string_view prefix = ".") {
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (std::chrono::steady_clock::now() < until) {
    if (!TemporaryFiles(folder, prefix).empty()) return true;
    if (::waitpid(pid, nullptr, WNOHANG) == pid) return false;
    std::this_thread::sleep_for(poll);
  }
  return false;
}

// Runs `arguments` in `folder` to their end; true when they succeeded.
bool RunToEnd(const std::filesystem::path& folder, std::vector<std::string> arguments) {
  int status = 0;
  const pid_t pid = Start(folder, std::move(arguments));
  return pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

class InterruptTest : public ::testing::TestWithParam<int> {
 protected:
  static void SetUpTestSuite() { text_ = new std::string(testing::SyntheticLxText(1500)); }
  static void TearDownTestSuite() { delete text_; }
  static std::string* text_;
  testing::TempFolder folder_;
};
std::string* InterruptTest::text_ = nullptr;

TEST_P(InterruptTest, AConversionEndedBySignalLeavesNoTemporaryFile) {
  testing::WriteBytes(folder_ / "big.lx", *text_);
  const pid_t pid = Start(folder_.path(), {KORVEXA_CONVERT, "--no-nad83", "big.lx"});
  ASSERT_TRUE(AwaitTemporaryFile(folder_.path(), pid)) << "the conversion ended before it wrote";
  ::kill(pid, GetParam());
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == GetParam()) << "status " << status;
  EXPECT_EQ(TemporaryFiles(folder_.path()), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(Signals, InterruptTest, ::testing::Values(SIGTERM, SIGINT, SIGHUP),
                         [](const auto& info) { return std::string(sigabbrev_np(info.param)); });

// The program that started lx2dxf ends without a word (SIGKILL): lx2dxf ends
// with it and removes its temporary file.
TEST_F(InterruptTest, TheDrawingEndsWithTheProgramThatStartedIt) {
  testing::WriteBytes(folder_ / "big.lx", *text_);
  const std::string command = std::string("exec ") + KORVEXA_LX2DXF + " big.lx & wait";
  const pid_t shell = Start(folder_.path(), {"/bin/sh", "-c", command});
  ASSERT_TRUE(AwaitTemporaryFile(folder_.path(), shell)) << "the drawing ended before it wrote";
  ::kill(shell, SIGKILL);
  ::waitpid(shell, nullptr, 0);
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!TemporaryFiles(folder_.path()).empty() && std::chrono::steady_clock::now() < until) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_EQ(TemporaryFiles(folder_.path()), std::vector<std::string>{});
  EXPECT_FALSE(std::filesystem::exists(folder_ / "big.dxf"));
}

// korvexa_window_writer is the window pressing Create without end, its
// drawing by lx2dxf; SIGTERM comes within about one Create of its first
// temporary file.
TEST_F(InterruptTest, TheWindowEndedBySigtermLeavesNoTemporaryFile) {
  testing::WriteBytes(folder_ / "big.lx", testing::SyntheticLxText(60));
  const unsigned seed = std::random_device()();
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> delay(0, 400);  // ms
  for (int run = 0; run < 30; ++run) {
    const int wait = delay(random);
    SCOPED_TRACE("seed " + std::to_string(seed) + ", run " + std::to_string(run) + ", " + std::to_string(wait) + " ms");
    const pid_t pid = Start(folder_.path(), {KORVEXA_WINDOW_WRITER, "big.lx"});
    ASSERT_TRUE(AwaitTemporaryFile(folder_.path(), pid)) << "the window ended before it wrote";
    std::this_thread::sleep_for(std::chrono::milliseconds(wait));
    ::kill(pid, SIGTERM);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << "status " << status;
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);  // lx2dxf ends with the window
    while (!TemporaryFiles(folder_.path()).empty() && std::chrono::steady_clock::now() < until) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ASSERT_EQ(TemporaryFiles(folder_.path()), std::vector<std::string>{});
  }
}

// SIGTERM comes as the window starts lx2dxf: from the moment the window
// makes the drawing's temporary file, just before lx2dxf starts, to when
// lx2dxf writes. lx2dxf ends with the window and neither leaves a file.
TEST_F(InterruptTest, TheWindowEndedAsLx2dxfStartsLeavesNoTemporaryFile) {
  testing::WriteBytes(folder_ / "big.lx", testing::SyntheticLxText(5));
  std::mt19937 random(2);
  std::uniform_int_distribution<int> delay(0, 50'000);  // microseconds; lx2dxf draws in about 45 ms
  int drawing = 0;
  for (int run = 0; run < 30; ++run) {
    const int wait = delay(random);
    SCOPED_TRACE("run " + std::to_string(run) + ", " + std::to_string(wait) + " us");
    const pid_t pid = Start(folder_.path(), {KORVEXA_WINDOW_WRITER, "big.lx"});
    ASSERT_TRUE(AwaitTemporaryFile(folder_.path(), pid, std::chrono::microseconds(100), ".big.dxf."));
    std::this_thread::sleep_for(std::chrono::microseconds(wait));
    drawing += !Drawings(folder_.path()).empty();
    ::kill(pid, SIGTERM);
    ASSERT_EQ(::waitpid(pid, nullptr, 0), pid);
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!Drawings(folder_.path()).empty() && std::chrono::steady_clock::now() < until) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ASSERT_EQ(Drawings(folder_.path()), std::vector<pid_t>{});
    ASSERT_EQ(TemporaryFiles(folder_.path()), std::vector<std::string>{});
    if (std::filesystem::exists(folder_ / "big.dxf")) {  // a drawing of an earlier Create, whole
      EXPECT_TRUE(testing::ReadBytes(folder_ / "big.dxf").ends_with("EOF\r\n"));
    }
  }
  RecordProperty("lx2dxf running", drawing);  // of 30: how many SIGTERMs came while lx2dxf ran
}

// The CSV and .prj that a SIGTERM may find in the folder: the pair that was
// there (on NAD27 in UTM zone 13, or none) or the new one (NAD83 in New
// Mexico Central, in feet), never one of each.
struct CsvPair {
  std::string csv, prj;
  bool operator==(const CsvPair&) const = default;
};

CsvPair ReadPair(const std::filesystem::path& folder) {
  const auto read = [&](const char* name) {
    return std::filesystem::exists(folder / name) ? testing::ReadBytes(folder / name) : std::string("none");
  };
  return {read("t.csv"), read("t.prj")};
}

class CsvInterruptTest : public ::testing::TestWithParam<bool> {  // an old pair there, or none
 protected:
  testing::TempFolder folder_;
};

TEST_P(CsvInterruptTest, ACsvAndItsPrjAreBothOldOrBothNew) {
  testing::WriteBytes(folder_ / "t.lx", testing::SyntheticLxText(1));
  const std::vector<std::string> convert = {KORVEXA_CONVERT, "--format", "csv", "--crs", "EPSG:2258", "t.lx"};
  ASSERT_TRUE(RunToEnd(folder_.path(), convert));
  const CsvPair now = ReadPair(folder_.path());
  if (GetParam()) {
    ASSERT_TRUE(
        RunToEnd(folder_.path(), {KORVEXA_CONVERT, "--format", "csv", "--no-nad83", "--crs", "EPSG:26713", "t.lx"}));
  }
  const CsvPair old = GetParam() ? ReadPair(folder_.path()) : CsvPair{"none", "none"};
  ASSERT_TRUE(old.csv != now.csv && old.prj != now.prj);
  std::mt19937 random(29);
  std::uniform_int_distribution<int> delay(0, 3000);  // microseconds after the temporary files appear
  int olds = 0;
  for (int run = 0; run < 30; ++run) {
    const int wait = delay(random);
    SCOPED_TRACE("run " + std::to_string(run) + ", " + std::to_string(wait) + " us");
    for (const auto& [name, bytes] : {std::pair{"t.csv", old.csv}, std::pair{"t.prj", old.prj}}) {
      std::filesystem::remove(folder_ / name);
      if (GetParam()) testing::WriteBytes(folder_ / name, bytes);
    }
    const pid_t pid = Start(folder_.path(), convert);
    if (AwaitTemporaryFile(folder_.path(), pid, std::chrono::microseconds(100))) {  // else it ended first
      std::this_thread::sleep_for(std::chrono::microseconds(wait));
      ::kill(pid, SIGTERM);
      ASSERT_EQ(::waitpid(pid, nullptr, 0), pid);
    }
    const CsvPair found = ReadPair(folder_.path());
    EXPECT_TRUE(found == old || found == now) << "csv " << (found.csv == now.csv) << ", prj " << (found.prj == now.prj);
    olds += found == old;
    ASSERT_EQ(TemporaryFiles(folder_.path()), std::vector<std::string>{});
  }
  RecordProperty("old", olds);  // of 30: how many SIGTERMs came before the renames
}

INSTANTIATE_TEST_SUITE_P(Pairs, CsvInterruptTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "OverAnOldPair" : "WhereNoneWas"; });

}  // namespace
}  // namespace korvexa
