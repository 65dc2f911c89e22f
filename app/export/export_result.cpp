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

void AppendLeftOutCount(std::string& status, std::size_t leftOut) {
  if (leftOut == 0) return;
  status += ' ';
  status += std::to_string(leftOut);
  status += leftOut == 1 ? " point left out." : " points left out.";
}

std::string LeftOutText(const std::vector<LeftOutPoint>& leftOut) {
  std::string text = leftOut.size() == 1
                         ? "1 ticked point without usable coordinates was left out: "
                         : std::to_string(leftOut.size()) + " ticked points without usable coordinates were left out: ";
  for (std::size_t i = 0; i < leftOut.size(); ++i) {
    text += (i > 0 ? ", " : "") + leftOut[i].name + " (" + leftOut[i].reason + ")";
  }
  return text;
}

}  // namespace korvexa
