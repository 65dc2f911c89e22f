#include "sealed_environment.h"

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace korvexa::testing {
namespace {

std::string& UserProjFolder() {
  static std::string folder;
  return folder;
}

void RemoveUserProjFolder() {
  std::error_code ec;
  std::filesystem::remove_all(UserProjFolder(), ec);
}

}  // namespace

void SealTestEnvironment() {
  ::setenv("PROJ_DATA", KORVEXA_TEST_PROJ_DATA, 1);
  ::setenv("PROJ_NETWORK", "OFF", 1);
  std::string pattern = (std::filesystem::temp_directory_path() / "korvexa-proj-user-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot create PROJ's user folder for the test");
  UserProjFolder() = pattern;
  std::atexit(RemoveUserProjFolder);
  ::setenv("PROJ_USER_WRITABLE_DIRECTORY", pattern.c_str(), 1);
  ::setenv("LOCPATH", KORVEXA_TEST_LOCALES, 1);
}

}  // namespace korvexa::testing
