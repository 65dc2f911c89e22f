#include "writers/atomic_file.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <functional>

#include "core/korvexa_error.h"
#include "tests/support/temp_folder.h"

namespace korvexa {
namespace {

using ::testing::HasSubstr;

std::string ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const KorvexaError& error) {
    return error.what();
  }
  return "(no error)";
}

TEST(AtomicFileTest, CommitReplacesTheTargetAndKeepsItsPermissions) {
  testing::TempFolder folder;
  testing::WriteBytes(folder / "a.grm", "old");
  ::chmod((folder / "a.grm").c_str(), 0640);
  {
    AtomicFile file(folder / "a.grm");
    file.Write("new ");
    file.Write("content");
    EXPECT_EQ(testing::ReadBytes(folder / "a.grm"), "old") << "visible before the commit";
    file.Commit();
  }
  EXPECT_EQ(testing::ReadBytes(folder / "a.grm"), "new content");
  EXPECT_EQ(testing::ListFolder(folder.path()), "a.grm");
  struct stat info {};
  ::stat((folder / "a.grm").c_str(), &info);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
}

TEST(AtomicFileTest, WithoutCommitTheOldFileStaysAndNothingIsLeftBehind) {
  testing::TempFolder folder;
  testing::WriteBytes(folder / "a.grm", "old");
  {
    AtomicFile file(folder / "a.grm");
    file.Write("half a file");
  }
  EXPECT_EQ(testing::ReadBytes(folder / "a.grm"), "old");
  EXPECT_EQ(testing::ListFolder(folder.path()), "a.grm");
}

// The .prj cannot take its name (a folder came in its place): the CSV goes
// back to its old content, or away when it is new, and nothing is left.
TEST(AtomicFileTest, APairWhoseSecondCannotFollowLeavesTheFirstAsItWas) {
  for (const bool hadOld : {true, false}) {
    testing::TempFolder folder;
    if (hadOld) testing::WriteBytes(folder / "t.csv", "old");
    AtomicFile csv(folder / "t.csv"), prj(folder / "t.prj");
    csv.Write("new");
    std::filesystem::create_directories(folder / "t.prj" / "x");
    EXPECT_THAT(ErrorOf([&] { AtomicFile::CommitTogether(csv, prj); }), HasSubstr("t.prj"));
    EXPECT_EQ(testing::ListFolder(folder.path()), hadOld ? "t.csv t.prj" : "t.prj");
    EXPECT_EQ(hadOld ? testing::ReadBytes(folder / "t.csv") : "old", "old");
  }
}

TEST(AtomicFileTest, NewFilesGetTheUsualPermissions) {
  testing::TempFolder folder;
  const mode_t old = ::umask(022);
  {
    AtomicFile file(folder / "new.gpx");
    file.Commit();
  }
  ::umask(old);
  struct stat info {};
  ::stat((folder / "new.gpx").c_str(), &info);
  EXPECT_EQ(info.st_mode & 0777, 0644u);
}

TEST(AtomicFileTest, TargetsThatCannotBeWrittenAreErrorsNamingTheFile) {
  testing::TempFolder folder;
  EXPECT_THAT(
      ErrorOf([&] { AtomicFile file(folder / "no-such-folder" / "a.grm"); }),
      HasSubstr("cannot create \"" + (folder / "no-such-folder" / "a.grm").string() + "\": No such file or directory"));
  std::filesystem::create_directory(folder / "dir.grm");
  EXPECT_THAT(ErrorOf([&] { AtomicFile file(folder / "dir.grm"); }), HasSubstr("Is a directory"));
  testing::WriteBytes(folder / "locked.grm", "keep");
  ::chmod((folder / "locked.grm").c_str(), 0444);
  EXPECT_THAT(ErrorOf([&] { AtomicFile file(folder / "locked.grm"); }),
              HasSubstr("cannot overwrite \"" + (folder / "locked.grm").string() + "\": Permission denied"));
  EXPECT_EQ(testing::ReadBytes(folder / "locked.grm"), "keep");
  EXPECT_EQ(testing::ListFolder(folder.path()), "dir.grm locked.grm");
}

TEST(AtomicFileTest, ASymlinkedTargetIsReplacedWhereItPoints) {
  testing::TempFolder folder;
  std::filesystem::create_directory(folder / "real");
  testing::WriteBytes(folder / "real" / "a.grm", "old");
  std::filesystem::create_symlink(folder / "real" / "a.grm", folder / "a.grm");
  {
    AtomicFile file(folder / "a.grm");
    file.Write("new");
    file.Commit();
  }
  EXPECT_TRUE(std::filesystem::is_symlink(folder / "a.grm"));
  EXPECT_EQ(testing::ReadBytes(folder / "real" / "a.grm"), "new");
}

// Names an output may have: each is either written where it leads, or
// refused with nothing written anywhere.
TEST(AtomicFileTest, OutputNamesAreWrittenWhereTheyLeadOrRefused) {
  struct Case {
    const char* name;
    std::function<std::filesystem::path(const std::filesystem::path&)> make;  // the output's name in a folder
    const char* written;  // the file that gets the content, relative to the folder; "" when refused
    const char* error;
  };
  const Case cases[] = {
      {"RelativeLinkIntoAnotherFolder",
       [](const std::filesystem::path& folder) {
         std::filesystem::create_directory(folder / "other");
         testing::WriteBytes(folder / "other" / "target.dxf", "old");
         std::filesystem::create_symlink("other/target.dxf", folder / "t.dxf");
         return folder / "t.dxf";
       },
       "other/target.dxf", ""},
      {"LinkToAFileNotThereYet",
       [](const std::filesystem::path& folder) {
         std::filesystem::create_directory(folder / "other");
         std::filesystem::create_symlink("other/new.gpx", folder / "t.gpx");
         return folder / "t.gpx";
       },
       "other/new.gpx", ""},
      {"LinkToADevice",
       [](const std::filesystem::path& folder) {
         std::filesystem::create_symlink("/dev/null", folder / "t.gpx");
         return folder / "t.gpx";
       },
       "", "cannot replace \"/dev/null\": it is not a regular file"},
      {"Fifo",
       [](const std::filesystem::path& folder) {
         ::mkfifo((folder / "t.grm").c_str(), 0644);
         return folder / "t.grm";
       },
       "", "it is not a regular file"},
      {"TheLongestName", [](const std::filesystem::path& folder) { return folder / (std::string(251, 'n') + ".gpx"); },
       "nnnn", ""},
  };
  for (const Case& c : cases) {
    testing::TempFolder folder;
    const std::filesystem::path name = c.make(folder.path());
    const std::string before = testing::ListFolder(folder.path());
    const std::string error = ErrorOf([&] {
      AtomicFile file(name);
      file.Write("new");
      file.Commit();
    });
    if (*c.written == '\0') {
      EXPECT_THAT(error, HasSubstr(c.error)) << c.name;
      EXPECT_EQ(testing::ListFolder(folder.path()), before) << c.name;
      continue;
    }
    EXPECT_EQ(error, "(no error)") << c.name;
    const std::filesystem::path written = std::string_view(c.written) == "nnnn" ? name : folder.path() / c.written;
    EXPECT_EQ(testing::ReadBytes(written), "new") << c.name;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder.path())) {
      EXPECT_NE(entry.path().filename().string().front(), '.') << c.name << ": " << entry.path();
    }
  }
}

}  // namespace
}  // namespace korvexa
