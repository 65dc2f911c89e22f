#include "tests/support/run_command.h"

#include <sys/wait.h>

#include <cstdio>
#include <stdexcept>

#include "tests/support/temp_folder.h"

namespace korvexa::testing {

std::string ShellQuoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

CommandOutput RunCommand(const std::string& commandLine) {
  TempFolder capture;
  const std::string full = "( " + commandLine + " ) >" + ShellQuoted((capture / "out").string()) + " 2>" +
                           ShellQuoted((capture / "err").string());
  const int status = std::system(full.c_str());
  if (status == -1) throw std::runtime_error("cannot run " + commandLine);
  CommandOutput output;
  output.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  output.out = ReadBytes(capture / "out");
  output.err = ReadBytes(capture / "err");
  return output;
}

}  // namespace korvexa::testing
