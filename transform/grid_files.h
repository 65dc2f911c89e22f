// PROJ's file access for the NADCON grids: a grid file small enough is read
// into memory when PROJ opens it and served from there. PROJ 9.1 reads a
// CTable2 grid ("conus", "alaska", the old NADCON names) from disk on every
// lookup (about 8 us a point); held in memory it costs what a GeoTIFF grid
// costs. Other files (and write access) go to the file system as PROJ's own
// file access would. PROJ's database is only checked through here; SQLite
// reads it on its own.
#pragma once

#include <proj.h>

#include <cstddef>

namespace korvexa::prolat {

// Files up to this size are held in memory while open (the NADCON grids
// are 0.2 to 1.5 MB); PROJ's database (8 MB, opened once to be checked) and
// larger files are read from disk.
inline constexpr std::size_t kLargestHeldGridFile = std::size_t{4} << 20;

// The file access Korvexa's PROJ contexts use; it needs no user data.
const PROJ_FILE_API& HeldGridFileApi();

// Makes `context` use HeldGridFileApi. Returns false when PROJ refuses.
bool HoldGridFilesInMemory(PJ_CONTEXT* context);

}  // namespace korvexa::prolat
