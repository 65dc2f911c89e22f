// The DXF drawing of a township: an AutoCAD R12 ASCII DXF file (AC1009) for
// CAD and GIS programs, a plan in metres (z = 0), CR LF after every line.
//
//   HEADER    $ACADVER AC1009, $INSBASE 0,0, $EXTMIN/$EXTMAX around the points
//   TABLES    LTYPE CONTINUOUS; LAYER 0, POINTS (red), LABELS (green) and
//             LINES, or one RELY_... layer per reliability
//   ENTITIES  a LINE per segment, a POINT per point, a TEXT label 10 m high
//             per point with a PointID
//   EOF
//
// Numbers have 4 decimals (0.1 mm), never "-0.0000".
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "core/township.h"

namespace korvexa {

// The layer of a segment of `reliability` (columns 42 to 50) when the lines
// go on one layer per reliability: "RELY_" followed by the text without
// surrounding blanks, in capitals, every character other than A-Z, 0-9, '-'
// and '_' replaced by '_'; "RELY_NONE" when blank. " a/b" -> "RELY_A_B".
std::string ReliabilityLayer(std::string_view reliability);

// The drawing's text. With `byReliability` the segments go on their
// ReliabilityLayer instead of LINES.
std::string DxfText(const Township& township, bool byReliability);

// Where the drawing's text goes, in pieces of about 64 KiB. May throw.
using DxfSink = std::function<void(std::string_view)>;

// Gives `sink` DxfText in pieces: a county's drawing is never held whole.
void WriteDxf(const Township& township, bool byReliability, const DxfSink& sink);

// Writes DxfText atomically to `path`. Throws KorvexaError when the file
// cannot be written; the target then keeps its old content.
void WriteDxfFile(const std::filesystem::path& path, const Township& township, bool byReliability);

}  // namespace korvexa
