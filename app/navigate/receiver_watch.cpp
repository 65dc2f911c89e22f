#include "app/navigate/receiver_watch.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace korvexa {
namespace {

int WholeSeconds(double seconds) {
  return static_cast<int>(std::floor(seconds));
}

}  // namespace

double ReconnectWait(int attempt) {
  double wait = 1;
  for (int i = 1; i < attempt && wait < kLongestReconnectWait; ++i) wait *= 2;
  return std::min(wait, kLongestReconnectWait);
}

void ReceiverWatch::Start(double now) {
  *this = ReceiverWatch();
  started_ = true;
  start_ = now;
}

void ReceiverWatch::Stop() {
  *this = ReceiverWatch();
}

void ReceiverWatch::HeardSentence(double now) {
  lastLine_ = lastSentence_ = now;
  reconnecting_.clear();
}

void ReceiverWatch::HeardGarbage(double now) {
  lastLine_ = now;
}

void ReceiverWatch::HeardFix(double now) {
  lastLine_ = lastSentence_ = lastFix_ = now;
  reconnecting_.clear();
}

void ReceiverWatch::Reconnecting(std::string what) {
  reconnecting_ = std::move(what);
}

// Silence is counted from when the receiver was reached again.
void ReceiverWatch::Reached(double now) {
  reconnecting_.clear();
  start_ = now;
  lastLine_.reset();
  lastSentence_.reset();
}

void ReceiverWatch::LogEnded() {
  ended_ = true;
}

void ReceiverWatch::Failed(std::string error) {
  error_ = std::move(error);
}

// A failure, a receiver tried again, a fix, the log's end, silence, noise,
// no fix, in that order:
// each later case is only asked when the earlier ones do not hold.
ReceiverStatus ReceiverWatch::Status(double now) const {
  ReceiverStatus status;
  if (!started_) return status;
  if (!error_.empty() || !reconnecting_.empty()) {
    status.state = error_.empty() ? ReceiverState::Reconnecting : ReceiverState::Failed;
    status.error = error_.empty() ? reconnecting_ : error_;
    return status;
  }
  if (lastFix_ && now - *lastFix_ < kLostAfter) {
    status.state = ReceiverState::Fix;
  } else if (ended_) {
    status.state = ReceiverState::Ended;
  } else if (now - lastLine_.value_or(start_) >= kSilentAfter) {
    status.state = ReceiverState::Silent;
    status.seconds = WholeSeconds(now - lastLine_.value_or(start_));
  } else if (!lastLine_) {
    status.state = ReceiverState::Waiting;
  } else if (now - lastSentence_.value_or(start_) >= kSilentAfter) {
    status.state = ReceiverState::Unreadable;
    status.seconds = WholeSeconds(now - lastSentence_.value_or(start_));
  } else {
    status.state = ReceiverState::NoFix;
  }
  return status;
}

}  // namespace korvexa
