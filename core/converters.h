// The two external converters as the core sees them. Both work on fName, the
// bare title of the loaded file (name and extension, no folder), in the
// current folder; process/ runs them.
#pragma once

#include <memory>
#include <string>

namespace korvexa {

// What became of a drawing.
struct DrawingOutcome {
  bool drawn = false;
  std::string messages;  // what the converter said, a line each: why it failed, or its warnings
};

// A drawing being made.
class DrawingJob {
 public:
  virtual ~DrawingJob() = default;
  // Waits until the converter has ended (a job not waited for is waited for
  // when it is destroyed).
  virtual DrawingOutcome Wait() = 0;
};

class Converters {
 public:
  virtual ~Converters() = default;

  // Rewrites the file `fName` in place with CR LF line ends and waits.
  virtual void ConvertLineEnds(const std::string& fName) = 0;

  // Starts drawing the whole township of the .LX file `fName` into the file
  // `drawingName` (a path, absolute or against the current folder) and
  // returns at once.
  virtual std::unique_ptr<DrawingJob> StartDrawing(const std::string& fName, const std::string& drawingName) = 0;
};

}  // namespace korvexa
