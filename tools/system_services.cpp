#include "system_services.h"

#include "datum_adapter.h"
#include "system_converters.h"

namespace korvexa {

Services MakeSystemServices() {
  Services services;
  services.clock = std::make_unique<SystemClock>();
  services.datum = std::make_unique<ProLatDatumLibrary>();
  services.converters = std::make_unique<SystemConverters>();
  return services;
}

}  // namespace korvexa
