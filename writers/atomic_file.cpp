#include "writers/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "core/korvexa_error.h"

namespace korvexa {
namespace {

std::filesystem::path ResolveSymlink(const std::filesystem::path& target) {
  std::error_code ec;
  if (std::filesystem::is_symlink(target, ec)) {
    auto resolved = std::filesystem::weakly_canonical(target, ec);
    if (!ec) return resolved;
  }
  return target;
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

AtomicFile::AtomicFile(std::filesystem::path target) : target_(ResolveSymlink(target)) {
  struct stat existing {};
  if (::stat(target_.c_str(), &existing) == 0) {
    if (S_ISDIR(existing.st_mode)) Fail("create", EISDIR);
    // A file marked read-only stays untouched, also for a user who could
    // replace it anyway (the folder is writable, or the user is root).
    if ((existing.st_mode & 0222) == 0) Fail("overwrite", EACCES);
    if (::access(target_.c_str(), W_OK) != 0) Fail("overwrite", errno);
  }
  std::filesystem::path folder = target_.parent_path();
  if (folder.empty()) folder = ".";
  std::string hiddenName = ".";
  hiddenName += target_.filename().string();
  hiddenName += ".XXXXXX";
  std::string pattern = (folder / hiddenName).string();
  fd_ = ::mkstemp(pattern.data());
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
  int error = 0;
  if (::fsync(fd_) != 0) error = errno;
  if (::close(fd_) != 0 && error == 0) error = errno;
  fd_ = -1;
  if (error == 0 && std::rename(temporary_.c_str(), target_.c_str()) != 0) error = errno;
  if (error != 0) {
    Discard();
    Fail("write", error);
  }
  temporary_.clear();
}

void AtomicFile::Discard() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!temporary_.empty()) ::unlink(temporary_.c_str());
  temporary_.clear();
}

void AtomicFile::Fail(const char* action, int error) const {
  throw KorvexaError(std::string("cannot ") + action + " \"" + target_.string() + "\": " + std::strerror(error));
}

}  // namespace korvexa
