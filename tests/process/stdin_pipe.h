// Standard input as it is in a pipeline: a pipe that holds some bytes and
// stays open, so a program that reads it waits until the pipe is closed.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <string_view>

namespace korvexa::testing {

class StdinPipe {
 public:
  // Makes this process's standard input a pipe holding `bytes`.
  explicit StdinPipe(std::string_view bytes);
  // Closes the pipe and restores the old standard input.
  ~StdinPipe();
  StdinPipe(const StdinPipe&) = delete;
  StdinPipe& operator=(const StdinPipe&) = delete;

  // Closes the writing end: a reader then sees the end of its input.
  void CloseWritingEnd();

  // Closes the writing end and returns the bytes nobody has read.
  std::string Unread();

 private:
  int savedStdin_ = -1;
  int writingEnd_ = -1;
};

// Runs `action` on another thread while the pipe stays open. Returns true
// when it ended by itself within `guard`; otherwise closes the pipe, so that
// an action stuck reading standard input ends, waits for it and returns false.
// The guard only keeps a faulty run from hanging the tests; it measures
// nothing.
bool EndsWithoutInput(StdinPipe& pipe, const std::function<void()>& action,
                      std::chrono::seconds guard = std::chrono::seconds(60));

}  // namespace korvexa::testing
