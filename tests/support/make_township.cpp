// make_township: writes a synthetic .LX file of townships laid side by side,
// for the smoke test, the screenshots and the peer comparison.
// usage: korvexa_make_township OUTPUT.lx [TOWNSHIPS]
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "temp_folder.h"
#include "township.h"

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fputs("usage: korvexa_make_township OUTPUT.lx [TOWNSHIPS]\n", stderr);
    return 2;
  }
  const long townships = argc == 3 ? std::strtol(argv[2], nullptr, 10) : 1;
  if (townships < 1) {
    std::fputs("error: TOWNSHIPS must be a whole number of 1 or more\n", stderr);
    return 2;
  }
  try {
    korvexa::testing::WriteBytes(argv[1], korvexa::testing::SyntheticLxText(static_cast<std::size_t>(townships)));
  } catch (const std::exception& error) {
    std::fprintf(stderr, "error: %s\n", error.what());
    return 1;
  }
  return 0;
}
