// The journal of a walk: its trail as a GPX 1.1 track, rewritten as it
// grows so that a crash, a kill or a power cut loses at most the last few
// seconds of it. One file a walk in the journal folder
// ($XDG_STATE_HOME/korvexa, else ~/.local/state/korvexa), named by the
// walk's start (local time):
//
//   walk-2026-12-06-140327.gpx        open: the walk has not been saved
//   walk-2026-12-06-140327.saved.gpx  settled: saved, or not wanted back
//
// Every write replaces the whole file atomically (writers/atomic_file.h), so
// the file is always a complete GPX file. Settled journals older than
// kKeepDays are removed; an open one is kept until it is settled.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/navigate/field_walk.h"
#include "core/clock.h"
#include "writers/gpx_track_writer.h"

namespace korvexa {

// The journal folder: `stateHome`/korvexa when it is set and absolute (as
// the XDG base directories want), else `home`/.local/state/korvexa.
std::filesystem::path JournalFolder(const char* stateHome, const char* home);

struct JournalFile {
  std::filesystem::path path;
  CivilTime started;  // local time, from the name
  bool settled = false;
};

class WalkJournal {
 public:
  static constexpr double kEverySeconds = 2;  // at most this far behind the walk, plus one refresh
  static constexpr int kKeepDays = 30;

  // An empty `folder` keeps no journal.
  explicit WalkJournal(std::filesystem::path folder) : folder_(std::move(folder)) {}

  // Writes `walk` (open while unsaved, else settled) when it changed since
  // the last write and kEverySeconds have passed since then on the caller's
  // clock of seconds `now`; at once when `now` is not given. Throws
  // KorvexaError when the file cannot be written.
  void Keep(const FieldWalk& walk, std::optional<double> now, const CivilTime& writtenUtc);

  // The journals in the folder, oldest first.
  std::vector<JournalFile> List() const;
  // Renames an open journal to settled.
  void Settle(const JournalFile& file) const;
  // Removes the settled journals whose walks started more than kKeepDays
  // before `nowLocal`.
  void RemoveOld(const CivilTime& nowLocal) const;

  const std::filesystem::path& folder() const { return folder_; }

 private:
  std::filesystem::path PathOf(const CivilTime& started, bool settled) const;

  std::filesystem::path folder_;
  std::optional<double> lastWrite_;
  std::size_t writtenPoints_ = 0;
  bool writtenUnsaved_ = false;
  std::optional<CivilTime> writtenStart_;
};

// The track points of a GPX track file this program wrote, each stretch
// starting where a <trkseg> does. Throws KorvexaError when it cannot be read.
std::vector<TrackPoint> ReadGpxTrack(const std::filesystem::path& path);

}  // namespace korvexa
