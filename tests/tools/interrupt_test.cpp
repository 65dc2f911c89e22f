// A conversion ended by a signal half way leaves no temporary file behind,
// and a drawing whose program ends with it; so does the window process,
// ended at random moments while Create writes.
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "fixtures/synthetic_township.h"
#include "tests/support/temp_folder.h"

extern char** environ;

namespace korvexa {
namespace {

// The hidden temporary files in `folder`.
std::vector<std::string> TemporaryFiles(const std::filesystem::path& folder) {
  std::vector<std::string> hidden;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.path().filename().string().starts_with('.')) hidden.push_back(entry.path().filename().string());
  }
  return hidden;
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
bool AwaitTemporaryFile(const std::filesystem::path& folder, pid_t pid) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (std::chrono::steady_clock::now() < until) {
    if (!TemporaryFiles(folder).empty()) return true;
    if (::waitpid(pid, nullptr, WNOHANG) == pid) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return false;
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

}  // namespace
}  // namespace korvexa
