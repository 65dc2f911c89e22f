// Starting one command line as a process and waiting for its end.
//
// The caller blocks without a time limit until the program has ended. The
// program inherits the environment, the current folder, standard output and
// standard error; its standard input is the null device, so a program that
// would read input (todos without a file name) ends at once instead of taking
// the caller's input or waiting for a user who sees no window. Every process
// resource is released before the call returns.
#pragma once

#include <cstdint>
#include <string>

#include "process/running_program.h"

namespace korvexa {

// Runs `commandLine` (see program_search.h for how it names its program and
// arguments: split at blanks, double quotes grouping) and returns the program's exit
// status unchanged, 128 + the signal number when a signal ended it, or
// kProgramNotStarted at once when it could not be started.
//
// `show` is the window's show state (0 hides it). It must lie in the 16-bit
// signed range -32768 to 32767; any other value throws KorvexaError (an
// overflow) before anything is started. `title`, `x`, `y`, `width`, `height`
// (pixels) and `fillAttribute` (console colours) place the program's console
// window on Windows; a Linux program has no such window, so there they are
// checked for nothing and used for nothing.
std::int32_t RunAndWait(const std::string& commandLine, std::int32_t show, const std::string& title, std::int32_t x,
                        std::int32_t y, std::int32_t width, std::int32_t height, std::int32_t fillAttribute);

}  // namespace korvexa
