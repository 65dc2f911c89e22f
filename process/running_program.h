// A program started from a command line (see program_search.h), running
// beside the caller until it is waited for.
//
// The program inherits the environment, the current folder and standard
// output; its standard input is the null device, so a program that would
// read input ends at once instead of taking the caller's input or waiting for
// a user who sees no window. Its standard error is the caller's, or a file
// whose text Wait returns. It starts with no signal blocked, whatever the
// caller blocks (signals the caller ignores stay ignored).
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

namespace korvexa {

// What RunAndWait and ProgramOutcome give when no program could be started:
// no prefix of the command line names an executable file, or the system
// refused to start it. Never an exit status of a POSIX program (0 to 255).
inline constexpr std::int32_t kProgramNotStarted = -1;

struct ProgramOutcome {
  std::int32_t exitCode = kProgramNotStarted;  // 128 + the signal when a signal ended it
  std::string errors;                          // its standard error, when captured
};

class RunningProgram {
 public:
  // Starts `commandLine`; with `captureErrors` the program's standard error
  // is kept for Wait. Nothing when no program could be started.
  static std::unique_ptr<RunningProgram> Start(const std::string& commandLine, bool captureErrors);

  // A program not waited for is waited for here: it may be writing a file.
  ~RunningProgram();
  RunningProgram(const RunningProgram&) = delete;
  RunningProgram& operator=(const RunningProgram&) = delete;

  // Blocks until the program has ended (no time limit; signals to this
  // process do not end the wait), reaps it and returns its outcome.
  ProgramOutcome Wait();

 private:
  RunningProgram(pid_t pid, int errorsFile) : pid_(pid), errorsFile_(errorsFile) {}

  pid_t pid_;
  int errorsFile_;  // -1 unless captured
};

// For the end of the program, when a signal ends it (app/termination_signals.h):
// ends every program started and not yet waited for, with SIGTERM, and
// SIGKILL for one that has not ended kEndPatience later; waits until they
// have ended (without reaping them) and starts no program from then on. A
// program that renames its output over the caller's temporary file (lx2dxf
// --output) is then done before the caller removes that file.
inline constexpr std::chrono::milliseconds kEndPatience{2000};
void EndRunningPrograms();

}  // namespace korvexa
