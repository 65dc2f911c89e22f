#include "process/system_converters.h"

#include <unistd.h>

#include <string>
#include <string_view>

#include "process/program_folder.h"
#include "process/program_search.h"
#include "process/run_and_wait.h"
#include "process/running_program.h"

namespace korvexa {
namespace {

// The window arguments of both converters: hidden, no title, 640 x 320
// pixels at the top left corner, light grey on black.
constexpr std::int32_t kHidden = 0;
constexpr std::int32_t kLeft = 0;
constexpr std::int32_t kTop = 0;
constexpr std::int32_t kWidth = 640;
constexpr std::int32_t kHeight = 320;
constexpr std::int32_t kGreyOnBlack = 7;

// A file name as one argument that no program takes for an option.
std::string FileArgument(const std::string& name) {
  return QuoteArgument(name.starts_with('-') ? "./" + name : name);
}

// The converter's message lines without their "error: " or "warning: " and
// without the usage text that may follow an error.
std::string Messages(std::string_view text) {
  std::string messages;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (line.empty()) break;
    for (const std::string_view prefix : {"error: ", "warning: "}) {
      if (line.starts_with(prefix)) line.remove_prefix(prefix.size());
    }
    if (!messages.empty()) messages += '\n';
    messages += line;
  }
  return messages;
}

class Lx2dxfJob : public DrawingJob {
 public:
  explicit Lx2dxfJob(std::unique_ptr<RunningProgram> program) : program_(std::move(program)) {}

  DrawingOutcome Wait() override {
    if (!program_) {
      return {false, "the DXF converter lx2dxf was found neither beside the program nor on the PATH"};
    }
    const ProgramOutcome outcome = program_->Wait();
    DrawingOutcome drawing{outcome.exitCode == 0, Messages(outcome.errors)};
    if (!drawing.drawn && drawing.messages.empty()) {
      drawing.messages = "lx2dxf ended with status " + std::to_string(outcome.exitCode);
    }
    return drawing;
  }

 private:
  std::unique_ptr<RunningProgram> program_;
};

}  // namespace

std::string TodosCommandLine(const std::filesystem::path& programFolder, const std::string& fName) {
  std::string line = QuoteArgument((programFolder / "todos").string());
  if (!fName.empty()) {
    line += ' ';
    line += FileArgument(fName);
  }
  return line;
}

std::string Lx2dxfCommandLine(const std::string& fName, const std::string& drawingName) {
  std::string line = "lx2dxf " + FileArgument(fName);
  line += " --output ";
  line += FileArgument(drawingName);
  line += " --parent ";
  line += std::to_string(::getpid());
  return line;
}

void SystemConverters::ConvertLineEnds(const std::string& fName) {
  RunAndWait(TodosCommandLine(ProgramFolder(), fName), kHidden, "", kLeft, kTop, kWidth, kHeight,
             kGreyOnBlack);  // exit code ignored
}

std::unique_ptr<DrawingJob> SystemConverters::StartDrawing(const std::string& fName, const std::string& drawingName) {
  return std::make_unique<Lx2dxfJob>(RunningProgram::Start(Lx2dxfCommandLine(fName, drawingName), true));
}

}  // namespace korvexa
