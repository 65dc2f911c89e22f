#include "app/export_result.h"

namespace korvexa {

std::string ExportStatus(const ExportResult& result, const std::string& verbAndWhere) {
  std::string status = result.outputPath.filename().string();
  status += ' ';
  status += verbAndWhere;
  status += '.';
  if (!result.leftOut.empty()) {
    status += ' ';
    status += std::to_string(result.leftOut.size());
    status += result.leftOut.size() == 1 ? " point left out." : " points left out.";
  }
  return status;
}

}  // namespace korvexa
