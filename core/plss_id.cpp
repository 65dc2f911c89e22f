#include "core/plss_id.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <utility>

namespace korvexa {
namespace {

// BLM's principal meridian codes.
constexpr std::array<std::pair<int, const char*>, 45> kMeridians{{
    {1, "First Principal Meridian"},
    {2, "Second Principal Meridian"},
    {3, "Third Principal Meridian"},
    {4, "Fourth Principal Meridian"},
    {5, "Fifth Principal Meridian"},
    {6, "Sixth Principal Meridian"},
    {7, "Black Hills Meridian"},
    {8, "Boise Meridian"},
    {9, "Chickasaw Meridian"},
    {10, "Choctaw Meridian"},
    {11, "Cimarron Meridian"},
    {12, "Copper River Meridian"},
    {13, "Fairbanks Meridian"},
    {14, "Gila and Salt River Meridian"},
    {15, "Humboldt Meridian"},
    {16, "Huntsville Meridian"},
    {17, "Indian Meridian"},
    {18, "Louisiana Meridian"},
    {19, "Michigan Meridian"},
    {20, "Principal Meridian Montana"},
    {21, "Mount Diablo Meridian"},
    {22, "Navajo Meridian"},
    {23, "New Mexico Principal Meridian"},
    {24, "St. Helena Meridian"},
    {25, "St. Stephens Meridian"},
    {26, "Salt Lake Meridian"},
    {27, "San Bernardino Meridian"},
    {28, "Seward Meridian"},
    {29, "Tallahassee Meridian"},
    {30, "Uintah Special Meridian"},
    {31, "Ute Meridian"},
    {32, "Washington Meridian"},
    {33, "Willamette Meridian"},
    {34, "Wind River Meridian"},
    {35, "Ohio River Survey"},
    {36, "Between the Miamis"},
    {37, "Muskingum River Survey"},
    {38, "Ohio River Base"},
    {39, "First Scioto River Base"},
    {40, "Second Scioto River Base"},
    {41, "Third Scioto River Base"},
    {42, "Ellicott's Line"},
    {43, "Twelve-Mile Square Reserve"},
    {44, "Kateel River Meridian"},
    {45, "Umiat Meridian"},
}};

constexpr std::array<std::pair<const char*, const char*>, 51> kStates{{
    {"AL", "Alabama"},       {"AK", "Alaska"},       {"AZ", "Arizona"},        {"AR", "Arkansas"},
    {"CA", "California"},    {"CO", "Colorado"},     {"CT", "Connecticut"},    {"DE", "Delaware"},
    {"DC", "District of Columbia"}, {"FL", "Florida"}, {"GA", "Georgia"},      {"HI", "Hawaii"},
    {"ID", "Idaho"},         {"IL", "Illinois"},     {"IN", "Indiana"},        {"IA", "Iowa"},
    {"KS", "Kansas"},        {"KY", "Kentucky"},     {"LA", "Louisiana"},      {"ME", "Maine"},
    {"MD", "Maryland"},      {"MA", "Massachusetts"}, {"MI", "Michigan"},      {"MN", "Minnesota"},
    {"MS", "Mississippi"},   {"MO", "Missouri"},     {"MT", "Montana"},        {"NE", "Nebraska"},
    {"NV", "Nevada"},        {"NH", "New Hampshire"}, {"NJ", "New Jersey"},    {"NM", "New Mexico"},
    {"NY", "New York"},      {"NC", "North Carolina"}, {"ND", "North Dakota"}, {"OH", "Ohio"},
    {"OK", "Oklahoma"},      {"OR", "Oregon"},       {"PA", "Pennsylvania"},   {"RI", "Rhode Island"},
    {"SC", "South Carolina"}, {"SD", "South Dakota"}, {"TN", "Tennessee"},     {"TX", "Texas"},
    {"UT", "Utah"},          {"VT", "Vermont"},      {"VA", "Virginia"},       {"WA", "Washington"},
    {"WV", "West Virginia"}, {"WI", "Wisconsin"},    {"WY", "Wyoming"},
}};

constexpr const char* kFractions[] = {"", " 1/4", " 1/2", " 3/4"};
constexpr const char* kShortFractions[] = {"", ".25", ".5", ".75"};

std::string Upper(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return upper;
}

bool Digits(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int Number(std::string_view digits) {
  int value = 0;
  for (const char c : digits) value = value * 10 + (c - '0');
  return value;
}

// Three digits of the number, one of the fraction and the direction.
std::optional<PlssNumber> DecodeNumber(std::string_view field, std::string_view directions) {
  if (!Digits(field.substr(0, 4)) || field[3] > '3' || directions.find(field[4]) == std::string_view::npos) {
    return std::nullopt;
  }
  return PlssNumber{Number(field.substr(0, 3)), field[3] - '0', field[4]};
}

std::string NumberText(const PlssNumber& number) {
  return std::to_string(number.whole) + kFractions[number.fraction] + ' ' + number.direction + '.';
}

std::string ShortNumber(const PlssNumber& number) {
  return std::to_string(number.whole) + kShortFractions[number.fraction] + number.direction;
}

// The query with everything but letters and digits dropped, upper case:
// "T. 2 S., r1w" -> "T2SR1W".
std::string Squeezed(std::string_view query) {
  std::string squeezed;
  for (const char c : query) {
    if (std::isalnum(static_cast<unsigned char>(c))) {
      squeezed += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
  }
  return squeezed;
}

// A number and its direction at `at` of `text`: "2S"; the position after it
// when `number` is there.
std::optional<std::size_t> ReadNumber(const std::string& text, std::size_t at, std::string_view directions,
                                      const PlssNumber& number) {
  std::size_t end = at;
  while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end]))) ++end;
  if (end == at || end - at > 3 || end >= text.size()) return std::nullopt;
  if (directions.find(text[end]) == std::string_view::npos) return std::nullopt;
  if (Number(std::string_view(text).substr(at, end - at)) != number.whole || text[end] != number.direction) {
    return std::nullopt;
  }
  return end + 1;
}

// Whether `squeezed` is a township (and range) and `id` is it; nothing when
// `squeezed` has not that form.
std::optional<bool> MatchesTownshipRange(const std::string& squeezed, const PlssId& id) {
  const bool form = [&] {
    std::size_t at = squeezed.starts_with('T') ? 1 : 0;
    std::size_t digits = at;
    while (digits < squeezed.size() && std::isdigit(static_cast<unsigned char>(squeezed[digits]))) ++digits;
    if (digits == at || digits >= squeezed.size() || (squeezed[digits] != 'N' && squeezed[digits] != 'S')) {
      return false;
    }
    at = digits + 1;
    if (at == squeezed.size()) return true;
    if (squeezed[at] == 'R') ++at;
    digits = at;
    while (digits < squeezed.size() && std::isdigit(static_cast<unsigned char>(squeezed[digits]))) ++digits;
    return digits > at && digits + 1 == squeezed.size() && (squeezed[digits] == 'E' || squeezed[digits] == 'W');
  }();
  if (!form) return std::nullopt;
  std::size_t at = squeezed.starts_with('T') ? 1 : 0;
  const std::optional<std::size_t> afterTownship = ReadNumber(squeezed, at, "NS", id.township);
  if (!afterTownship) return false;
  at = *afterTownship;
  if (at == squeezed.size()) return true;
  if (squeezed[at] == 'R') ++at;
  return ReadNumber(squeezed, at, "EW", id.range) == squeezed.size();
}

}  // namespace

std::optional<PlssId> DecodePlssId(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
  if (text.size() != 15) return std::nullopt;
  const std::string code = Upper(text);
  const std::string_view view = code;
  if (!std::isalpha(static_cast<unsigned char>(code[0])) || !std::isalpha(static_cast<unsigned char>(code[1])) ||
      !Digits(view.substr(2, 2)) || !std::isalnum(static_cast<unsigned char>(code[14]))) {
    return std::nullopt;
  }
  const std::optional<PlssNumber> township = DecodeNumber(view.substr(4, 5), "NS");
  const std::optional<PlssNumber> range = DecodeNumber(view.substr(9, 5), "EW");
  if (!township || !range) return std::nullopt;
  return PlssId{code, code.substr(0, 2), Number(view.substr(2, 2)), *township, *range, code[14]};
}

std::string MeridianName(int code) {
  for (const auto& [number, name] : kMeridians) {
    if (number == code) return name;
  }
  return "Meridian " + std::to_string(code);
}

std::string StateName(std::string_view postalCode) {
  const std::string upper = Upper(postalCode);
  for (const auto& [code, name] : kStates) {
    if (upper == code) return name;
  }
  return upper;
}

std::string PlssReadableName(const PlssId& id) {
  std::string name = StateName(id.state) + ", " + MeridianName(id.meridian) + ", T. " + NumberText(id.township) +
                     ", R. " + NumberText(id.range);
  if (id.duplicate != '0') name += std::string(", duplicate ") + id.duplicate;
  return name;
}

std::string PlssShortName(const PlssId& id) {
  // Built by appending: GCC 12 warns wrongly about "T" + string in Release.
  std::string name = "T";
  name += ShortNumber(id.township);
  name += 'R';
  name += ShortNumber(id.range);
  if (id.duplicate != '0') {
    name += 'D';
    name += id.duplicate;
  }
  return name;
}

bool PlssMatches(const PlssId& id, std::string_view query) {
  const std::string squeezed = Squeezed(query);
  if (squeezed.empty()) return true;
  if (const std::optional<bool> townshipRange = MatchesTownshipRange(squeezed, id)) return *townshipRange;
  return id.code.find(squeezed) != std::string::npos || Squeezed(PlssReadableName(id)).find(squeezed) != std::string::npos;
}

}  // namespace korvexa
