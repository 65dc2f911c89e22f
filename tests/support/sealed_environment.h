// Seals a test program off from what the machine has installed: PROJ finds
// the system's database in a folder of its own, a fresh, empty user folder,
// and never the network; the grids are the ones the project ships. The C
// library finds the test locales. Every test main calls it first, so a test
// binary behaves the same under ctest and by hand, and the programs it starts
// inherit the same environment.
#pragma once

namespace korvexa::testing {

void SealTestEnvironment();

}  // namespace korvexa::testing
