#include "run_and_wait.h"

#include <limits>

#include "korvexa_error.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "program_search.h"

extern char** environ;
#endif

namespace korvexa {
namespace {

void RequireShortShow(const std::string& commandLine, std::int32_t show) {
  if (show < std::numeric_limits<std::int16_t>::min() || show > std::numeric_limits<std::int16_t>::max()) {
    throw KorvexaError("cannot start \"" + commandLine + "\": overflow: the show value " + std::to_string(show) +
                       " does not fit a 16-bit integer (-32768 to 32767)");
  }
}

#ifdef _WIN32

// The program's console window as the arguments describe it.
STARTUPINFOA StartupRecord(std::string& title, std::int32_t show, std::int32_t x, std::int32_t y, std::int32_t width,
                           std::int32_t height, std::int32_t fillAttribute) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.lpTitle = title.data();
  startup.dwX = static_cast<DWORD>(x);
  startup.dwY = static_cast<DWORD>(y);
  startup.dwXSize = static_cast<DWORD>(width);
  startup.dwYSize = static_cast<DWORD>(height);
  startup.dwFillAttribute = static_cast<DWORD>(fillAttribute);
  startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESIZE | STARTF_USEPOSITION | STARTF_USEFILLATTRIBUTE;
  startup.wShowWindow = static_cast<WORD>(show);
  return startup;
}

std::int32_t StartAndWait(const std::string& commandLine, std::int32_t show, const std::string& title, std::int32_t x,
                          std::int32_t y, std::int32_t width, std::int32_t height, std::int32_t fillAttribute) {
  std::string line = commandLine;  // CreateProcessA may write into the line
  std::string titleCopy = title;
  STARTUPINFOA startup = StartupRecord(titleCopy, show, x, y, width, height, fillAttribute);
  PROCESS_INFORMATION process{};
  if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, NORMAL_PRIORITY_CLASS, nullptr, nullptr, &startup,
                        &process)) {
    return kProgramNotStarted;
  }
  ::WaitForSingleObject(process.hProcess, INFINITE);
  DWORD exitCode = 0;
  ::GetExitCodeProcess(process.hProcess, &exitCode);
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  return static_cast<std::int32_t>(exitCode);
}

#else

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

#endif

}  // namespace

std::int32_t RunAndWait(const std::string& commandLine, std::int32_t show, const std::string& title, std::int32_t x,
                        std::int32_t y, std::int32_t width, std::int32_t height, std::int32_t fillAttribute) {
  RequireShortShow(commandLine, show);
#ifdef _WIN32
  return StartAndWait(commandLine, show, title, x, y, width, height, fillAttribute);
#else
  // A Linux program has no console window to place, title or colour.
  (void)title, (void)x, (void)y, (void)width, (void)height, (void)fillAttribute;
  return StartAndWait(commandLine);
#endif
}

}  // namespace korvexa
