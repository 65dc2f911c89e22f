#include "app/navigate/nmea_line.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace korvexa {
namespace {

std::string_view WithoutLineEnd(std::string_view line) {
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
  return line;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// The sentence without its checksum: "$GPGGA,...".
std::string_view Body(std::string_view sentence) {
  const std::size_t star = sentence.rfind('*');
  return star == std::string_view::npos ? WithoutLineEnd(sentence) : sentence.substr(0, star);
}

bool AllDigits(std::string_view text) {
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return !text.empty();
}

// "3502.13988" with hemisphere "N": degrees, or nothing.
std::optional<double> NmeaAngle(std::string_view field, std::string_view hemisphere, int degreeDigits, double largest) {
  if (field.size() < static_cast<std::size_t>(degreeDigits) + 2 || hemisphere.size() != 1) return std::nullopt;
  const std::string_view degreeField = field.substr(0, degreeDigits);
  const std::optional<double> degrees = AllDigits(degreeField) ? NmeaNumber(degreeField) : std::nullopt;
  const std::optional<double> minutes = NmeaNumber(field.substr(degreeDigits));
  if (!degrees || !minutes || *minutes < 0 || *minutes >= 60) return std::nullopt;
  const double angle = *degrees + *minutes / 60;
  if (angle > largest) return std::nullopt;
  const char side = hemisphere[0];
  if (side == 'S' || side == 'W') return -angle;
  if (side == 'N' || side == 'E') return angle;
  return std::nullopt;
}

std::optional<int> Digits(std::string_view text) {
  if (!AllDigits(text)) return std::nullopt;
  int value = 0;
  for (char c : text) value = value * 10 + (c - '0');
  return value;
}

}  // namespace

NmeaLineKind ClassifyNmeaLine(std::string_view line) {
  line = WithoutLineEnd(line);
  const std::size_t start = line.find_first_not_of(" \t");
  if (start == std::string_view::npos || line[start] == '{') return NmeaLineKind::Other;
  const std::size_t star = line.size() >= 3 ? line.size() - 3 : std::string_view::npos;
  if ((line[0] != '$' && line[0] != '!') || star == std::string_view::npos || line[star] != '*') {
    return NmeaLineKind::Garbage;
  }
  const int high = HexDigit(line[star + 1]);
  const int low = HexDigit(line[star + 2]);
  std::uint8_t sum = 0;
  for (char c : line.substr(1, star - 1)) sum ^= static_cast<std::uint8_t>(c);
  return high >= 0 && low >= 0 && sum == high * 16 + low ? NmeaLineKind::Sentence : NmeaLineKind::Garbage;
}

std::string_view NmeaSentenceType(std::string_view sentence) {
  const std::string_view address = NmeaField(sentence, 0);
  if (address.size() < 6) return {};
  return address.substr(address.size() - 3);
}

std::string_view NmeaField(std::string_view sentence, int index) {
  std::string_view rest = Body(sentence);
  for (int i = 0; i < index; ++i) {
    const std::size_t comma = rest.find(',');
    if (comma == std::string_view::npos) return {};
    rest.remove_prefix(comma + 1);
  }
  return rest.substr(0, rest.find(','));
}

std::optional<double> NmeaNumber(std::string_view field) {
  double value = 0;
  const char* end = field.data() + field.size();
  const auto [stop, error] = std::from_chars(field.data(), end, value, std::chars_format::fixed);
  if (field.empty() || error != std::errc() || stop != end || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::optional<int> NmeaTimeOfDay(std::string_view field) {
  const std::size_t point = field.find('.');
  const std::string_view whole = field.substr(0, point);
  const std::string_view decimals = point == std::string_view::npos ? std::string_view() : field.substr(point + 1);
  if (whole.size() != 6 || !AllDigits(whole) || (!decimals.empty() && !AllDigits(decimals))) {
    return std::nullopt;
  }
  const auto twoDigits = [&](std::size_t at) { return (whole[at] - '0') * 10 + (whole[at + 1] - '0'); };
  const int hours = twoDigits(0), minutes = twoDigits(2), seconds = twoDigits(4);
  if (hours > 23 || minutes > 59 || seconds > 59) return std::nullopt;  // a leap second has no time of day here
  int milliseconds = 0;
  for (std::size_t i = 0; i < 3; ++i) milliseconds = milliseconds * 10 + (i < decimals.size() ? decimals[i] - '0' : 0);
  return ((hours * 60 + minutes) * 60 + seconds) * 1000 + milliseconds;
}

std::optional<double> GstHorizontalError(std::string_view sentence) {
  const std::optional<double> latitude = NmeaNumber(NmeaField(sentence, 6));
  const std::optional<double> longitude = NmeaNumber(NmeaField(sentence, 7));
  if (!latitude || !longitude || *latitude < 0 || *longitude < 0) return std::nullopt;
  const double error = std::hypot(*latitude, *longitude);
  if (error > kLargestNmeaError) return std::nullopt;
  return error;
}

std::optional<double> GgaHdop(std::string_view sentence) {
  const std::optional<double> hdop = NmeaNumber(NmeaField(sentence, 8));
  if (!hdop || *hdop <= 0 || *hdop > kLargestHdop) return std::nullopt;
  return hdop;
}

std::optional<GgaFix> ReadGga(std::string_view sentence) {
  GgaFix fix;
  const std::optional<int> time = NmeaTimeOfDay(NmeaField(sentence, 1));
  const std::optional<int> quality = Digits(NmeaField(sentence, 6));
  if (!time || !quality) return std::nullopt;
  fix.timeOfDay = *time;
  fix.quality = *quality;
  if (fix.quality == 0) return fix;
  fix.latitude = NmeaAngle(NmeaField(sentence, 2), NmeaField(sentence, 3), 2, 90);
  fix.longitude = NmeaAngle(NmeaField(sentence, 4), NmeaField(sentence, 5), 3, 180);
  if (!fix.latitude || !fix.longitude) return std::nullopt;
  const std::string_view altitude = NmeaField(sentence, 9);
  if (NmeaField(sentence, 10) == "M" && !altitude.empty()) {
    fix.altitude = NmeaNumber(altitude);
    if (!fix.altitude || *fix.altitude < kLowestAltitude || *fix.altitude > kHighestAltitude) return std::nullopt;
  }
  return fix;
}

bool NmeaPositionInRange(std::string_view sentence) {
  const std::string_view type = NmeaSentenceType(sentence);
  const int first = type == "RMC" ? 3 : type == "GLL" ? 1 : 0;
  if (first == 0 || (NmeaField(sentence, first).empty() && NmeaField(sentence, first + 2).empty())) return true;
  return NmeaAngle(NmeaField(sentence, first), NmeaField(sentence, first + 1), 2, 90) &&
         NmeaAngle(NmeaField(sentence, first + 2), NmeaField(sentence, first + 3), 3, 180);
}

std::optional<CivilTime> NmeaDateTime(std::string_view sentence) {
  const std::optional<int> time = NmeaTimeOfDay(NmeaField(sentence, 1));
  const std::string_view type = NmeaSentenceType(sentence);
  std::optional<int> day, month, year;
  if (type == "RMC" && NmeaField(sentence, 9).size() == 6) {
    const std::string_view date = NmeaField(sentence, 9);
    day = Digits(date.substr(0, 2));
    month = Digits(date.substr(2, 2));
    year = Digits(date.substr(4));
    if (year) *year += *year < 80 ? 2000 : 1900;  // NMEA's two digits
  } else if (type == "ZDA" && NmeaField(sentence, 4).size() == 4) {
    day = Digits(NmeaField(sentence, 2));
    month = Digits(NmeaField(sentence, 3));
    year = Digits(NmeaField(sentence, 4));
  }
  if (!time || !day || !month || !year || *month < 1 || *month > 12 || *day < 1 || *day > 31) return std::nullopt;
  return CivilTime{*year, *month, *day, *time / 3600000, *time / 60000 % 60, *time / 1000 % 60};
}

CivilTime NearestTimeOfDay(int timeOfDay, const CivilTime& reference) {
  constexpr long long kDay = 86400;
  const long long now = SecondsSinceEpoch(reference);
  const long long midnight = now - ((now % kDay) + kDay) % kDay;
  long long best = midnight + timeOfDay / 1000;
  for (long long candidate : {best - kDay, best + kDay}) {
    if (std::llabs(candidate - now) < std::llabs(best - now)) best = candidate;
  }
  return CivilTimeAt(best);
}

std::string_view FixQualityName(int quality) {
  if (quality == 4) return "RTK fixed";
  if (quality == 5) return "RTK float";
  return {};
}

}  // namespace korvexa
