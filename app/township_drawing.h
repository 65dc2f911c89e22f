// The township of a .LX file as the drawing shows it, and lx2dxf's job:
// read the chains, decode and project every point to the NAD27 UTM zone of
// the township, and write the DXF drawing beside the file.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "core/township.h"

namespace korvexa {

// The township of the .LX text `text` (the file `fileName`, named in
// messages): every distinct point, decoded (NAD27) and projected to the UTM
// zone of the township's mean longitude, and the segments of its chains
// (none between a point and itself).
// Throws KorvexaError naming the file when it holds no points, a point lies
// more than 3 degrees from the median of all points (a record without
// coordinates reads as 0 N 0 W), the township lies outside the NAD27 UTM
// zones 1 to 22, or a point cannot be decoded or projected.
Township ProjectTownship(std::string_view text, const std::string& fileName);

// The drawing's name: `lxFile` with its extension replaced by ".dxf".
// Throws KorvexaError when that is `lxFile` itself.
std::filesystem::path DrawingPath(const std::string& lxFile);

// Reads `lxFile` and writes its drawing to DrawingPath(lxFile), completely or
// not at all; with `byReliability` the lines go on one layer per
// reliability. Throws KorvexaError saying why nothing was written.
void WriteTownshipDrawing(const std::string& lxFile, bool byReliability);

}  // namespace korvexa
