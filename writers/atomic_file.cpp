#include "writers/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "core/korvexa_error.h"
#include "writers/temporary_files.h"

namespace korvexa {
namespace {

// The file `target` names at the end of its chain of links, which need not
// exist yet: an output written through a link replaces what it points to.
std::filesystem::path FollowLinks(std::filesystem::path target) {
  std::error_code ec;
  for (int hops = 0; hops < 40 && std::filesystem::is_symlink(target, ec); ++hops) {
    const std::filesystem::path link = std::filesystem::read_symlink(target, ec);
    if (ec) break;
    target = link.is_absolute() ? link : target.parent_path() / link;
  }
  return target;
}

// A hidden name for the temporary file of `name` in the same folder, as long
// as a name may be ("name" gives ".name.XXXXXX").
std::string TemporaryName(const std::string& name, const std::filesystem::path& folder) {
  const long longest = ::pathconf(folder.c_str(), _PC_NAME_MAX);
  const std::size_t room = longest > 0 ? static_cast<std::size_t>(longest) : 255;
  constexpr std::string_view kUnique = ".XXXXXX";
  std::string temporary = ".";
  temporary.append(name, 0, room - 1 - kUnique.size());
  temporary.append(kUnique);
  return temporary;
}

// New files get the usual permissions (0666 less the umask); a replaced file
// keeps its own.
mode_t ModeFor(const std::filesystem::path& target) {
  struct stat existing {};
  if (::stat(target.c_str(), &existing) == 0) return existing.st_mode & 07777;
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

}  // namespace

AtomicFile::AtomicFile(std::filesystem::path target) : target_(FollowLinks(std::move(target))) {
  struct stat existing {};
  if (::stat(target_.c_str(), &existing) == 0) {
    if (S_ISDIR(existing.st_mode)) Fail("create", EISDIR);
    if (!S_ISREG(existing.st_mode)) Fail("replace", "it is not a regular file (a device, a FIFO or a socket)");
    // A file marked read-only stays untouched, also for a user who could
    // replace it anyway (the folder is writable, or the user is root).
    if ((existing.st_mode & 0222) == 0) Fail("overwrite", EACCES);
    if (::access(target_.c_str(), W_OK) != 0) Fail("overwrite", errno);
  }
  std::filesystem::path folder = target_.parent_path();
  if (folder.empty()) folder = ".";
  std::string pattern = std::filesystem::absolute(folder / TemporaryName(target_.filename().string(), folder)).string();
  fd_ = CreateTemporaryFile(pattern, slot_);
  if (fd_ < 0) Fail("create", errno);
  temporary_ = pattern;
  ::fchmod(fd_, ModeFor(target_));
}

AtomicFile::~AtomicFile() {
  Discard();
}

void AtomicFile::Write(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd_, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      const int error = errno;
      Discard();
      Fail("write", error);
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
}

void AtomicFile::Commit() {
  Sync();
  Rename();
}

void AtomicFile::Sync() {
  int error = 0;
  if (::fsync(fd_) != 0) error = errno;
  if (::close(fd_) != 0 && error == 0) error = errno;
  fd_ = -1;
  if (error != 0) {
    Discard();
    Fail("write", error);
  }
}

void AtomicFile::Rename() {
  if (std::rename(temporary_.c_str(), target_.c_str()) != 0) {
    const int error = errno;
    Discard();
    Fail("write", error);
  }
  ForgetTemporaryFile(slot_);
  temporary_.clear();
}

void AtomicFile::CommitTogether(AtomicFile& first, AtomicFile& last) {
  first.Sync();
  last.Sync();
  const auto hold = HoldRemoval();
  // A second name keeps the old content of `first` until `last` is in place.
  const std::string kept = first.temporary_.string() + "~";
  const bool hadOld = ::link(first.target_.c_str(), kept.c_str()) == 0;
  first.Rename();
  try {
    last.Rename();
  } catch (const KorvexaError&) {
    if (hadOld) {
      std::rename(kept.c_str(), first.target_.c_str());
    } else {
      ::unlink(first.target_.c_str());
    }
    throw;
  }
  if (hadOld) ::unlink(kept.c_str());
}

void AtomicFile::Discard() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!temporary_.empty()) ::unlink(temporary_.c_str());
  ForgetTemporaryFile(slot_);
  temporary_.clear();
}

void AtomicFile::Fail(const char* action, int error) const {
  Fail(action, std::strerror(error));
}

void AtomicFile::Fail(const char* action, const char* why) const {
  throw KorvexaError(std::string("cannot ") + action + " \"" + target_.string() + "\": " + why);
}

void SyncFolder(const std::filesystem::path& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) throw KorvexaError("cannot sync the folder \"" + folder.string() + "\": " + std::strerror(errno));
  const int error = ::fsync(fd) == 0 ? 0 : errno;
  ::close(fd);
  if (error != 0 && error != EINVAL && error != EROFS && error != ENOTSUP && error != ENOSYS) {
    throw KorvexaError("cannot sync the folder \"" + folder.string() + "\": " + std::strerror(error));
  }
}

}  // namespace korvexa
