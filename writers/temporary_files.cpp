#include "writers/temporary_files.h"

#include <pthread.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <map>
#include <mutex>
#include <new>
#include <thread>

namespace korvexa {
namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

// The files made and not yet forgotten, by slot, under the lock that makes
// making and remembering one step. Never destroyed: the signal thread may
// still take them while the program's statics go away at its end.
struct Remembered {
  std::mutex lock;
  std::map<int, std::string> files;
  int nextSlot = 0;
};

Remembered& TheRemembered() {
  static Remembered* const remembered = new Remembered;
  return *remembered;
}

// Removes every remembered file and ends the program by `signal`. Keeps the
// lock to the end, so that no other thread makes a file after the removal.
[[noreturn]] void RemoveTemporaryFilesAndEnd(int signal) {
  Remembered& remembered = TheRemembered();
  remembered.lock.lock();
  for (const auto& [slot, path] : remembered.files) ::unlink(path.c_str());
  std::signal(signal, SIG_DFL);
  sigset_t only;
  sigemptyset(&only);
  sigaddset(&only, signal);
  ::pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
  ::raise(signal);  // to this thread, where it is now unblocked: the default action ends the program
  std::_Exit(128 + signal);
}

void TakeSignals(sigset_t signals) {
  int signal = 0;
  if (::sigwait(&signals, &signal) == 0) RemoveTemporaryFilesAndEnd(signal);
}

}  // namespace

void TakeTerminationSignals() {
  sigset_t signals;
  sigemptyset(&signals);
  for (const int signal : kSignals) {
    struct sigaction current {};
    if (::sigaction(signal, nullptr, &current) == 0 && current.sa_handler != SIG_IGN) sigaddset(&signals, signal);
  }
  if (sigisemptyset(&signals)) return;
  ::pthread_sigmask(SIG_BLOCK, &signals, nullptr);
  std::thread(TakeSignals, signals).detach();
}

int CreateTemporaryFile(std::string& pattern, int& slot) {
  Remembered& remembered = TheRemembered();
  const std::lock_guard lock(remembered.lock);
  slot = -1;
  const int fd = ::mkstemp(pattern.data());
  if (fd < 0) return fd;
  try {
    remembered.files.emplace(remembered.nextSlot, pattern);
  } catch (const std::bad_alloc&) {
    ::close(fd);
    ::unlink(pattern.c_str());
    errno = ENOMEM;
    return -1;
  }
  slot = remembered.nextSlot++;
  return fd;
}

void ForgetTemporaryFile(int slot) {
  if (slot < 0) return;
  Remembered& remembered = TheRemembered();
  const std::lock_guard lock(remembered.lock);
  remembered.files.erase(slot);
}

}  // namespace korvexa
