#include "process/system_converters.h"

#include "process/program_folder.h"
#include "process/run_and_wait.h"

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

constexpr const char* kTodosAfterFolder = "/todos ";

void RunConverter(const std::string& commandLine) {
  RunAndWait(commandLine, kHidden, "", kLeft, kTop, kWidth, kHeight, kGreyOnBlack);  // exit code ignored
}

}  // namespace

std::string TodosCommandLine(const std::filesystem::path& programFolder, const std::string& fName) {
  return programFolder.string() + kTodosAfterFolder + fName;
}

std::string Lx2dxfCommandLine(const std::string& fName) {
  return "lx2dxf " + fName;
}

void SystemConverters::ConvertLineEnds(const std::string& fName) {
  RunConverter(TodosCommandLine(ProgramFolder(), fName));
}

void SystemConverters::DrawTownship(const std::string& fName) {
  RunConverter(Lx2dxfCommandLine(fName));
}

}  // namespace korvexa
