// The two external converters, started with a hidden window:
//
//   todos   the line-end converter (Debian's tofrodos), beside the running
//           program: "\"<program folder>/todos\" \"<fName>\"", waited for
//           through RunAndWait; its exit code is ignored.
//   lx2dxf  the DXF converter, found beside the running program or on the
//           PATH (never in the current folder):
//           "lx2dxf \"<fName>\" --output \"<drawing>\"", started beside the
//           caller with its standard error kept for the reason of a failure.
//
// Every name is quoted (program_search.h), so it arrives as one argument
// whatever blanks it holds; a name starting with '-' arrives as "./-name", so
// that it is never read as an option.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "core/converters.h"

namespace korvexa {

// The line-end converter's command line for `fName` (none when empty).
std::string TodosCommandLine(const std::filesystem::path& programFolder, const std::string& fName);

// The DXF converter's command line drawing `fName` into `drawingName`.
std::string Lx2dxfCommandLine(const std::string& fName, const std::string& drawingName);

class SystemConverters : public Converters {
 public:
  // Runs TodosCommandLine(ProgramFolder(), fName) in the current folder and waits.
  void ConvertLineEnds(const std::string& fName) override;

  // Starts Lx2dxfCommandLine in the current folder. A converter that cannot
  // be started, or ends with a status other than 0, makes no drawing; the
  // outcome then says why (its standard error).
  std::unique_ptr<DrawingJob> StartDrawing(const std::string& fName, const std::string& drawingName) override;
};

}  // namespace korvexa
