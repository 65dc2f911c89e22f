#include "app/export/garmin_unit.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <set>
#include <sstream>
#include <system_error>

#include "core/korvexa_error.h"
#include "core/lx_file.h"

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
  for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
    if (SameLetters(entry.path().filename().string(), name)) return entry.path();
  }
  return std::nullopt;
}

// `text` without the white space around it: units write their XML over
// several lines, with the values on lines of their own.
std::string_view TrimmedXml(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

std::string_view LocalName(std::string_view tag) {
  const std::size_t colon = tag.find(':');
  return colon == std::string_view::npos ? tag : tag.substr(colon + 1);
}

// The five entities XML predefines; others stay as they are.
std::string Unescaped(std::string_view text) {
  static constexpr std::pair<std::string_view, char> kEntities[] = {
      {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto entity = std::find_if(std::begin(kEntities), std::end(kEntities),
                                     [&](const auto& e) { return text.substr(i).starts_with(e.first); });
    if (entity == std::end(kEntities)) {
      out += text[i];
    } else {
      out += entity->second;
      i += entity->first.size() - 1;
    }
  }
  return out;
}

// The file type being read inside a <File> element.
struct FileType {
  std::string path, extension, direction;
};

// Reads the elements in order, keeping the path of open ones.
class DeviceReader {
 public:
  GarminDeviceText Read(std::string_view xml) {
    std::size_t at = 0;
    while ((at = xml.find('<', at)) != std::string_view::npos) {
      const std::size_t end = SkipMarkup(xml, at);
      if (end == std::string_view::npos) break;
      std::string_view tag = xml.substr(at + 1, end - at - 1);
      if (!tag.empty() && tag[0] != '!' && tag[0] != '?') Tag(tag, xml, end + 1);
      at = end + 1;
    }
    return result_;
  }

 private:
  // Where the markup at `at` ends: its '>' (comments and CDATA whole).
  static std::size_t SkipMarkup(std::string_view xml, std::size_t at) {
    if (xml.substr(at).starts_with("<!--")) {
      const std::size_t end = xml.find("-->", at);
      return end == std::string_view::npos ? end : end + 2;
    }
    return xml.find('>', at);
  }

  void Tag(std::string_view tag, std::string_view xml, std::size_t after) {
    const bool closing = tag[0] == '/';
    const bool empty = tag.back() == '/';
    if (closing) tag.remove_prefix(1);
    if (empty) tag.remove_suffix(1);
    const std::string_view name = LocalName(tag.substr(0, tag.find_first_of(" \t\r\n")));
    if (!closing) {
      open_.emplace_back(name);
      textStart_ = after;
      if (name == "File") file_ = FileType{};
      if (!empty) return;
    } else {
      Close(name, Unescaped(TrimmedXml(xml.substr(textStart_, after - textStart_ - tag.size() - 3))));
    }
    if (!open_.empty()) open_.pop_back();
  }

  bool Within(std::string_view parent) const { return open_.size() >= 2 && open_[open_.size() - 2] == parent; }

  void Close(std::string_view name, std::string text) {
    if (name == "Description" && Within("Model") && result_.model.empty()) result_.model = text;
    if (name == "Path" && Within("Location")) file_.path = text;
    if (name == "FileExtension" && Within("Location")) file_.extension = text;
    if (name == "TransferDirection") file_.direction = text;
    if (name == "File" && result_.gpxPath.empty() && SameLetters(file_.extension, "gpx") &&
        (file_.direction.empty() || file_.direction == "InputToUnit" || file_.direction == "InputOutput")) {
      result_.gpxPath = file_.path;
      std::replace(result_.gpxPath.begin(), result_.gpxPath.end(), '\\', '/');
    }
  }

  std::vector<std::string> open_;
  std::size_t textStart_ = 0;
  FileType file_;
  GarminDeviceText result_;
};

// `relative` below `volume`, each folder found in any letter case (a unit's
// FAT file system ignores it; a copy of one on another disk does not).
// Throws KorvexaError for a path that leads out of the volume.
fs::path FolderOnVolume(const fs::path& volume, const std::string& relative, const fs::path& xml) {
  fs::path folder = volume;
  for (const fs::path& part : fs::path(relative).relative_path()) {
    if (part == "." || part.empty()) continue;
    if (part == "..") {
      throw KorvexaError("\"" + xml.string() + "\" names a GPX folder outside the unit: \"" + relative + "\"");
    }
    folder = EntryAnyCase(folder, part.string()).value_or(folder / part);
  }
  return folder;
}

// The kernel's own file systems, where no unit is ever mounted.
const std::set<std::string, std::less<>> kKernelFileSystems = {
    "proc", "sysfs",  "cgroup",   "cgroup2",    "devpts",  "devtmpfs",  "mqueue",      "debugfs", "tracefs", "pstore",
    "bpf",  "autofs", "configfs", "securityfs", "fusectl", "hugetlbfs", "binfmt_misc", "nsfs",    "efivarfs"};

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
void AddGvfsStorages(const fs::path& mount, std::vector<fs::path>& volumes) {
  std::error_code error;
  for (const fs::directory_entry& device : fs::directory_iterator(mount, error)) {
    std::error_code inner;
    for (const fs::directory_entry& storage : fs::directory_iterator(device.path(), inner)) {
      volumes.push_back(storage.path());
    }
  }
}

}  // namespace

GarminDeviceText ReadGarminDeviceText(std::string_view xml) {
  return DeviceReader().Read(xml);
}

std::optional<GarminUnit> ReadGarminUnit(const fs::path& volume) {
  const std::optional<fs::path> garmin = EntryAnyCase(volume, "Garmin");
  if (!garmin) return std::nullopt;
  const std::optional<fs::path> xml = EntryAnyCase(*garmin, "GarminDevice.xml");
  if (!xml) return std::nullopt;
  const GarminDeviceText text = ReadGarminDeviceText(ReadWholeFile(*xml));
  GarminUnit unit;
  unit.volume = volume;
  unit.model = text.model.empty() ? "Garmin unit" : text.model;
  unit.gpxFolder = FolderOnVolume(volume, text.gpxPath.empty() ? "Garmin/GPX" : text.gpxPath, *xml);
  return unit;
}

std::vector<GarminUnit> FindGarminUnits(std::span<const fs::path> volumes) {
  std::vector<GarminUnit> units;
  for (const fs::path& volume : volumes) {
    if (std::optional<GarminUnit> unit = ReadGarminUnit(volume)) units.push_back(std::move(*unit));
  }
  return units;
}

std::vector<fs::path> MountedVolumes() {
  std::ifstream mounts("/proc/self/mounts");
  std::vector<fs::path> volumes;
  std::string line;
  while (std::getline(mounts, line)) {
    std::istringstream fields(line);
    std::string device, mountPoint, type;
    if (!(fields >> device >> mountPoint >> type) || kKernelFileSystems.count(type) > 0) continue;
    const fs::path volume = MountField(mountPoint);
    if (type == "fuse.gvfsd-fuse") {
      AddGvfsStorages(volume, volumes);
    } else {
      volumes.push_back(volume);
    }
  }
  return volumes;
}

}  // namespace korvexa
