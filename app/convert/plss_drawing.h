// The DXF drawing of townships of a PLSS data set: their corners, labelled
// with their names, and the section lines of the data set's
// PLSSFirstDivision polygons when it has them (the corners alone
// otherwise), in the NAD83 UTM zone of the corners' middle (metres).
#pragma once

#include <span>

#include "app/convert/plss_township.h"
#include "core/township.h"

namespace korvexa {

// The drawing of the NAD83 waypoints `corners` of `townships`. Section
// lines are drawn for a NAD83 layer only; a vertex within 1 cm of a corner
// is that corner. Its first points are the corners in order, each at its
// waypoint's position, one kept of corners within 1 cm of each other; the
// lines' own vertices follow. Throws KorvexaError when there is no corner or PROJ cannot
// set up the zone.
Township PlssDrawing(const PlssTownships& townships, std::span<const Waypoint> corners);

}  // namespace korvexa
