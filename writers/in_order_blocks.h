// Work on a long list of waypoints shared between the calling thread and one
// more, with the results taken in list order: what lets a writer use both
// cores of a machine on a county's file and still write it line for line as
// one thread would.
#pragma once

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace korvexa {

class Clock;
class CoordinateTransform;

// How many threads a writer may use. Automatic: two for a list of
// kTwoThreadsFrom waypoints or more when the machine has two cores and the
// clock and the transformation allow it, else one.
enum class Threads { Automatic, One, Two };

inline constexpr std::size_t kTwoThreadsFrom = 16384;

// The waypoints a writer turns into text at a time: about 1 MB of GPX.
inline constexpr std::size_t kWaypointsPerBlock = 4096;

// A second thread that runs one task at a time, for as long as it lives.
class HelperThread {
 public:
  HelperThread();
  ~HelperThread();
  HelperThread(const HelperThread&) = delete;
  HelperThread& operator=(const HelperThread&) = delete;

  // Runs `task` on the helper; the task before must have been waited for.
  void Start(std::function<void()> task);
  // Waits until the task has ended.
  void Wait();

 private:
  void Loop();

  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable done_;
  std::function<void()> task_;
  bool busy_ = false;
  bool stop_ = false;
  std::thread thread_;  // started last, when the members it uses exist
};

// The second thread for writing `count` waypoints, or none when `threads`
// means one: Automatic gives two only when the clock and the transformation
// (if any) may be called from both threads at once.
std::unique_ptr<HelperThread> HelperThreadFor(Threads threads, std::size_t count, const Clock& clock,
                                              const CoordinateTransform* transform);

// Runs mine() on the calling thread while theirs() runs on `helper`, and
// returns when both have ended. A failure of either is rethrown then, mine's
// first when both fail.
void RunSideBySide(HelperThread& helper, const std::function<void()>& mine, const std::function<void()>& theirs);

// Splits [0, count) into blocks of `blockSize`, runs work(first, last, result)
// for each block (the odd blocks on `helper` when it is given) and calls
// take(result) for every block in list order. `result` objects are reused
// from block to block. The first failure in list order is rethrown, once the
// helper has stopped.
template <typename Result, typename Work, typename Take>
void ForEachBlockInOrder(std::size_t count, std::size_t blockSize, HelperThread* helper, Work work, Take take) {
  Result mine;
  Result theirs;
  const std::size_t step = helper != nullptr ? 2 * blockSize : blockSize;
  for (std::size_t first = 0; first < count; first += step) {
    const std::size_t middle = std::min(first + blockSize, count);
    const std::size_t last = std::min(first + step, count);
    if (middle < last) {
      RunSideBySide(
          *helper, [&] { work(first, middle, mine); }, [&] { work(middle, last, theirs); });
    } else {
      work(first, middle, mine);
    }
    take(mine);
    if (middle < last) take(theirs);
  }
}

}  // namespace korvexa
