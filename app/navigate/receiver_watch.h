// What the navigator can say about its receiver, from when it last heard
// what: a position is shown as current only while fixes keep coming, and a
// receiver that stops talking, talks noise or has no fix is named as such.
// Times are seconds on any clock that only runs forward (the caller's), so
// tests can move time on by hand.
#pragma once

#include <optional>
#include <string>

namespace korvexa {

enum class ReceiverState {
  Off,           // not started, or stopped
  Waiting,       // started; nothing heard yet
  Silent,        // nothing heard for kSilentAfter seconds
  Unreadable,    // lines arrive, but no sentence with a good checksum for kSilentAfter seconds
  NoFix,         // sentences arrive, but no fix for kLostAfter seconds (or none yet)
  Fix,           // the last fix is less than kLostAfter seconds old
  Ended,         // a replayed log has nothing more, and its last fix has aged
  Failed,        // the receiver could not be opened, or went away, for good
  Reconnecting,  // it could not be opened or went away; it is tried again
};

// How long to wait before try `attempt` (1 for the first try again) of a
// receiver that could not be reached: 1 s, then twice as long each try, at
// most kLongestReconnectWait.
inline constexpr double kLongestReconnectWait = 10;  // seconds
double ReconnectWait(int attempt);

struct ReceiverStatus {
  ReceiverState state = ReceiverState::Off;
  int seconds = 0;    // Silent, Unreadable: whole seconds since the last line or sentence
  std::string error;  // Failed, Reconnecting: why, and what happens
};

class ReceiverWatch {
 public:
  static constexpr double kSilentAfter = 10;  // seconds
  static constexpr double kLostAfter = 5;     // seconds

  // Listening from `now` on; forgets everything heard before.
  void Start(double now);
  void Stop();

  void HeardSentence(double now);  // a sentence with a good checksum
  void HeardGarbage(double now);   // a line that was not one
  void HeardFix(double now);       // a position
  void LogEnded();                 // a replayed log has no more lines
  void Failed(std::string error);  // the receiver is gone; until the next Start
  // The receiver could not be reached and is tried again; `what` says so
  // until it is reached again (Reached) or a sentence comes.
  void Reconnecting(std::string what);
  void Reached(double now);

  ReceiverStatus Status(double now) const;
  // True while the last position may be shown as where the receiver is.
  bool PositionCurrent(double now) const { return Status(now).state == ReceiverState::Fix; }

 private:
  bool started_ = false;
  bool ended_ = false;
  std::string error_;
  std::string reconnecting_;
  double start_ = 0;
  std::optional<double> lastLine_;      // any line, sentence or not
  std::optional<double> lastSentence_;  // a sentence with a good checksum
  std::optional<double> lastFix_;
};

}  // namespace korvexa
