#include "app/termination_signals.h"

#include <pthread.h>

#include <csignal>
#include <cstdlib>
#include <thread>

#include "process/running_program.h"
#include "writers/temporary_files.h"

namespace korvexa {
namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

// Ends the programs started, then removes the temporary files (a program
// may rename its output over one), then ends this program by `signal`.
[[noreturn]] void EndBy(int signal) {
  EndRunningPrograms();
  RemoveTemporaryFiles();
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
  if (::sigwait(&signals, &signal) == 0) EndBy(signal);
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

}  // namespace korvexa
