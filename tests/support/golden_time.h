// The time the golden files were written at.
#pragma once

#include "core/clock.h"

namespace korvexa::testing {

// The clock of the golden files: 6 December 2026, 14:03:27 local, 21:03:27 UTC.
inline constexpr ClockReading kDecember6 = {{2026, 12, 6, 14, 3, 27}, {2026, 12, 6, 21, 3, 27}};

}  // namespace korvexa::testing
