// The two external converters, started through RunAndWait with a hidden
// window and waited for; their exit codes are ignored, so a missing or failing
// converter changes nothing for the caller.
//
//   todos   the line-end converter (Debian's tofrodos), beside the running
//           program: "<program folder>/todos <fName>"
//   lx2dxf  the DXF converter, found by the program search (own folder, current
//           folder, PATH): "lx2dxf <fName>"
//
// Nothing is quoted: an fName with blanks reaches the converter as several
// arguments, and an empty one as none.
#pragma once

#include <filesystem>
#include <string>

#include "core/converters.h"

namespace korvexa {

// The line-end converter's command line for `fName`.
std::string TodosCommandLine(const std::filesystem::path& programFolder, const std::string& fName);

// The DXF converter's command line for `fName`.
std::string Lx2dxfCommandLine(const std::string& fName);

class SystemConverters : public Converters {
 public:
  // Runs "<ProgramFolder()>/todos fName" in the current folder and waits.
  void ConvertLineEnds(const std::string& fName) override;

  // Runs "lx2dxf fName" in the current folder and waits.
  void DrawTownship(const std::string& fName) override;
};

}  // namespace korvexa
