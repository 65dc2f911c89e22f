// A CTable2 grid (PROJ's binary form of the old NADCON files "conus",
// "alaska") made from a GeoTIFF grid, for the tests of that grid format:
// every node's shift is the GeoTIFF grid's shift at that node, read through
// PROJ. No CTable2 grid ships with the project.
#pragma once

#include <filesystem>
#include <string>

namespace korvexa::testing {

// Writes to `output` the CTable2 twin of the GeoTIFF grid `gridName` found in
// `gridFolder` ("us_noaa_conus.tif"). Throws std::runtime_error on failure.
void WriteCTable2Twin(const std::string& gridFolder, const std::string& gridName, const std::filesystem::path& output);

}  // namespace korvexa::testing
