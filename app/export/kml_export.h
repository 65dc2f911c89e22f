// File > Export > "Google Earth (KML)..." and korvexa-convert --format kml:
// the ticked corners and the township's surveyed lines as KML 2.2.
//
// KML positions are WGS 84 by definition, so the corners are always moved to
// NAD83 with the NADCON grids (within 1 to 2 m of WGS 84), whatever the
// transformation option says; the status names the datum. The corners are
// the finished waypoints of every output (app/convert/waypoints.h); the lines are
// the chains the map and the drawing show (core/chains.h), each point checked
// by the same rule (core/usable_point.h) and shifted the same way.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "app/export/export_result.h"
#include "app/export/export_step.h"
#include "core/point_list.h"
#include "writers/kml_writer.h"

namespace korvexa {

struct Services;

// Writes the ticked corners of `points` and the lines of `text` (the loaded
// file's whole text) to `path`, in a document named `fName`, the corners
// named by `naming`. Throws NothingToWrite when nothing usable is ticked, and
// KorvexaError naming the step and the reason; nothing is written then.
ExportResult ExportKml(const std::filesystem::path& path, const std::string& fName, const PointList& points,
                       std::string_view text, const NamingRule& naming, Services& services);

}  // namespace korvexa
