// File > Export > "Send to GPS" and korvexa-convert --send-to-gps: the GPX
// file of the ticked corners, the same bytes Create writes with the NAD27 to
// NAD83 transformation, put into the folder where a mounted Garmin unit picks
// up GPX files, under the township's name ("t12n.gpx"), atomically: the unit
// finds either the complete new file or the old one.
#pragma once

#include <span>
#include <string>

#include "app/export/export_result.h"
#include "app/export/export_step.h"
#include "app/export/garmin_unit.h"
#include "core/clock.h"
#include "core/point_list.h"

namespace korvexa {

struct Services;

// Writes the ticked corners of `points` of the file `fName` to `unit`,
// creating its GPX folder when the unit has none yet. Throws KorvexaError
// naming the step and the reason, NothingToWrite when nothing usable is
// ticked; nothing is written then.
ExportResult SendToGps(const GarminUnit& unit, const std::string& fName, const PointList& points,
                       const NamingRule& naming, Services& services);

// SendToGps for the finished NAD83 waypoints of another source of corners.
ExportResult SendToGps(const GarminUnit& unit, const std::string& fName, WaypointList corners,
                       const NamingRule& naming, const Clock& clock);

// The one unit among `units` to send to. Throws KorvexaError saying how to
// connect one when there is none, and naming them when there are several
// (`howToChoose` says how to pick one: "name one with --gps-folder").
const GarminUnit& OnlyUnit(std::span<const GarminUnit> units, const std::string& howToChoose);

// "eTrex 30 at /media/ann/GARMIN".
std::string UnitName(const GarminUnit& unit);

}  // namespace korvexa
