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

}  // namespace
}  // namespace korvexa
