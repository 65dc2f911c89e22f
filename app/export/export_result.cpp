#include "app/export/export_result.h"

namespace korvexa {

void AppendLeftOutCount(std::string& status, std::size_t leftOut) {
  if (leftOut == 0) return;
  status += ' ';
  status += std::to_string(leftOut);
  status += leftOut == 1 ? " point left out." : " points left out.";
}

}  // namespace korvexa
