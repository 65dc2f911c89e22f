#include "app/navigate/walk_journal.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string_view>
#include <system_error>

#include "core/korvexa_error.h"
#include "writers/atomic_file.h"

namespace korvexa {
namespace {

constexpr std::string_view kPrefix = "walk-";
constexpr std::string_view kOpenSuffix = ".gpx";
constexpr std::string_view kSettledSuffix = ".saved.gpx";
constexpr long long kSecondsPerDay = 86400;

std::optional<int> Digits(std::string_view text, std::size_t at, std::size_t count) {
  if (at + count > text.size()) return std::nullopt;
  int value = 0;
  for (std::size_t i = at; i < at + count; ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    value = value * 10 + (text[i] - '0');
  }
  return value;
}

// The date at the start of `text` ("2026-12-06...") and its time of day at
// `hour`, `minute` and `second`, two digits each.
std::optional<CivilTime> TimeIn(std::string_view text, std::size_t hour, std::size_t minute, std::size_t second) {
  const auto y = Digits(text, 0, 4), mo = Digits(text, 5, 2), d = Digits(text, 8, 2);
  const auto h = Digits(text, hour, 2), mi = Digits(text, minute, 2), s = Digits(text, second, 2);
  if (!y || !mo || !d || !h || !mi || !s) return std::nullopt;
  return CivilTime{*y, *mo, *d, *h, *mi, *s};
}

// "2026-12-06-140327".
std::optional<CivilTime> StartOfName(std::string_view stamp) {
  if (stamp.size() != 17 || stamp[4] != '-' || stamp[7] != '-' || stamp[10] != '-') return std::nullopt;
  return TimeIn(stamp, 11, 13, 15);
}

std::optional<JournalFile> JournalOf(const std::filesystem::path& path) {
  const std::string name = path.filename().string();
  if (!name.starts_with(kPrefix)) return std::nullopt;
  const bool settled = name.ends_with(kSettledSuffix);
  const std::size_t suffix = settled ? kSettledSuffix.size() : kOpenSuffix.size();
  if (!settled && !name.ends_with(kOpenSuffix)) return std::nullopt;
  if (name.size() < kPrefix.size() + suffix) return std::nullopt;
  const std::optional<CivilTime> started =
      StartOfName(std::string_view(name).substr(kPrefix.size(), name.size() - kPrefix.size() - suffix));
  if (!started) return std::nullopt;
  return JournalFile{path, *started, settled};
}

// `name` between `before` and `after`, built by appending: GCC 12 warns
// wrongly about operator+ in Release.
std::string Enclosed(std::string_view before, std::string_view name, std::string_view after) {
  std::string text(before);
  text += name;
  text += after;
  return text;
}

// The value of attribute `name` in `tag` ("lat" of <trkpt lat="1" lon="2">).
std::optional<double> AttributeNumber(std::string_view tag, std::string_view name) {
  const std::string key = Enclosed(" ", name, "=\"");
  const std::size_t at = tag.find(key);
  if (at == std::string_view::npos) return std::nullopt;
  const char* begin = tag.data() + at + key.size();
  double value = 0;
  const auto [end, error] = std::from_chars(begin, tag.data() + tag.size(), value);
  if (error != std::errc() || end == tag.data() + tag.size() || *end != '"') return std::nullopt;
  return value;
}

std::string_view Element(std::string_view text, std::string_view name) {
  const std::string open = Enclosed("<", name, ">"), close = Enclosed("</", name, ">");
  const std::size_t begin = text.find(open);
  if (begin == std::string_view::npos) return {};
  const std::size_t end = text.find(close, begin);
  if (end == std::string_view::npos) return {};
  return text.substr(begin + open.size(), end - begin - open.size());
}

// "2026-12-06T21:03:27.250Z".
void ReadTime(std::string_view text, TrackPoint& point) {
  if (text.size() < 20 || text[10] != 'T') return;
  point.utc = TimeIn(text, 11, 14, 17);
  if (!point.utc) return;
  if (text[19] == '.') point.milliseconds = Digits(text, 20, 3).value_or(0);
}

}  // namespace

std::filesystem::path JournalFolder(const char* stateHome, const char* home) {
  if (stateHome != nullptr && std::filesystem::path(stateHome).is_absolute()) {
    return std::filesystem::path(stateHome) / "korvexa";
  }
  return std::filesystem::path(home != nullptr ? home : "") / ".local" / "state" / "korvexa";
}

std::filesystem::path WalkJournal::PathOf(const CivilTime& started, bool settled) const {
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d-%02d%02d%02d", started.year, started.month, started.day,
                started.hour, started.minute, started.second);
  return folder_ / (std::string(kPrefix) + stamp + std::string(settled ? kSettledSuffix : kOpenSuffix));
}

void WalkJournal::Keep(const FieldWalk& walk, std::optional<double> now, const CivilTime& writtenUtc) {
  if (folder_.empty() || !walk.started()) return;
  const bool changed =
      walk.trail().size() != writtenPoints_ || walk.unsaved() != writtenUnsaved_ || walk.started() != writtenStart_;
  if (!changed || (now && lastWrite_ && *now - *lastWrite_ < kEverySeconds)) return;
  std::error_code ignored;
  std::filesystem::create_directories(folder_, ignored);
  const bool settled = !walk.unsaved();
  WriteGpxTrack(PathOf(*walk.started(), settled), walk.Name(), walk.trail().points(), writtenUtc);
  std::filesystem::remove(PathOf(*walk.started(), !settled), ignored);
  if (writtenStart_ && writtenStart_ != walk.started()) {
    std::filesystem::remove(PathOf(*writtenStart_, false), ignored);  // a walk brought back replaces a new one
  }
  SyncFolder(folder_);
  if (now) lastWrite_ = now;
  writtenPoints_ = walk.trail().size();
  writtenUnsaved_ = walk.unsaved();
  writtenStart_ = walk.started();
}

std::vector<JournalFile> WalkJournal::List() const {
  std::vector<JournalFile> found;
  if (folder_.empty()) return found;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder_, error)) {
    if (std::optional<JournalFile> file = JournalOf(entry.path())) found.push_back(std::move(*file));
  }
  std::sort(found.begin(), found.end(), [](const JournalFile& a, const JournalFile& b) {
    return SecondsSinceEpoch(a.started) < SecondsSinceEpoch(b.started);
  });
  return found;
}

void WalkJournal::Settle(const JournalFile& file) const {
  std::error_code error;
  std::filesystem::rename(file.path, PathOf(file.started, true), error);
  if (error) throw KorvexaError("cannot set aside the journal " + file.path.string() + ": " + error.message());
}

void WalkJournal::RemoveOld(const CivilTime& nowLocal) const {
  for (const JournalFile& file : List()) {
    if (file.settled && SecondsSinceEpoch(nowLocal) - SecondsSinceEpoch(file.started) > kKeepDays * kSecondsPerDay) {
      std::error_code ignored;
      std::filesystem::remove(file.path, ignored);
    }
  }
}

std::vector<TrackPoint> ReadGpxTrack(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream whole;
  whole << in.rdbuf();
  if (!in) throw KorvexaError("cannot read " + path.string());
  const std::string text = whole.str();
  std::vector<TrackPoint> points;
  bool newSegment = true;
  for (std::size_t at = 0; (at = text.find('<', at)) != std::string::npos; ++at) {
    const std::string_view rest = std::string_view(text).substr(at);
    if (rest.starts_with("<trkseg>")) newSegment = true;
    if (!rest.starts_with("<trkpt ")) continue;
    const std::size_t end = rest.find("</trkpt>");
    const std::string_view element = rest.substr(0, end);
    const std::string_view tag = element.substr(0, element.find('>'));
    const std::optional<double> latitude = AttributeNumber(tag, "lat"), longitude = AttributeNumber(tag, "lon");
    if (!latitude || !longitude) continue;
    TrackPoint point;
    point.latitude = *latitude;
    point.longitude = *longitude;
    if (const std::string_view ele = Element(element, "ele"); !ele.empty()) {
      double value = 0;
      if (std::from_chars(ele.data(), ele.data() + ele.size(), value).ec == std::errc()) point.elevation = value;
    }
    ReadTime(Element(element, "time"), point);
    point.startsSegment = newSegment;
    newSegment = false;
    points.push_back(point);
  }
  return points;
}

}  // namespace korvexa
