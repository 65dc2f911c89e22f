// Owning handles for PROJ's C objects, so that every context and object is
// destroyed exactly once, objects before their context, and the texts PROJ
// gives.
#pragma once

#include <proj.h>

#include <memory>
#include <string>
#include <string_view>

namespace korvexa {

struct ContextDestroyer {
  void operator()(PJ_CONTEXT* context) const { proj_context_destroy(context); }
};
struct PjDestroyer {
  void operator()(PJ* object) const { proj_destroy(object); }
};

using ContextHandle = std::unique_ptr<PJ_CONTEXT, ContextDestroyer>;
using PjHandle = std::unique_ptr<PJ, PjDestroyer>;

// A text of PROJ's, empty for none.
inline std::string ProjText(const char* text) {
  return text != nullptr ? text : "";
}

// What went wrong last in `context`, in PROJ's words.
inline std::string ContextError(PJ_CONTEXT* context) {
  const std::string text = ProjText(proj_context_errno_string(context, proj_context_errno(context)));
  return text.empty() ? "unknown error" : text;
}

// True when `object` is EPSG:`code` of PROJ's database.
inline bool IsEpsg(const PJ* object, std::string_view code) {
  return object != nullptr && ProjText(proj_get_id_auth_name(object, 0)) == "EPSG" &&
         ProjText(proj_get_id_code(object, 0)) == code;
}

}  // namespace korvexa
