#include "process/running_program.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <mutex>
#include <optional>
#include <set>
#include <thread>
#include <vector>

#include "process/program_search.h"

extern char** environ;

namespace korvexa {
namespace {

// What is kept of a program's standard error: enough for any reason.
constexpr std::size_t kErrorsLimit = 1 << 16;

// The child's standard input is the null device, its standard error
// `errorsFile` when that is open.
class SpawnActions {
 public:
  explicit SpawnActions(int errorsFile) {
    ::posix_spawn_file_actions_init(&actions_);
    ::posix_spawn_file_actions_addopen(&actions_, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    if (errorsFile >= 0) ::posix_spawn_file_actions_adddup2(&actions_, errorsFile, STDERR_FILENO);
  }
  ~SpawnActions() { ::posix_spawn_file_actions_destroy(&actions_); }
  SpawnActions(const SpawnActions&) = delete;
  SpawnActions& operator=(const SpawnActions&) = delete;
  const posix_spawn_file_actions_t* get() const { return &actions_; }

 private:
  posix_spawn_file_actions_t actions_;
};

// The child starts with no signal blocked: the caller blocks SIGTERM, SIGINT
// and SIGHUP in every thread to take them in one of its own
// (writers/temporary_files.h), which the child must not inherit.
class SpawnAttributes {
 public:
  SpawnAttributes() {
    ::posix_spawnattr_init(&attributes_);
    sigset_t none;
    sigemptyset(&none);
    ::posix_spawnattr_setsigmask(&attributes_, &none);
    ::posix_spawnattr_setflags(&attributes_, POSIX_SPAWN_SETSIGMASK);
  }
  ~SpawnAttributes() { ::posix_spawnattr_destroy(&attributes_); }
  SpawnAttributes(const SpawnAttributes&) = delete;
  SpawnAttributes& operator=(const SpawnAttributes&) = delete;
  const posix_spawnattr_t* get() const { return &attributes_; }

 private:
  posix_spawnattr_t attributes_;
};

// The programs started and not yet reaped, under the lock that makes
// starting one and remembering it one step. A pid stays here until its
// program is reaped, so it never names another process. Never destroyed: the
// end of the program may still need them while statics go away.
struct Running {
  std::mutex lock;
  std::set<pid_t> pids;
};

Running& TheRunning() {
  static Running* const running = new Running;
  return *running;
}

// Waits until `pid` has ended without reaping it, or until `deadline` when
// one is given. True when it has ended (or is not this process's child).
bool AwaitEnd(pid_t pid, std::optional<std::chrono::steady_clock::time_point> deadline) {
  while (true) {
    siginfo_t info{};
    const int flags = WEXITED | WNOWAIT | (deadline ? WNOHANG : 0);
    if (::waitid(P_PID, static_cast<id_t>(pid), &info, flags) == -1) {
      if (errno == EINTR) continue;
      return true;
    }
    if (info.si_pid != 0) return true;
    if (std::chrono::steady_clock::now() >= *deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

// An unnamed temporary file for the child's standard error, or -1.
int OpenErrorsFile() {
  std::FILE* file = std::tmpfile();
  if (file == nullptr) return -1;
  const int fd = ::dup(::fileno(file));
  std::fclose(file);
  if (fd >= 0) ::fcntl(fd, F_SETFD, FD_CLOEXEC);
  return fd;
}

std::string ReadErrors(int fd) {
  std::string text;
  if (fd < 0 || ::lseek(fd, 0, SEEK_SET) != 0) return text;
  char buffer[4096];
  ssize_t got = 0;
  while (text.size() < kErrorsLimit && (got = ::read(fd, buffer, sizeof buffer)) > 0) {
    text.append(buffer, static_cast<std::size_t>(got));
  }
  return text;
}

}  // namespace

std::unique_ptr<RunningProgram> RunningProgram::Start(const std::string& commandLine, bool captureErrors) {
  std::optional<ResolvedCommand> command = ResolveCommandLine(commandLine, CurrentProgramSearch());
  if (!command) return nullptr;
  std::vector<char*> argv;
  for (std::string& argument : command->argv) argv.push_back(argument.data());
  argv.push_back(nullptr);
  const int errorsFile = captureErrors ? OpenErrorsFile() : -1;
  const SpawnActions actions(errorsFile);
  const SpawnAttributes attributes;
  pid_t pid = -1;
  Running& running = TheRunning();
  const std::lock_guard lock(running.lock);
  if (::posix_spawn(&pid, command->program.c_str(), actions.get(), attributes.get(), argv.data(), environ) != 0) {
    if (errorsFile >= 0) ::close(errorsFile);
    return nullptr;
  }
  running.pids.insert(pid);
  return std::unique_ptr<RunningProgram>(new RunningProgram(pid, errorsFile));
}

RunningProgram::~RunningProgram() {
  Wait();
  if (errorsFile_ >= 0) ::close(errorsFile_);
}

ProgramOutcome RunningProgram::Wait() {
  ProgramOutcome outcome;
  if (pid_ <= 0) return outcome;
  AwaitEnd(pid_, std::nullopt);
  {
    Running& running = TheRunning();
    const std::lock_guard lock(running.lock);
    running.pids.erase(pid_);
  }
  int status = 0;
  pid_t reaped = -1;
  while ((reaped = ::waitpid(pid_, &status, 0)) == -1 && errno == EINTR) {
  }
  pid_ = 0;
  if (reaped == -1) return outcome;  // reaped elsewhere (SIGCHLD ignored)
  if (WIFEXITED(status)) outcome.exitCode = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) outcome.exitCode = 128 + WTERMSIG(status);
  outcome.errors = ReadErrors(errorsFile_);
  return outcome;
}

void EndRunningPrograms() {
  Running& running = TheRunning();
  running.lock.lock();  // kept: no program starts after this
  for (const pid_t pid : running.pids) ::kill(pid, SIGTERM);
  const auto deadline = std::chrono::steady_clock::now() + kEndPatience;
  for (const pid_t pid : running.pids) {
    if (AwaitEnd(pid, deadline)) continue;
    ::kill(pid, SIGKILL);
    AwaitEnd(pid, std::nullopt);
  }
}

}  // namespace korvexa
