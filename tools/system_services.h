// The services of the running program on this computer.
#pragma once

#include "services.h"

namespace korvexa {

// The system clock, and the transformation library and the converters where
// they are available.
Services MakeSystemServices();

}  // namespace korvexa
