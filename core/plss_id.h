// The township key of BLM's standardized PLSS data (CadNSDI), the PLSSID:
// fifteen characters, "UT260020S0010W0" =
//
//   UT   the state's postal code
//   26   the principal meridian, by BLM's meridian code (26 Salt Lake)
//   002  the township number, 0 its fraction, S its direction
//   001  the range number, 0 its fraction, W its direction
//   0    the duplicate code (0 for the one township of that number)
//
// Fractions are coded 1 = 1/4, 2 = 1/2, 3 = 3/4.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace korvexa {

struct PlssNumber {
  int whole = 0;
  int fraction = 0;     // 0 to 3: quarters
  char direction = ' ';  // N or S for a township, E or W for a range
};

struct PlssId {
  std::string code;  // the fifteen characters as read, upper case
  std::string state;
  int meridian = 0;
  PlssNumber township;
  PlssNumber range;
  char duplicate = '0';
};

// The PLSSID `text` decoded (blanks around it ignored, letters in any case);
// nothing when it is not fifteen characters of that form.
std::optional<PlssId> DecodePlssId(std::string_view text);

// "Salt Lake Meridian" for 26; "Meridian 46" for a code BLM's table does not
// name.
std::string MeridianName(int code);

// "Utah" for "UT"; the code itself for one that names no state.
std::string StateName(std::string_view postalCode);

// As a surveyor writes it: "Utah, Salt Lake Meridian, T. 2 S., R. 1 W.",
// "T. 12 1/2 N.", and ", duplicate 1" after the range for a duplicate code.
std::string PlssReadableName(const PlssId& id);

// The short form that goes before a corner's name when several townships
// are written together: "T2SR1W" ("T12.5NR3E" with a half, "T2SR1WD1" for
// duplicate 1).
std::string PlssShortName(const PlssId& id);

// Whether the township `id` is what a user typed: a township and range
// ("2S 1W", "T2S R1W", "t. 2 s., r. 1 w.", or a township alone, "T2S"),
// else a part of its PLSSID or of its readable name ("UT2600", "salt lake"),
// letters in any case. An empty or blank query matches every township.
bool PlssMatches(const PlssId& id, std::string_view query);

}  // namespace korvexa
