// The walk kept for the program's life and its journal: the day a GGA time
// falls on, the GGA and date sentences, the journal's pace, names and
// clean-up, read back by the program and by gpsbabel.
#include "app/navigate/walk_journal.h"

#include <gtest/gtest.h>

#include "app/navigate/nmea_line.h"
#include "app/navigate/receiver_watch.h"
#include "tests/support/golden.h"
#include "tests/support/run_command.h"
#include "tests/support/temp_folder.h"

namespace korvexa {
namespace {

// A fix just before midnight read just after is of the day before, and back.
TEST(NearestDay, PutsTheFixNearestToTheReference) {
  EXPECT_EQ(NearestTimeOfDay(86399000, {2026, 12, 7, 0, 0, 1}), (CivilTime{2026, 12, 6, 23, 59, 59}));
  EXPECT_EQ(NearestTimeOfDay(2500, {2026, 12, 31, 23, 59, 58}), (CivilTime{2027, 1, 1, 0, 0, 2}));
  EXPECT_EQ(NearestTimeOfDay(2500, {2028, 2, 29, 12, 0, 0}), (CivilTime{2028, 2, 29, 0, 0, 2}));
}

TEST(Gga, NeedsAWholePositionAndGivesNoneWithoutAFix) {
  const auto fix = ReadGga("$GNGGA,210300.00,3502.16854,S,10632.64730,E,4,12,0.9,1532.0,M,-22.4,M,,*00");
  ASSERT_TRUE(fix);
  EXPECT_EQ(fix->quality, 4);
  EXPECT_DOUBLE_EQ(*fix->latitude, -(35 + 2.16854 / 60));
  EXPECT_DOUBLE_EQ(*fix->longitude, 106 + 32.64730 / 60);
  EXPECT_EQ(fix->altitude, 1532.0);
  EXPECT_FALSE(ReadGga("$GPGGA,210300.00,3502.16854,N,,,1,12,0.9,1532.0,M,,M,,*00"));
  EXPECT_FALSE(ReadGga("$GPGGA,210300.00,3560.00000,N,10632.64730,W,1,12,0.9,1532.0,M,,M,,*00"));
  EXPECT_FALSE(ReadGga("$GPGGA,210300.00,,,,,0,00,99.9,,M,,M,,*00")->latitude);
  EXPECT_EQ(NmeaDateTime("$GPRMC,210305.00,A,3502.14232,N,10632.68354,W,2.66,48.6,061226,,,A*48"),
            (CivilTime{2026, 12, 6, 21, 3, 5}));
  EXPECT_EQ(NmeaDateTime("$GNZDA,235959.00,31,12,2026,00,00*00"), (CivilTime{2026, 12, 31, 23, 59, 59}));
  EXPECT_FALSE(NmeaDateTime("$GPRMC,210305.00,V,,,,,,,,,,N*00"));
}

TrackPoint At(double latitude, int second) {
  return {latitude, -106.5, 1532.25, CivilTime{2026, 12, 6, 21, 3, second}, second * 10, false};
}

const CivilTime kStart{2026, 12, 6, 14, 3, 27};

TEST(WalkJournal, FollowsTheWalkEveryFewSecondsAndReadsBack) {
  testing::TempFolder folder;
  WalkJournal journal(folder.path() / "state");
  FieldWalk walk;
  walk.AddFix(At(35.1, 0), {0, 0}, kStart);
  journal.Keep(walk, 10.0, kStart);
  const auto open = folder.path() / "state" / "walk-2026-12-06-140327.gpx";
  ASSERT_TRUE(std::filesystem::exists(open));
  walk.trail().Break();
  walk.AddFix(At(35.2, 1), {5, 5}, kStart);
  journal.Keep(walk, 11.0, kStart);  // too soon
  EXPECT_EQ(ReadGpxTrack(open).size(), 1u);
  journal.Keep(walk, 10.0 + WalkJournal::kEverySeconds, kStart);
  const std::vector<TrackPoint> back = ReadGpxTrack(open);
  ASSERT_EQ(back.size(), 2u);
  EXPECT_TRUE(back[1].startsSegment);
  EXPECT_TRUE(back[1].utc == At(35.2, 1).utc && back[1].milliseconds == 10 && back[1].elevation == 1532.25);
  const auto babel =
      testing::RunCommand("gpsbabel -t -i gpx -f " + testing::ShellQuoted(open.string()) + " -o unicsv -F -");
  EXPECT_NE(babel.out.find(",35.200000,-106.500000,1532.3,2026/12/06,21:03:01.010"), std::string::npos) << babel.err;
  walk.MarkSaved();
  journal.Keep(walk, std::nullopt, kStart);
  EXPECT_FALSE(std::filesystem::exists(open));
  ASSERT_EQ(journal.List().size(), 1u);
  EXPECT_TRUE(journal.List()[0].settled);
}

// Only settled journals go, and only after kKeepDays.
TEST(WalkJournal, RemovesOldSettledJournalsOnly) {
  testing::TempFolder folder;
  const std::vector<std::pair<std::string, bool>> kept = {{"walk-2026-11-01-080000.gpx", true},
                                                          {"walk-2026-11-01-090000.saved.gpx", false},
                                                          {"walk-2026-11-20-090000.saved.gpx", true}};
  for (const auto& [name, stays] : kept) testing::WriteBytes(folder.path() / name, "<gpx/>");
  testing::WriteBytes(folder.path() / "walk-notes.gpx", "<gpx/>");
  WalkJournal(folder.path()).RemoveOld(kStart);
  for (const auto& [name, stays] : kept) EXPECT_EQ(std::filesystem::exists(folder.path() / name), stays) << name;
  EXPECT_EQ(WalkJournal(folder.path()).List().size(), 2u);
}

TEST(Reconnect, WaitsGrowFromOneToTenSeconds) {
  const std::vector<double> waits = {ReconnectWait(1), ReconnectWait(2), ReconnectWait(4), ReconnectWait(5)};
  EXPECT_EQ(waits, (std::vector<double>{1, 2, 8, 10}));
}

TEST(JournalFolder, FollowsXdgStateHome) {
  EXPECT_EQ(JournalFolder("/x/state", "/home/ann"), "/x/state/korvexa");
  EXPECT_EQ(JournalFolder("relative", "/home/ann"), "/home/ann/.local/state/korvexa");
  EXPECT_EQ(JournalFolder(nullptr, "/home/ann"), "/home/ann/.local/state/korvexa");
}

}  // namespace
}  // namespace korvexa
