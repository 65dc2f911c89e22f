#include "process/run_and_wait.h"

#include <limits>

#include "core/korvexa_error.h"
#include "process/running_program.h"

namespace korvexa {
namespace {

void RequireShortShow(const std::string& commandLine, std::int32_t show) {
  if (show < std::numeric_limits<std::int16_t>::min() || show > std::numeric_limits<std::int16_t>::max()) {
    throw KorvexaError("cannot start \"" + commandLine + "\": overflow: the show value " + std::to_string(show) +
                       " does not fit a 16-bit integer (-32768 to 32767)");
  }
}

}  // namespace

std::int32_t RunAndWait(const std::string& commandLine, std::int32_t show, const std::string& title, std::int32_t x,
                        std::int32_t y, std::int32_t width, std::int32_t height, std::int32_t fillAttribute) {
  RequireShortShow(commandLine, show);
  // A Linux program has no console window to place, title or colour.
  (void)title, (void)x, (void)y, (void)width, (void)height, (void)fillAttribute;
  const std::unique_ptr<RunningProgram> program = RunningProgram::Start(commandLine, false);
  return program ? program->Wait().exitCode : kProgramNotStarted;
}

}  // namespace korvexa
