// The services of the running program on this computer.
#pragma once

#include <string>

#include "app/services.h"

namespace korvexa {

// The system clock, the NADCON transformation (grids found by PROJ first,
// then those shipped beside the program) and the two converters.
Services MakeSystemServices();

// Which file serves each NADCON grid, one line each, with the shipped grids
// in use as MakeSystemServices sets them up.
std::string SystemGridReport();

}  // namespace korvexa
