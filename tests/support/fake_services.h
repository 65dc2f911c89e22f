// Conversion services for tests: a frozen clock, an identity transformation
// and converters that only log what they were asked to do.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/services.h"
#include "core/clock.h"
#include "tests/support/golden_time.h"

namespace korvexa::testing {

// What the fake services were asked to do, in order ("todos t12n.lx",
// "define datum pair", "lx2dxf t12n.lx").
struct Journal {
  std::vector<std::string> calls;
  std::function<void()> onDefineDatumPair;  // runs inside DefineDatumPair (may throw)
  std::function<void()> onConvertLineEnds;  // runs inside ConvertLineEnds
  std::function<void()> onDrawTownship;     // runs inside StartDrawing
  DrawingOutcome drawing{true, ""};         // what each drawing gives
};

// A frozen clock, an identity transformation and converters that only log
// their calls, to `journal` when given.
Services FakeServices(Journal* journal = nullptr);

}  // namespace korvexa::testing
