// One line of a GCDB .LX file: a surveyed corner in fixed, 1-based columns.
//
//   2-7    PointID            9-10  latitude degrees    21-23 longitude degrees
//   11-12  latitude minutes   13-19 latitude seconds    24-25 longitude minutes
//   26-32  longitude seconds  34-41 elevation (US survey feet; PCX5 reads 35-41)
//   42-50  reliability
//
// A field beyond the end of a short line gives the characters that exist.
// Nothing is trimmed. Decoding never fails on malformed text: unreadable
// fields read as 0 (see LxVal).
#pragma once

#include <string>
#include <string_view>

namespace korvexa {

class CoordinateTransform;

using LxRecord = std::string_view;

// Decimal degrees, each rounded to 7 places.
struct LxPoint {
  double Latitude = 0;   // north positive
  double Longitude = 0;  // magnitude of the west longitude, never negative
};

inline constexpr int kElevationLastColumn = 41;
inline constexpr int kPcx5ElevationColumn = 35;
inline constexpr int kGpxElevationColumn = 34;

// Columns `first` to `last` (1-based, inclusive) of `record`, or the part of
// them that exists; empty when the record ends before `first`.
std::string_view LxColumns(LxRecord record, int first, int last);

// Columns 2 to 7, verbatim.
std::string_view PointIdOf(LxRecord record);

// `text` without the blanks and tabs around it.
std::string_view TrimBlanks(std::string_view text);

// Columns 2 to 7 without surrounding blanks, for messages and look-ups.
std::string TrimmedPointId(LxRecord record);

// Columns 42 to 50, verbatim.
std::string_view ReliabilityOf(LxRecord record);

// Reads a number leniently: blanks, tabs and line feeds are ignored wherever
// they stand; then an optional sign, digits with at most one full stop, and an
// optional exponent (E or D, optional sign, digits). Reading stops at the
// first character that cannot continue the number. No digits reads as 0.
// Examples: "  7.123" -> 7.123, "3 5" -> 35, "12A4" -> 12, "7,5" -> 7,
// "1D2" -> 100, "-1.5e1" -> -15. A magnitude beyond the range of a double
// reads as an infinity, which DecodeLxPoint and DecodeElevation reject.
double LxVal(std::string_view text);

// Latitude and west-longitude magnitude of `record` in decimal degrees,
// rounded to 7 places, moved from NAD27 to NAD83 first when `transform` is
// given. Throws KorvexaError (naming the point) when a coordinate is out of
// range or the transformation fails; a transformation error gets
// "point <PointID> " put in front of its message.
LxPoint DecodeLxPoint(LxRecord record, const CoordinateTransform* transform = nullptr);

// The coordinates of a record as read, before any transformation: decimal
// degrees rounded to 7 places, the longitude east of Greenwich as the fields
// give it (a west longitude field gives a negative value).
struct LxCoordinates {
  double latitude = 0;
  double eastLongitude = 0;
};

// The first half of DecodeLxPoint: reads and rounds the coordinates of
// `record`. Throws KorvexaError (naming the point) when a coordinate is out of
// range.
LxCoordinates ReadLxCoordinates(LxRecord record);

// The second half of DecodeLxPoint: the LxPoint of `coordinates` read from
// `record`, moved from NAD27 to NAD83 first when `transform` is given.
// DecodeLxPoint(record, t) is ToLxPoint(record, ReadLxCoordinates(record), t).
LxPoint ToLxPoint(LxRecord record, LxCoordinates coordinates, const CoordinateTransform* transform = nullptr);

// Elevation in whole metres from columns `firstColumn` to 41, read as US
// survey feet (x 12 / 39.37). Never -0. Throws KorvexaError when the field
// is out of range.
double DecodeElevation(LxRecord record, int firstColumn);

}  // namespace korvexa
