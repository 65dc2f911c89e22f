#include "system_services.h"

#include <system_error>

#include "datum_adapter.h"

namespace korvexa {

std::filesystem::path ProgramFolder() {
  std::error_code ec;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::filesystem::current_path() : self.parent_path();
}

Services MakeSystemServices() {
  Services services;
  services.clock = std::make_unique<SystemClock>();
  services.datum = std::make_unique<ProLatDatumLibrary>();
  return services;
}

}  // namespace korvexa
