#include "writers/temporary_files.h"

#include <unistd.h>

#include <cerrno>
#include <map>
#include <mutex>
#include <new>

namespace korvexa {
namespace {

// The files made and not yet forgotten, by slot, under the lock that makes
// making and remembering one step. Never destroyed: the removal at the end
// may still need them while the program's statics go away.
struct Remembered {
  std::recursive_mutex lock;  // recursive: a holder of HoldRemoval goes on making and forgetting files
  std::map<int, std::string> files;
  int nextSlot = 0;
};

Remembered& TheRemembered() {
  static Remembered* const remembered = new Remembered;
  return *remembered;
}

}  // namespace

int CreateTemporaryFile(std::string& pattern, int& slot) {
  Remembered& remembered = TheRemembered();
  const std::lock_guard lock(remembered.lock);
  slot = -1;
  const int fd = ::mkstemp(pattern.data());
  if (fd < 0) return fd;
  try {
    remembered.files.emplace(remembered.nextSlot, pattern);
  } catch (const std::bad_alloc&) {
    ::close(fd);
    ::unlink(pattern.c_str());
    errno = ENOMEM;
    return -1;
  }
  slot = remembered.nextSlot++;
  return fd;
}

void ForgetTemporaryFile(int slot) {
  if (slot < 0) return;
  Remembered& remembered = TheRemembered();
  const std::lock_guard lock(remembered.lock);
  remembered.files.erase(slot);
}

std::unique_lock<std::recursive_mutex> HoldRemoval() {
  return std::unique_lock(TheRemembered().lock);
}

void RemoveTemporaryFiles() {
  Remembered& remembered = TheRemembered();
  remembered.lock.lock();  // kept: no file is made after this
  for (const auto& [slot, path] : remembered.files) ::unlink(path.c_str());
}

}  // namespace korvexa
