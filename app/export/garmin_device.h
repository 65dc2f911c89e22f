// GarminDevice.xml, the description a Garmin unit keeps in its folder
// "Garmin": its model, and the folders where it picks up each type of file.
// Anyone can put such a file on a USB stick, so it is read by expat within
// limits, and what it names is checked before anything is written there.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace korvexa {

// The most of a description that is read, and how deep its elements nest
// (a unit's own file is about 10 KiB and 8 levels deep).
inline constexpr std::size_t kGarminDeviceSizeLimit = 1 << 20;  // bytes
inline constexpr int kGarminDeviceDepthLimit = 64;

// The folder a unit's file types name when they name none.
inline constexpr std::string_view kDefaultGpxFolder = "Garmin/GPX";

struct GarminDevice {
  std::string model;  // Device/Model/Description, its blanks collapsed (at most 100 bytes); empty when none
  // A file type with the extension GPX goes to the unit (the first File of
  // Device/MassStorageMode/DataType whose TransferDirection is InputToUnit or
  // InputOutput). A watch that reads FIT files only has none.
  bool takesGpx = false;
  // Its Path below the volume, one folder a part ("Garmin", "GPX"); the
  // parts of kDefaultGpxFolder when it names none.
  std::vector<std::string> gpxFolder;
};

// Reads the description `xml`, UTF-8 XML whose elements are in Garmin's
// namespace "http://www.garmin.com/xmlschemas/GarminDevice/v2" (or another
// version of it); elements of other namespaces (extensions) are skipped.
//
// Throws KorvexaError with the reason, to follow "its GarminDevice.xml ...":
// "is not readable: <why>" when `xml` is too large, not UTF-8, not
// well-formed (expat's reason, line and column), nests too deep, declares an
// entity (none is ever expanded) or is no Device of that namespace; "names a
// GPX folder outside the unit: ..." when the GPX Path is absolute, leads up,
// names a drive or holds a control character.
GarminDevice ReadGarminDevice(std::string_view xml);

}  // namespace korvexa
