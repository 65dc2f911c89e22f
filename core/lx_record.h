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
// given (MovedLxPoint). Throws KorvexaError (naming the point) when a
// coordinate field is out of range or the transformation fails; a
// transformation error gets "point <PointID> " put in front of its message.
LxPoint DecodeLxPoint(LxRecord record, const CoordinateTransform* transform = nullptr);

// `nad27`, the position decoded from `record`, moved by `transform`
// (ShiftedLxPoint). Throws KorvexaError when the transformation fails, with
// "point <PointID> " put in front of its message.
LxPoint MovedLxPoint(LxRecord record, const LxPoint& nad27, const CoordinateTransform& transform);

// The point `nad27` after CoordinateTransform::TransformPoint moved its east
// longitude (-nad27.Longitude) and latitude to `longitude` and `latitude`:
// the magnitude of the longitude on the turn of the one given (a longitude
// past 180 W may come back wrapped, with either sign), both rounded to 7
// places. Throws KorvexaError when the result is no NADCON shift of `nad27`
// (not finite, not a latitude, more than 0.01 degree away); the message
// starts with the position and reads as a sentence once "point <PointID> "
// is put in front ("at 35.1200960 N 106.7583333 W cannot be moved ...").
LxPoint ShiftedLxPoint(const LxPoint& nad27, double longitude, double latitude);

// The US survey foot of the GCDB's elevations and of the State Plane zones
// that use it, in metres.
inline constexpr double kMetresPerUsSurveyFoot = 1200.0 / 3937.0;

// Elevation in whole metres from columns `firstColumn` to 41, read as US
// survey feet (x 12 / 39.37). Never -0. Throws KorvexaError when the field
// is out of range.
double DecodeElevation(LxRecord record, int firstColumn);

}  // namespace korvexa
