// The two external converters as the core sees them. Both work on fName, the
// bare title of the loaded file (name and extension, no folder), in the
// current folder, and are waited for; process/ runs them.
#pragma once

#include <string>

namespace korvexa {

class Converters {
 public:
  virtual ~Converters() = default;

  // Rewrites the file `fName` in place with CR LF line ends.
  virtual void ConvertLineEnds(const std::string& fName) = 0;

  // Draws the whole township of the .LX file `fName` as a DXF file beside it.
  virtual void DrawTownship(const std::string& fName) = 0;
};

}  // namespace korvexa
