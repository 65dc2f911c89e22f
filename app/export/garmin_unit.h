// A Garmin handheld plugged in by USB: it mounts as a drive holding a folder
// "Garmin" with "GarminDevice.xml" (any letter case, as on its FAT file
// system), which names the unit's model and the folder where it picks up GPX
// files (usually "Garmin/GPX"; garmin_device.h reads it).
//
// Every mounted volume is searched, and any of them may hold a hostile or
// broken description or hang (a network share that went away): a volume
// that cannot be used is skipped with its reason, one that does not answer
// in time is given up, and neither hides the units on the others.
#pragma once

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace korvexa {

struct GarminUnit {
  std::filesystem::path volume;     // the mounted folder that holds "Garmin"
  std::string model;                // "eTrex 30", or "Garmin unit" when the XML names none
  std::filesystem::path gpxFolder;  // absolute: where the unit picks up GPX files
};

// The unit mounted at `volume`, or nothing when it holds no
// Garmin/GarminDevice.xml. Reads at most kGarminDeviceSizeLimit bytes of a
// regular file (a FIFO or device of that name is refused without waiting).
// Throws KorvexaError when the volume cannot take the GPX file: its
// description cannot be read, names a GPX folder outside the unit or through
// a link, or names no GPX file type to the unit.
std::optional<GarminUnit> ReadGarminUnit(const std::filesystem::path& volume);

enum class VolumeKind {
  Local,   // a disk of this computer: searched as it is
  Remote,  // a network or FUSE file system, which may never answer: searched with a time limit
  Gvfs,    // GNOME's gvfs mount: its device folders hold the storages of MTP units (<mount>/mtp:host=.../Internal
           // Storage), searched with a time limit
};

struct MountedVolume {
  MountedVolume(std::filesystem::path path, VolumeKind kind = VolumeKind::Local) : path(std::move(path)), kind(kind) {}
  std::filesystem::path path;
  VolumeKind kind;
};

// The mount points of this computer's file systems, from /proc/self/mounts
// (kernel file systems such as proc and sysfs left out), each with its
// kind. Reads nothing on the volumes themselves.
std::vector<MountedVolume> MountedVolumes();

struct UnitSearch {
  std::vector<GarminUnit> units;                  // in the order of the volumes
  std::vector<std::string> refused;               // ReadGarminUnit's reason for each volume that was skipped
  std::vector<std::filesystem::path> unanswered;  // volumes given up after the time limit
};

// How long remote and gvfs volumes are waited for, together.
inline constexpr std::chrono::milliseconds kRemotePatience{5000};

// Reads one volume as ReadGarminUnit does; tests put a slow one in its place.
using VolumeProbe = std::function<std::optional<GarminUnit>(const std::filesystem::path& volume)>;

// The units among `volumes`. Local volumes are read on the calling thread;
// remote and gvfs ones each on a thread of its own, given `patience` from
// the start; a thread that has not answered by then is left to end by
// itself. Throws only std::bad_alloc.
UnitSearch FindGarminUnits(std::span<const MountedVolume> volumes, std::chrono::milliseconds patience = kRemotePatience,
                           const VolumeProbe& probe = ReadGarminUnit);

// The units of `search`. Throws KorvexaError when it found none: the
// reasons the volumes were refused, else how to connect a unit (and which
// volumes did not answer).
std::span<const GarminUnit> UsableUnits(const UnitSearch& search);

// What to tell of `search` besides its units: each volume skipped, and why.
std::vector<std::string> SearchNotes(const UnitSearch& search);

// Where the GPX file of the .LX file `fName` lands on `unit`
// ("<gpxFolder>/t12n.gpx"). Throws KorvexaError when a link is there: it
// could lead off the unit.
std::filesystem::path GpxFileOnUnit(const GarminUnit& unit, const std::string& fName);

// What to do when no unit is found, without its full stop.
inline constexpr const char* kNoGarminUnitText =
    "No Garmin GPS unit is mounted: connect the unit with its USB cable, switch it on (choose mass storage or "
    "\"Garmin\" mode if it asks) and wait until its drive, with the folder Garmin, appears in the file manager; "
    "then send again";

}  // namespace korvexa
