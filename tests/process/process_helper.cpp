// A stand-in external program for the process runner's tests.
//
//   korvexa_process_helper exit N         ends with exit status N
//   korvexa_process_helper echo [ARG...]  reports and ends with status 0
//   korvexa_process_helper sleep MS       sleeps MS milliseconds, then reports
//   korvexa_process_helper stdin          reads its standard input to the end,
//                                         then reports
//   korvexa_process_helper abort          ends by the signal SIGABRT
//
// The report goes to the file that $KORVEXA_HELPER_REPORT names (standard
// output without it), one item a line: "program=" argv[0], "cwd=" the working
// folder, "stdin=" the number of bytes read (stdin only), then "arg=" each
// argument after the mode.
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>
#include <thread>

namespace {

void Report(int argc, char** argv, const std::string& extra) {
  std::ofstream file;
  const char* reportPath = std::getenv("KORVEXA_HELPER_REPORT");
  if (reportPath != nullptr) file.open(reportPath, std::ios::binary | std::ios::trunc);
  std::ostream& out = reportPath != nullptr ? file : std::cout;
  out << "program=" << argv[0] << "\n"
      << "cwd=" << std::filesystem::current_path().string() << "\n"
      << extra;
  for (int i = 2; i < argc; ++i) out << "arg=" << argv[i] << "\n";
}

std::size_t BytesOfStandardInput() {
  std::size_t total = 0;
  char buffer[4096];
  ssize_t got = 0;
  while ((got = ::read(STDIN_FILENO, buffer, sizeof buffer)) > 0) total += static_cast<std::size_t>(got);
  return total;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string_view mode = argc > 1 ? argv[1] : "";
  if (mode == "exit" && argc > 2) return std::atoi(argv[2]);
  if (mode == "abort") std::abort();
  if (mode == "sleep" && argc > 2) std::this_thread::sleep_for(std::chrono::milliseconds(std::atoi(argv[2])));
  std::string extra;
  if (mode == "stdin") extra = "stdin=" + std::to_string(BytesOfStandardInput()) + "\n";
  if (mode == "echo" || mode == "sleep" || mode == "stdin") {
    Report(argc, argv, extra);
    return 0;
  }
  std::cerr << "korvexa_process_helper: unknown mode \"" << mode << "\"\n";
  return 100;
}
