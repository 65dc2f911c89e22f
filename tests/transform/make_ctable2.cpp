// korvexa_make_ctable2 GRID_FOLDER FOLDER: the CTable2 twins "conus" and
// "alaska" of the GeoTIFF grids in GRID_FOLDER, written into FOLDER, for
// timing the old grid format (bench/compare-peers --ctable2).
#include <cstdio>
#include <exception>
#include <filesystem>

#include "tests/transform/ctable2_grid.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fputs("usage: korvexa_make_ctable2 GRID_FOLDER FOLDER\n", stderr);
    return 2;
  }
  try {
    const std::filesystem::path folder = argv[2];
    korvexa::testing::WriteCTable2Twin(argv[1], "us_noaa_conus.tif", folder / "conus");
    korvexa::testing::WriteCTable2Twin(argv[1], "us_noaa_alaska.tif", folder / "alaska");
  } catch (const std::exception& error) {
    std::fprintf(stderr, "error: %s\n", error.what());
    return 1;
  }
  return 0;
}
