#include "tests/process/stdin_pipe.h"

#include <fcntl.h>
#include <unistd.h>

#include <future>
#include <stdexcept>

namespace korvexa::testing {

StdinPipe::StdinPipe(std::string_view bytes) {
  // Only the reading end reaches the programs started meanwhile: a program
  // that held the writing end too would never see the end of its input.
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC) != 0) throw std::runtime_error("cannot make a pipe");
  savedStdin_ = ::fcntl(STDIN_FILENO, F_DUPFD_CLOEXEC, 0);
  ::dup2(ends[0], STDIN_FILENO);
  ::close(ends[0]);
  writingEnd_ = ends[1];
  if (::write(writingEnd_, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
    throw std::runtime_error("cannot fill the pipe");
  }
}

StdinPipe::~StdinPipe() {
  CloseWritingEnd();
  ::dup2(savedStdin_, STDIN_FILENO);
  ::close(savedStdin_);
}

void StdinPipe::CloseWritingEnd() {
  if (writingEnd_ != -1) ::close(writingEnd_);
  writingEnd_ = -1;
}

std::string StdinPipe::Unread() {
  CloseWritingEnd();
  std::string rest;
  char buffer[4096];
  ssize_t got = 0;
  while ((got = ::read(STDIN_FILENO, buffer, sizeof buffer)) > 0) rest.append(buffer, static_cast<std::size_t>(got));
  return rest;
}

bool EndsWithoutInput(StdinPipe& pipe, const std::function<void()>& action, std::chrono::seconds guard) {
  std::future<void> run = std::async(std::launch::async, action);
  const bool ended = run.wait_for(guard) == std::future_status::ready;
  if (!ended) pipe.CloseWritingEnd();
  run.get();
  return ended;
}

}  // namespace korvexa::testing
