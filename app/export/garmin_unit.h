// A Garmin handheld plugged in by USB: it mounts as a drive holding a folder
// "Garmin" with "GarminDevice.xml" (any letter case, as on its FAT file
// system), which names the unit's model and the folder where it picks up GPX
// files (usually "Garmin/GPX").
#pragma once

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace korvexa {

struct GarminUnit {
  std::filesystem::path volume;     // the mounted folder that holds "Garmin"
  std::string model;                // "eTrex 30", or "Garmin unit" when the XML names none
  std::filesystem::path gpxFolder;  // absolute: where the unit picks up GPX files
};

// What GarminDevice.xml says: the model (Device/Model/Description) and the
// folder, relative to the volume, of the first file type with the extension
// GPX that goes to the unit (TransferDirection InputToUnit or InputOutput).
// A tolerant reader: namespaces, white space and the letter case of the
// extension do not matter; what it does not find is empty.
struct GarminDeviceText {
  std::string model;
  std::string gpxPath;  // "Garmin/GPX", with "/" between folders
};
GarminDeviceText ReadGarminDeviceText(std::string_view xml);

// The unit mounted at `volume`, or nothing when it holds no
// Garmin/GarminDevice.xml. A GPX folder the XML does not name is
// "Garmin/GPX"; one that would lead out of the volume is refused. Throws
// KorvexaError naming the file when the XML cannot be read or leads out.
std::optional<GarminUnit> ReadGarminUnit(const std::filesystem::path& volume);

// The units among `volumes`, in their order.
std::vector<GarminUnit> FindGarminUnits(std::span<const std::filesystem::path> volumes);

// The mount points of this computer's file systems, from /proc/self/mounts
// (kernel file systems such as proc and sysfs left out), and the device
// folders of GNOME's gvfs, where a unit that speaks MTP appears.
std::vector<std::filesystem::path> MountedVolumes();

// What to do when no unit is found, without its full stop.
inline constexpr const char* kNoGarminUnitText =
    "No Garmin GPS unit is mounted: connect the unit with its USB cable, switch it on (choose mass storage or "
    "\"Garmin\" mode if it asks) and wait until its drive, with the folder Garmin, appears in the file manager; "
    "then send again";

}  // namespace korvexa
