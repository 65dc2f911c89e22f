// The window process ended by SIGTERM at random moments while Create writes
// its waypoint file and has lx2dxf draw: no temporary file is left, the
// window's nor the drawing's.
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

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

using Clock = std::chrono::steady_clock;

std::vector<std::string> TemporaryFiles(const std::filesystem::path& folder) {
  std::vector<std::string> hidden;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.path().filename().string().starts_with('.')) hidden.push_back(entry.path().filename().string());
  }
  return hidden;
}

// True once a temporary file is in `folder`; false when `pid` ended first.
bool AwaitTemporaryFile(const std::filesystem::path& folder, pid_t pid) {
  for (const auto until = Clock::now() + std::chrono::seconds(60); Clock::now() < until;) {
    if (!TemporaryFiles(folder).empty()) return true;
    if (::waitpid(pid, nullptr, WNOHANG) == pid) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return false;
}

TEST(WindowInterruptTest, TheWindowEndedBySigtermLeavesNoTemporaryFile) {
  testing::TempFolder folder;
  testing::WriteBytes(folder / "big.lx", testing::SyntheticLxText(60));
  std::string file = (folder / "big.lx").string();
  std::string program = KORVEXA_WINDOW_WRITER;
  char* argv[] = {program.data(), file.data(), nullptr};
  const unsigned seed = std::random_device()();
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> delay(0, 400);  // ms, about one Create
  for (int run = 0; run < 30; ++run) {
    const int wait = delay(random);
    SCOPED_TRACE("seed " + std::to_string(seed) + ", run " + std::to_string(run) + ", " + std::to_string(wait) +
                 " ms after the first temporary file");
    pid_t pid = -1;
    ASSERT_EQ(::posix_spawn(&pid, argv[0], nullptr, nullptr, argv, environ), 0);
    ASSERT_TRUE(AwaitTemporaryFile(folder.path(), pid)) << "the window ended before it wrote";
    std::this_thread::sleep_for(std::chrono::milliseconds(wait));
    ::kill(pid, SIGTERM);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << "status " << status;
    // lx2dxf ends with the window, removing its own temporary file.
    for (const auto until = Clock::now() + std::chrono::seconds(10);
         !TemporaryFiles(folder.path()).empty() && Clock::now() < until;) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ASSERT_EQ(TemporaryFiles(folder.path()), std::vector<std::string>{});
  }
}

}  // namespace
}  // namespace korvexa
