#include "writers/in_order_blocks.h"

#include <exception>

#include "core/clock.h"
#include "core/coordinate_transform.h"

namespace korvexa {

namespace {

bool UseTwoThreads(Threads threads, std::size_t count, bool workIsThreadSafe) {
  switch (threads) {
    case Threads::One:
      return false;
    case Threads::Two:
      return true;
    case Threads::Automatic:
      break;
  }
  return count >= kTwoThreadsFrom && workIsThreadSafe && std::thread::hardware_concurrency() >= 2;
}

}  // namespace

std::unique_ptr<HelperThread> HelperThreadFor(Threads threads, std::size_t count, const Clock& clock,
                                              const CoordinateTransform* transform) {
  const bool threadSafe = clock.ThreadSafe() && (transform == nullptr || transform->ThreadSafe());
  if (!UseTwoThreads(threads, count, threadSafe)) return nullptr;
  return std::make_unique<HelperThread>();
}

void RunSideBySide(HelperThread& helper, const std::function<void()>& mine, const std::function<void()>& theirs) {
  std::exception_ptr theirFailure;
  helper.Start([&] {
    try {
      theirs();
    } catch (...) {
      theirFailure = std::current_exception();
    }
  });
  try {
    mine();
  } catch (...) {
    helper.Wait();  // theirs() may still use what unwinding would destroy
    throw;
  }
  helper.Wait();
  if (theirFailure) std::rethrow_exception(theirFailure);
}

HelperThread::HelperThread() : thread_([this] { Loop(); }) {}

HelperThread::~HelperThread() {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  wake_.notify_all();
  thread_.join();
}

void HelperThread::Start(std::function<void()> task) {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    task_ = std::move(task);
    busy_ = true;
  }
  wake_.notify_all();
}

void HelperThread::Wait() {
  std::unique_lock<std::mutex> lock(mutex_);
  done_.wait(lock, [this] { return !busy_; });
}

void HelperThread::Loop() {
  while (true) {
    std::function<void()> task;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      wake_.wait(lock, [this] { return stop_ || task_ != nullptr; });
      if (task_ == nullptr) return;  // stopped with nothing to do
      task = std::move(task_);
      task_ = nullptr;
    }
    task();
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      busy_ = false;
    }
    done_.notify_all();
  }
}

}  // namespace korvexa
