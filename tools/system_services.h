// The services of the running program on this computer.
#pragma once

#include <filesystem>

#include "services.h"

namespace korvexa {

// The folder that holds the running program.
std::filesystem::path ProgramFolder();

// The system clock, and the transformation library and the converters where
// they are available.
Services MakeSystemServices();

}  // namespace korvexa
