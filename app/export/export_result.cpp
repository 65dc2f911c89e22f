#include "app/export/export_result.h"

namespace korvexa {

std::string ExportStatus(const ExportResult& result, const std::string& verbAndWhere) {
  std::string status = result.outputPath.filename().string();
  status += ' ';
  status += verbAndWhere;
  status += '.';
  AppendLeftOutCount(status, result.leftOut.size());
  return status;
}

}  // namespace korvexa
