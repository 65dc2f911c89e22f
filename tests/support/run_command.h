// Runs a shell command line and collects what it printed, for end-to-end tests.
#pragma once

#include <string>

namespace korvexa::testing {

struct CommandOutput {
  int exitCode = -1;
  std::string out;
  std::string err;
};

// Runs `commandLine` through /bin/sh.
CommandOutput RunCommand(const std::string& commandLine);

// `text` quoted for /bin/sh.
std::string ShellQuoted(const std::string& text);

}  // namespace korvexa::testing
