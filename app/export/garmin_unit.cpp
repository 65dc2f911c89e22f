#include "app/export/garmin_unit.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <fstream>
#include <memory>
#include <mutex>
#include <set>
#include <sstream>
#include <system_error>
#include <thread>

#include "app/convert/create.h"
#include "app/export/garmin_device.h"
#include "core/korvexa_error.h"

namespace korvexa {
namespace {

namespace fs = std::filesystem;

bool SameLetters(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

// The entry of `folder` named `name` in any letter case, or nothing.
std::optional<fs::path> EntryAnyCase(const fs::path& folder, std::string_view name) {
  std::error_code error;
  for (fs::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
    if (SameLetters(entry->path().filename().string(), name)) return entry->path();
  }
  return std::nullopt;
}

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

// The description at `path`, read until it ends or passes
// kGarminDeviceSizeLimit, opened without waiting (a FIFO would block) and read only when it
// is a regular file. Throws KorvexaError with the reason, as
// ReadGarminDevice does.
std::string ReadDescription(const fs::path& path) {
  const Descriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (file.get() < 0) throw KorvexaError(std::string("is not readable: ") + std::strerror(errno));
  struct stat status {};
  if (::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode)) {
    throw KorvexaError("is not readable: it is not a regular file");
  }
  std::string bytes;
  char chunk[1 << 16];
  while (bytes.size() <= kGarminDeviceSizeLimit) {
    const ssize_t read = ::read(file.get(), chunk, sizeof chunk);
    if (read < 0 && errno == EINTR) continue;
    if (read < 0) throw KorvexaError(std::string("is not readable: ") + std::strerror(errno));
    if (read == 0) break;
    bytes.append(chunk, static_cast<std::size_t>(read));
  }
  return bytes;
}

std::string NotUsable(const fs::path& volume, const std::string& why) {
  return volume.string() + " is not a usable Garmin unit (its " + why + ")";
}

// The folder of `parts` below `volume`, each found in any letter case (a
// unit's FAT file system ignores it; a copy of one on another disk does
// not). Throws KorvexaError for a link on the way, which could lead off the
// volume (a unit's file system has none).
fs::path FolderOnVolume(const fs::path& volume, const std::vector<std::string>& parts) {
  fs::path folder = volume;
  for (const std::string& part : parts) {
    folder = EntryAnyCase(folder, part).value_or(folder / part);
    std::error_code error;
    if (fs::is_symlink(folder, error)) {
      throw KorvexaError(NotUsable(volume, "GPX folder \"" + folder.string() + "\" is a link, which is refused"));
    }
  }
  return folder;
}

// The kernel's own file systems, where no unit is ever mounted.
const std::set<std::string, std::less<>> kKernelFileSystems = {
    "proc", "sysfs",  "cgroup",   "cgroup2",    "devpts",  "devtmpfs",  "mqueue",      "debugfs", "tracefs", "pstore",
    "bpf",  "autofs", "configfs", "securityfs", "fusectl", "hugetlbfs", "binfmt_misc", "nsfs",    "efivarfs"};

// Network file systems, which wait for a server that may be gone.
const std::set<std::string, std::less<>> kNetworkFileSystems = {
    "nfs", "nfs4", "cifs", "smb3", "smbfs", "ncpfs", "9p", "afs", "ceph", "glusterfs", "lustre", "coda", "virtiofs"};

VolumeKind KindOf(std::string_view type) {
  if (type == "fuse.gvfsd-fuse") return VolumeKind::Gvfs;
  if (type.starts_with("fuse") || kNetworkFileSystems.count(type) > 0) return VolumeKind::Remote;
  return VolumeKind::Local;
}

// A field of /proc/self/mounts with its octal escapes ("\040" for a blank)
// decoded.
std::string MountField(std::string_view field) {
  std::string out;
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size() && std::isdigit(static_cast<unsigned char>(field[i + 1]))) {
      out += static_cast<char>(std::stoi(std::string(field.substr(i + 1, 3)), nullptr, 8));
      i += 3;
    } else {
      out += field[i];
    }
  }
  return out;
}

// The storages of the devices under a gvfs mount: a unit that speaks MTP
// shows as <mount>/mtp:host=.../Internal Storage/Garmin.
std::vector<fs::path> GvfsStorages(const fs::path& mount) {
  std::vector<fs::path> storages;
  std::error_code error;
  for (fs::directory_iterator device(mount, error), end; !error && device != end; device.increment(error)) {
    std::error_code inner;
    for (fs::directory_iterator storage(device->path(), inner); !inner && storage != end; storage.increment(inner)) {
      storages.push_back(storage->path());
    }
  }
  return storages;
}

// What one volume holds.
struct Findings {
  std::vector<GarminUnit> units;
  std::vector<std::string> refused;
};

Findings Search(const MountedVolume& volume, const VolumeProbe& probe) {
  Findings findings;
  const auto look = [&](const fs::path& path) {
    try {
      if (std::optional<GarminUnit> unit = probe(path)) findings.units.push_back(std::move(*unit));
    } catch (const KorvexaError& error) {
      findings.refused.emplace_back(error.what());
    } catch (const std::exception& error) {
      findings.refused.push_back(path.string() + " could not be searched: " + error.what());
    }
  };
  if (volume.kind != VolumeKind::Gvfs) {
    look(volume.path);
  } else {
    for (const fs::path& storage : GvfsStorages(volume.path)) look(storage);
  }
  return findings;
}

// The findings of a volume searched on a thread of its own. Shared with that
// thread, which may outlive the search when the volume never answers.
struct Pending {
  std::mutex mutex;
  std::condition_variable done;
  std::optional<Findings> findings;
};

std::shared_ptr<Pending> SearchAside(const MountedVolume& volume, const VolumeProbe& probe) {
  auto pending = std::make_shared<Pending>();
  try {
    std::thread([pending, volume, probe] {
      Findings findings = Search(volume, probe);
      const std::lock_guard lock(pending->mutex);
      pending->findings = std::move(findings);
      pending->done.notify_all();
    }).detach();
  } catch (const std::system_error& error) {
    pending->findings = Findings{{}, {volume.path.string() + " could not be searched: " + error.what()}};
  }
  return pending;
}

}  // namespace

std::optional<GarminUnit> ReadGarminUnit(const fs::path& volume) {
  const std::optional<fs::path> garmin = EntryAnyCase(volume, "Garmin");
  if (!garmin) return std::nullopt;
  const std::optional<fs::path> xml = EntryAnyCase(*garmin, "GarminDevice.xml");
  if (!xml) return std::nullopt;
  GarminDevice device;
  try {
    device = ReadGarminDevice(ReadDescription(*xml));
  } catch (const KorvexaError& error) {
    throw KorvexaError(NotUsable(volume, std::string("GarminDevice.xml ") + error.what()));
  }
  GarminUnit unit;
  unit.volume = volume;
  unit.model = device.model.empty() ? "Garmin unit" : device.model;
  if (!device.takesGpx) {
    throw KorvexaError(unit.model + " takes no GPX files (its GarminDevice.xml at " + volume.string() +
                       " names no GPX file type to the unit)");
  }
  unit.gpxFolder = FolderOnVolume(volume, device.gpxFolder);
  return unit;
}

std::vector<MountedVolume> MountedVolumes() {
  std::ifstream mounts("/proc/self/mounts");
  std::vector<MountedVolume> volumes;
  std::string line;
  while (std::getline(mounts, line)) {
    std::istringstream fields(line);
    std::string device, mountPoint, type;
    if (!(fields >> device >> mountPoint >> type) || kKernelFileSystems.count(type) > 0) continue;
    volumes.emplace_back(MountField(mountPoint), KindOf(type));
  }
  return volumes;
}

UnitSearch FindGarminUnits(std::span<const MountedVolume> volumes, std::chrono::milliseconds patience,
                           const VolumeProbe& probe) {
  const auto deadline = std::chrono::steady_clock::now() + patience;
  std::vector<std::shared_ptr<Pending>> aside(volumes.size());
  for (std::size_t i = 0; i < volumes.size(); ++i) {
    if (volumes[i].kind != VolumeKind::Local) aside[i] = SearchAside(volumes[i], probe);
  }
  UnitSearch search;
  for (std::size_t i = 0; i < volumes.size(); ++i) {
    Findings findings;
    if (!aside[i]) {
      findings = Search(volumes[i], probe);
    } else {
      std::unique_lock lock(aside[i]->mutex);
      if (!aside[i]->done.wait_until(lock, deadline, [&] { return aside[i]->findings.has_value(); })) {
        search.unanswered.push_back(volumes[i].path);
        continue;
      }
      findings = std::move(*aside[i]->findings);
    }
    std::move(findings.units.begin(), findings.units.end(), std::back_inserter(search.units));
    std::move(findings.refused.begin(), findings.refused.end(), std::back_inserter(search.refused));
  }
  return search;
}

std::span<const GarminUnit> UsableUnits(const UnitSearch& search) {
  if (!search.units.empty()) return search.units;
  std::string text;
  for (const std::string& reason : search.refused) text += (text.empty() ? "" : "; ") + reason;
  if (text.empty()) text = kNoGarminUnitText;
  for (const std::string& note : SearchNotes(UnitSearch{{}, {}, search.unanswered})) text += "; " + note;
  throw KorvexaError(text);
}

std::vector<std::string> SearchNotes(const UnitSearch& search) {
  std::vector<std::string> notes;
  for (const std::string& reason : search.refused) notes.push_back("skipped: " + reason);
  for (const fs::path& volume : search.unanswered) {
    notes.push_back(volume.string() + " did not answer within " + std::to_string(kRemotePatience.count() / 1000) +
                    " s and was not searched");
  }
  return notes;
}

fs::path GpxFileOnUnit(const GarminUnit& unit, const std::string& fName) {
  const fs::path file = unit.gpxFolder / OutputName(fName, OutputKind::Gpx);
  std::error_code error;
  if (fs::is_symlink(file, error)) {
    throw KorvexaError("\"" + file.string() + "\" on the " + unit.model +
                       " is a link, which is refused: it could lead off the unit");
  }
  return file;
}

}  // namespace korvexa
