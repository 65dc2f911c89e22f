#include "township.h"

#include <charconv>
#include <cmath>
#include <string_view>

namespace korvexa::testing {
namespace {

constexpr double kHalfMileMetres = 804.672;
constexpr double kMetresPerDegreeLatitude = 111320.0;
constexpr int kTownshipsPerRow = 50;

// Appends `text` right-aligned in `width` characters.
void AppendPadded(std::string& out, std::string_view text, std::size_t width) {
  if (text.size() < width) out.append(width - text.size(), ' ');
  out += text;
}

std::string Fixed(double value, int decimals) {
  char buffer[32];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  (void)ec;
  return std::string(buffer, end);
}

std::string TwoDigits(int value) {
  return std::string{char('0' + value / 10), char('0' + value % 10)};
}

// Appends degrees, minutes and seconds in `degreeWidth` + 2 + 7 columns.
void AppendDms(std::string& out, double degrees, std::size_t degreeWidth) {
  const double totalSeconds = std::round(degrees * 3600 * 10000) / 10000;
  const int wholeDegrees = static_cast<int>(totalSeconds / 3600);
  const int minutes = static_cast<int>((totalSeconds - wholeDegrees * 3600) / 60);
  const double seconds = totalSeconds - wholeDegrees * 3600 - minutes * 60;
  AppendPadded(out, std::to_string(wholeDegrees), degreeWidth);
  out += TwoDigits(minutes);
  AppendPadded(out, Fixed(seconds, 4), 7);
}

void AppendTownship(std::string& out, std::size_t index, const TownshipLayout& layout) {
  const double step = kHalfMileMetres / kMetresPerDegreeLatitude;
  const double south = layout.southLatitude + static_cast<double>(index / kTownshipsPerRow) * 12 * step;
  const double stepWest = step / std::cos(south * M_PI / 180);
  const double east = layout.eastLongitude + static_cast<double>(index % kTownshipsPerRow) * 12 * stepWest;
  auto corner = [&](int column, int row, const std::string& codes) {
    const std::string id = std::to_string((1 + column) * 50 + 50) + std::to_string((1 + row) * 50 + 50);
    const std::string reliability = std::to_string(1 + (column + row) % 4);
    const int elevation = layout.elevationFeet + column * 12 - row * 5 + static_cast<int>(index % 7);
    out += LxLine(id, south + row * step, east + column * stepWest, elevation, reliability, codes);
    out += "\r\n";
  };
  for (int row = 0; row < kCornersPerSide; ++row) {
    for (int column = 0; column < kCornersPerSide; ++column) corner(column, row, "  EW" + TwoDigits(row));
    out += " 999999\r\n";
  }
  for (int column = 0; column < kCornersPerSide; ++column) {
    for (int row = 0; row < kCornersPerSide; ++row) corner(column, row, "  NS" + TwoDigits(column));
    out += " 999999\r\n";
  }
}

}  // namespace

std::string LxLine(const std::string& pointId, double latitude, double westLongitude, int elevationFeet,
                   const std::string& reliability, const std::string& lineCodes) {
  std::string line = " ";
  AppendPadded(line, pointId, 6);
  line += ' ';
  AppendDms(line, latitude, 2);
  line += ' ';
  AppendDms(line, westLongitude, 3);
  line += ' ';
  AppendPadded(line, std::to_string(elevationFeet), 8);
  AppendPadded(line, reliability, 9);
  line += lineCodes;
  return line;
}

std::string SyntheticLxText(std::size_t townships, const TownshipLayout& layout) {
  std::string text = "GCDB synthetic township\r\nPOINTID LAT LON ELEV RELY LINECODES\r\n";
  text.reserve(text.size() + townships * (kRecordsPerTownship + 2 * kCornersPerSide) * 64);
  for (std::size_t i = 0; i < townships; ++i) AppendTownship(text, i, layout);
  return text;
}

}  // namespace korvexa::testing
