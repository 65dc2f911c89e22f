#include "process/running_program.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <optional>
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
  if (::posix_spawn(&pid, command->program.c_str(), actions.get(), attributes.get(), argv.data(), environ) != 0) {
    if (errorsFile >= 0) ::close(errorsFile);
    return nullptr;
  }
  return std::unique_ptr<RunningProgram>(new RunningProgram(pid, errorsFile));
}

RunningProgram::~RunningProgram() {
  Wait();
  if (errorsFile_ >= 0) ::close(errorsFile_);
}

ProgramOutcome RunningProgram::Wait() {
  ProgramOutcome outcome;
  if (pid_ <= 0) return outcome;
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

}  // namespace korvexa
