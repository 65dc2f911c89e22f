#include "system_services.h"

#include "system_converters.h"

namespace korvexa {

Services MakeSystemServices() {
  Services services;
  services.clock = std::make_unique<SystemClock>();
  services.converters = std::make_unique<SystemConverters>();
  return services;
}

}  // namespace korvexa
