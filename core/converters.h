// The two external converters as the core sees them. Both work on a bare file
// title in the current folder and are waited for; process/ runs them.
#pragma once

#include <string>

namespace korvexa {

class Converters {
 public:
  virtual ~Converters() = default;

  // Rewrites the file `title` in place with CR LF line ends.
  virtual void ConvertLineEnds(const std::string& title) = 0;

  // Draws the whole township of the .LX file `title` as a DXF file beside it.
  virtual void DrawTownship(const std::string& title) = 0;
};

}  // namespace korvexa
