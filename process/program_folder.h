// Where the running program lives: the external converters are looked for
// beside it.
#pragma once

#include <filesystem>

namespace korvexa {

// The folder that holds the running executable (from /proc/self/exe). Falls
// back to the current folder when the system cannot tell.
std::filesystem::path ProgramFolder();

}  // namespace korvexa
