#include "program_folder.h"

#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

namespace korvexa {

std::filesystem::path ProgramFolder() {
#ifdef _WIN32
  char name[MAX_PATH] = {};
  const DWORD length = ::GetModuleFileNameA(nullptr, name, MAX_PATH);
  if (length > 0 && length < MAX_PATH) return std::filesystem::path(name).parent_path();
  return std::filesystem::current_path();
#else
  std::error_code ec;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::filesystem::current_path() : self.parent_path();
#endif
}

}  // namespace korvexa
