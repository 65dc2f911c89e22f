// What Open and Create need from outside the program: the clock, the datum
// library and the two converters. MakeSystemServices (system_services.h)
// gives the real ones; tests give fakes. Every member is set.
#pragma once

#include <memory>

#include "core/clock.h"
#include "core/converters.h"
#include "core/coordinate_transform.h"

namespace korvexa {

struct Services {
  std::unique_ptr<Clock> clock;
  std::unique_ptr<DatumLibrary> datum;     // NAD27 to NAD83
  std::unique_ptr<Converters> converters;  // todos and lx2dxf
};

}  // namespace korvexa
