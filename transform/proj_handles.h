// Owning handles for PROJ's C objects, so that every context and object is
// destroyed exactly once, objects before their context.
#pragma once

#include <proj.h>

#include <memory>

namespace korvexa {

struct ContextDestroyer {
  void operator()(PJ_CONTEXT* context) const { proj_context_destroy(context); }
};
struct PjDestroyer {
  void operator()(PJ* object) const { proj_destroy(object); }
};

using ContextHandle = std::unique_ptr<PJ_CONTEXT, ContextDestroyer>;
using PjHandle = std::unique_ptr<PJ, PjDestroyer>;

}  // namespace korvexa
