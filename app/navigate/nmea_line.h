// One line of what a GPS receiver sends: an NMEA 0183 sentence
// ("$GPGGA,...*hh"), or something else on the same channel (gpsd's JSON
// reports, noise at a wrong serial speed). Qt's NMEA source reads position,
// time, course and fix from the sentences; the navigator reads here what Qt
// leaves out: whether a line was a sentence at all, and the receiver's own
// estimate of its accuracy.
#pragma once

#include <optional>
#include <string_view>

#include "core/clock.h"

namespace korvexa {

enum class NmeaLineKind {
  Sentence,  // "$" or "!", a body, "*" and the two hex digits of its checksum, which matches
  Garbage,   // anything else that is not blank: a bad or missing checksum, noise
  Other,     // a blank line or a JSON object ("{...}", as gpsd sends): not meant as NMEA
};

// The kind of `line`, which may end in CR LF. The checksum is the exclusive
// or of the bytes between "$" and "*", in upper- or lower-case hex.
NmeaLineKind ClassifyNmeaLine(std::string_view line);

// The sentence type without its talker: "GGA" of "$GPGGA,..." and of
// "$GNGGA,..."; empty when the address is shorter than five characters.
std::string_view NmeaSentenceType(std::string_view sentence);

// Field `index` of `sentence` (0 is the address "$GPGGA"), without the
// checksum; empty when the sentence has fewer fields.
std::string_view NmeaField(std::string_view sentence, int index);

// The number in `field` ("1.2", "-0.5"), or nothing when it is empty or not
// a plain decimal number. Ignores the locale.
std::optional<double> NmeaNumber(std::string_view field);

// The time of day of an NMEA time field "hhmmss" or "hhmmss.sss", in
// milliseconds since midnight, or nothing when it is not such a time.
std::optional<int> NmeaTimeOfDay(std::string_view field);

// What no receiver on the ground gives: a sentence with a value beyond these
// is refused, not shown as a fix.
inline constexpr double kLargestNmeaError = 10'000;  // metres, of a GST estimate
inline constexpr double kLargestHdop = 100;
inline constexpr double kLowestAltitude = -2'000;    // metres; the Dead Sea shore is at -430
inline constexpr double kHighestAltitude = 100'000;  // metres, above any aircraft

// The receiver's horizontal accuracy in metres from a GST sentence: the root
// of the sum of the squares of the standard deviations of latitude and
// longitude error (fields 6 and 7), or nothing when either is missing or the
// estimate is beyond kLargestNmeaError.
std::optional<double> GstHorizontalError(std::string_view sentence);

// The horizontal dilution of precision of a GGA sentence (field 8).
std::optional<double> GgaHdop(std::string_view sentence);

// What a GGA sentence says, of any talker ($GPGGA, $GNGGA, $GLGGA, $GAGGA,
// $BDGGA): a fix needs no RMC beside it.
struct GgaFix {
  int timeOfDay = 0;                // milliseconds since midnight, UTC
  int quality = 0;                  // 0 no fix, 1 GPS, 2 DGPS, 4 RTK fixed, 5 RTK float, 6 dead reckoning, ...
  std::optional<double> latitude;   // degrees north; none without a fix
  std::optional<double> longitude;  // degrees east
  std::optional<double> altitude;   // metres above mean sea level
};

// The GGA sentence's fix, or nothing when it has no time, a position that
// is half there or out of range (minutes of 60 or more, a latitude beyond
// 90 degrees), or an altitude that is unreadable or beyond kLowestAltitude
// to kHighestAltitude.
std::optional<GgaFix> ReadGga(std::string_view sentence);

// False for an RMC or GLL sentence whose position is out of range as ReadGga
// judges it; true for one without a position and for other sentences.
bool NmeaPositionInRange(std::string_view sentence);

// The UTC date and time of an RMC ("ddmmyy" in field 9) or ZDA sentence
// (day, month, four-digit year in fields 2 to 4), or nothing.
std::optional<CivilTime> NmeaDateTime(std::string_view sentence);

// The UTC time at `timeOfDay` (milliseconds since midnight, the
// milliseconds dropped) on the day that puts it nearest to `reference`: a
// fix at 23:59:59 read at 00:00:01 is of the day before.
CivilTime NearestTimeOfDay(int timeOfDay, const CivilTime& reference);

// "RTK fixed", "RTK float" for GGA qualities 4 and 5; empty for the others.
std::string_view FixQualityName(int quality);

}  // namespace korvexa
