// What the commands need from outside the core. A missing service makes the
// option that needs it fail with a clear error instead of being skipped.
#pragma once

#include <memory>

#include "clock.h"
#include "converters.h"
#include "coordinate_transform.h"

namespace korvexa {

struct Services {
  std::unique_ptr<Clock> clock;
  std::unique_ptr<DatumLibrary> datum;     // NAD27 to NAD83; null when not available
  std::unique_ptr<Converters> converters;  // todos and lx2dxf; null when not available
};

}  // namespace korvexa
