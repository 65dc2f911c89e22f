// Seals a test program off from what the machine has installed: PROJ finds
// the NADCON grids of the test folder and its own database and never the
// network; the C library finds the test locales. Every test main calls it
// first, so a test binary behaves the same under ctest and by hand.
#pragma once

namespace korvexa::testing {

void SealTestEnvironment();

}  // namespace korvexa::testing
