#include "process/run_and_wait.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <limits>
#include <vector>

#include "core/korvexa_error.h"
#include "process/program_search.h"

extern char** environ;

namespace korvexa {
namespace {

void RequireShortShow(const std::string& commandLine, std::int32_t show) {
  if (show < std::numeric_limits<std::int16_t>::min() || show > std::numeric_limits<std::int16_t>::max()) {
    throw KorvexaError("cannot start \"" + commandLine + "\": overflow: the show value " + std::to_string(show) +
                       " does not fit a 16-bit integer (-32768 to 32767)");
  }
}

// The child's standard input: the null device.
class SpawnActions {
 public:
  SpawnActions() {
    ::posix_spawn_file_actions_init(&actions_);
    ::posix_spawn_file_actions_addopen(&actions_, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  }
  ~SpawnActions() { ::posix_spawn_file_actions_destroy(&actions_); }
  SpawnActions(const SpawnActions&) = delete;
  SpawnActions& operator=(const SpawnActions&) = delete;
  const posix_spawn_file_actions_t* get() const { return &actions_; }

 private:
  posix_spawn_file_actions_t actions_;
};

// The process id of the started program, or -1.
pid_t Start(ResolvedCommand& command) {
  std::vector<char*> argv;
  for (std::string& argument : command.argv) argv.push_back(argument.data());
  argv.push_back(nullptr);
  const SpawnActions actions;
  pid_t pid = -1;
  if (::posix_spawn(&pid, command.program.c_str(), actions.get(), nullptr, argv.data(), environ) != 0) return -1;
  return pid;
}

// Blocks until `pid` has ended (no time limit; signals to this process do not
// end the wait) and reaps it.
std::int32_t WaitFor(pid_t pid) {
  int status = 0;
  while (::waitpid(pid, &status, 0) == -1) {
    if (errno != EINTR) return kProgramNotStarted;  // reaped elsewhere (SIGCHLD ignored)
  }
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return kProgramNotStarted;
}

std::int32_t StartAndWait(const std::string& commandLine) {
  std::optional<ResolvedCommand> command = ResolveCommandLine(commandLine, CurrentProgramSearch());
  if (!command) return kProgramNotStarted;
  const pid_t pid = Start(*command);
  if (pid == -1) return kProgramNotStarted;
  return WaitFor(pid);
}

}  // namespace

std::int32_t RunAndWait(const std::string& commandLine, std::int32_t show, const std::string& title, std::int32_t x,
                        std::int32_t y, std::int32_t width, std::int32_t height, std::int32_t fillAttribute) {
  RequireShortShow(commandLine, show);
  // A Linux program has no console window to place, title or colour.
  (void)title, (void)x, (void)y, (void)width, (void)height, (void)fillAttribute;
  return StartAndWait(commandLine);
}

}  // namespace korvexa
