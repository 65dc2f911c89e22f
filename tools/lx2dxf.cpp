// lx2dxf: draws the township of a GCDB .LX file as an AutoCAD R12 DXF file.
//
//   lx2dxf FILE.lx [r] [--output DRAWING.dxf]      ("R" works as "r")
//
// Writes the drawing of FILE.lx (app/convert/township_drawing.h, writers/dxf_writer.h)
// beside it as FILE.dxf, or under the name --output gives, completely or not
// at all. Points left out are named in "warning:" lines on standard error.
// Exit status 0 when the drawing was written, 1 when the file cannot be drawn
// (one "error:" line), 2 for a wrong command line.
#include <sys/prctl.h>
#include <unistd.h>

#include <charconv>
#include <csignal>
#include <filesystem>
#include <iostream>
#include <string>
#include <string_view>

#include "app/build_info.h"
#include "app/convert/township_drawing.h"
#include "app/termination_signals.h"
#include "core/korvexa_error.h"
#include "core/printable_text.h"

namespace {

using korvexa::KorvexaError;

constexpr std::string_view kUsage =
    "usage: lx2dxf FILE.lx [r] [--output DRAWING.dxf] [--parent PID]\n"
    "\n"
    "Draws the township of the GCDB .LX file FILE.lx as an AutoCAD R12 DXF file\n"
    "beside it (FILE.dxf), in metres in the NAD27 UTM zone of the township:\n"
    "layer LINES holds the surveyed lines, POINTS every point and LABELS the\n"
    "PointIDs. Points without usable coordinates are left out, with a warning.\n"
    "\n"
    "  r          put the lines on one layer per reliability (RELY_1, RELY_2, ...)\n"
    "             instead of LINES\n"
    "  --output   write the drawing to DRAWING.dxf instead\n"
    "  --parent PID  end with process PID, the program that starts lx2dxf;\n"
    "             draw nothing when it has already ended\n"
    "  --version  show the version\n"
    "  --help     show this text\n";

struct Arguments {
  std::string file;
  std::filesystem::path drawing;
  bool byReliability = false;
  pid_t parent = 0;  // 0: whichever started it
  bool help = false;
  bool version = false;
};

pid_t ParentId(std::string_view text) {
  pid_t id = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), id);
  if (error != std::errc() || end != text.data() + text.size() || id <= 0) {
    throw KorvexaError("--parent takes a process id, not \"" + std::string(text) + "\"");
  }
  return id;
}

Arguments ParseArguments(int argc, char** argv) {
  Arguments arguments;
  const std::string_view first = argc >= 2 ? argv[1] : "";
  arguments.help = first == "--help" || first == "-h";
  arguments.version = first == "--version";
  if (arguments.help || arguments.version) return arguments;
  if (first.empty()) throw KorvexaError("no .LX file given");
  arguments.file = first;
  for (int i = 2; i < argc; ++i) {
    const std::string_view option = argv[i];
    if ((option == "r" || option == "R") && !arguments.byReliability) {
      arguments.byReliability = true;
    } else if (option == "--output" && i + 1 < argc && arguments.drawing.empty()) {
      arguments.drawing = argv[++i];
    } else if (option == "--parent" && i + 1 < argc && arguments.parent == 0) {
      arguments.parent = ParentId(argv[++i]);
    } else if (option == "r" || option == "R" || option == "--output" || option == "--parent") {
      throw KorvexaError("too many arguments (a file name with blanks arrives as several arguments)");
    } else {
      throw KorvexaError("unknown option \"" + std::string(option) + "\" after \"" + arguments.file +
                         "\" (the options are r and --output; a file name with blanks arrives as several arguments)");
    }
  }
  return arguments;
}

// Ends the converter with the program that started it (SIGTERM, taken as
// every SIGTERM is, so it also removes the temporary file): Create ended
// half way leaves no lx2dxf drawing on by itself. The window names itself
// with --parent, since a converter orphaned before it gets here would only
// see the process that adopted it.
void EndWithTheParent(pid_t parent) {
  if (parent == 0) parent = ::getppid();
  ::prctl(PR_SET_PDEATHSIG, SIGTERM);
  if (::getppid() != parent) {
    throw KorvexaError("process " + std::to_string(parent) + ", which started lx2dxf, has ended");
  }
}

}  // namespace

int main(int argc, char** argv) {
  korvexa::TakeTerminationSignals();
  Arguments arguments;
  try {
    arguments = ParseArguments(argc, argv);
  } catch (const KorvexaError& error) {
    std::cerr << "error: " << korvexa::PrintableText(error.what()) << "\n\n" << kUsage;
    return 2;
  }
  if (arguments.help) {
    std::cout << kUsage;
    return 0;
  }
  if (arguments.version) {
    std::cout << "lx2dxf (Korvexa) " << korvexa::kVersion << "\n";
    return 0;
  }
  try {
    EndWithTheParent(arguments.parent);
    if (arguments.drawing.empty()) arguments.drawing = korvexa::DrawingPath(arguments.file);
    korvexa::UtmProjections projections;
    for (const korvexa::LeftOutPoint& point :
         korvexa::WriteTownshipDrawing(arguments.file, arguments.drawing, arguments.byReliability, projections)) {
      std::cerr << "warning: point " << korvexa::PrintableText(point.name) << " left out: " << point.reason << "\n";
    }
  } catch (const std::exception& error) {
    std::cerr << "error: " << korvexa::PrintableText(error.what()) << std::endl;
    return 1;
  }
  return 0;
}
