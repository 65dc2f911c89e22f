// How the map window and the field sheet write a corner's position and
// elevation (independent of the user's locale: a full stop, seven decimals)
// and their counts.
#pragma once

#include <QString>
#include <cstddef>
#include <string>

#include "app/map/township_map.h"

namespace korvexa {

// A PointID or a field of a record: the file's 8-bit text as Latin-1.
QString Latin1Text(const std::string& text);

// "35.1200960° N" and "106.7583333° W" (degrees).
QString LatitudeText(double latitude);
QString LongitudeText(double eastLongitude);

// "1000 ft (305 m)", "1000 ft" when out of range, "none" when blank.
QString ElevationText(const CornerFacts& facts);

// "1 corner", "2 corners": `count` and `one` or `many`.
QString Counted(std::size_t count, const char* one, const char* many);

// The tooltip of a corner: PointID, latitude, longitude, elevation,
// reliability, one to a line.
QString CornerTooltip(const CornerFacts& facts);

}  // namespace korvexa
