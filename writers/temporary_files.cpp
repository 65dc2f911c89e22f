#include "writers/temporary_files.h"

#include <limits.h>
#include <unistd.h>

#include <csignal>
#include <cstring>

namespace korvexa {
namespace {

// More than any run has at once: Create writes a waypoint file and a drawing.
constexpr int kSlots = 8;
constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

// Filled before they are marked in use, so that a signal handler sees only
// whole names; the handler may only call async-signal-safe functions.
char paths[kSlots][PATH_MAX];
volatile std::sig_atomic_t inUse[kSlots];
bool installed = false;

extern "C" void RemoveTemporaryFilesAndEnd(int signal) {
  for (int slot = 0; slot < kSlots; ++slot) {
    if (inUse[slot] != 0) ::unlink(paths[slot]);
  }
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

void InstallHandlers() {
  for (const int signal : kSignals) {
    struct sigaction current {};
    if (::sigaction(signal, nullptr, &current) != 0 || current.sa_handler == SIG_IGN) continue;
    struct sigaction removing {};
    removing.sa_handler = RemoveTemporaryFilesAndEnd;
    sigemptyset(&removing.sa_mask);
    for (const int other : kSignals) sigaddset(&removing.sa_mask, other);
    ::sigaction(signal, &removing, nullptr);
  }
  installed = true;
}

// The slot `path` now has, or -1.
int Remember(const char* path) {
  if (std::strlen(path) >= PATH_MAX) return -1;
  for (int slot = 0; slot < kSlots; ++slot) {
    if (inUse[slot] != 0) continue;
    std::strcpy(paths[slot], path);
    inUse[slot] = 1;
    return slot;
  }
  return -1;
}

}  // namespace

int CreateTemporaryFile(std::string& pattern, int& slot) {
  if (!installed) InstallHandlers();
  sigset_t signals, before;
  sigemptyset(&signals);
  for (const int signal : kSignals) sigaddset(&signals, signal);
  ::sigprocmask(SIG_BLOCK, &signals, &before);  // a signal now waits until the file is remembered
  const int fd = ::mkstemp(pattern.data());
  const int error = errno;
  slot = fd >= 0 ? Remember(pattern.c_str()) : -1;
  ::sigprocmask(SIG_SETMASK, &before, nullptr);
  errno = error;
  return fd;
}

void ForgetTemporaryFile(int slot) {
  if (slot >= 0 && slot < kSlots) inUse[slot] = 0;
}

}  // namespace korvexa
