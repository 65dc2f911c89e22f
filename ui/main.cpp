// korvexa: the window program.
//
//   korvexa [FILE.lx]        opens the main window, and FILE.lx in it
//   korvexa DATASET          opens a PLSS data set and offers its townships
//   korvexa FILE.lx --gps RECEIVER, korvexa DATASET --gps RECEIVER
//                            also opens the township map, showing where the
//                            GPS receiver stands (app/navigate/receiver_choice.h)
//   korvexa --version | --help
//
// Qt's own arguments (-platform, ...) work as in any Qt program. The program
// ends with its last window or File > Exit.
#include <QApplication>
#include <QStringList>
#include <cstring>
#include <exception>
#include <iostream>
#include <optional>

#include "app/build_info.h"
#include "app/navigate/receiver_choice.h"
#include "app/system_services.h"
#include "app/termination_signals.h"
#include "ui/convert/form1.h"
#include "ui/desktop/look.h"
#include "ui/desktop/window_platform.h"
#include "ui/help/texts.h"
#include "ui/map/map_window.h"
#include "ui/navigate/navigator.h"

namespace {

constexpr const char* kUsage =
    "usage: korvexa [FILE.lx] [--gps RECEIVER]\n"
    "\n"
    "Opens the Korvexa window, which turns the corners of a GCDB .LX file into a\n"
    "GPS waypoint file; with FILE.lx, that file is opened at start. FILE may also\n"
    "be a PLSS data set of the BLM (a .gdb folder, a zip holding one, a shapefile\n"
    "or a GeoPackage): its townships are offered to choose from.\n"
    "\n"
    "  --gps RECEIVER  also open the township map of FILE (an .LX file's, or the\n"
    "                  data set's townships chosen) and show on it where\n"
    "                  a GPS receiver stands: serial:DEVICE[@BAUD] (4800 baud\n"
    "                  when not given), gpsd[:HOST[:PORT]] (localhost:2947) or\n"
    "                  file:LOG (an NMEA log, replayed at its own pace)\n"
    "  --version       show the version\n"
    "  --help          show this text\n";

// --version and --help are answered without a display.
std::optional<int> AnswerAtOnce(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--version") == 0) {
      std::cout << "korvexa (Korvexa) " << korvexa::kVersion << "\n";
      return 0;
    }
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      std::cout << kUsage;
      return 0;
    }
  }
  return std::nullopt;
}

struct Arguments {
  QStringList files;
  std::optional<korvexa::ReceiverChoice> gps;
};

// What Qt leaves of the arguments: the file to open and --gps RECEIVER (or
// --gps=RECEIVER). Throws KorvexaError for a receiver it cannot read.
std::optional<Arguments> ReadArguments(const QStringList& arguments) {
  Arguments read;
  for (qsizetype i = 0; i < arguments.size(); ++i) {
    QString gps;
    if (arguments[i] == QStringLiteral("--gps")) {
      if (++i == arguments.size()) return std::nullopt;
      gps = arguments[i];
    } else if (arguments[i].startsWith(QStringLiteral("--gps="))) {
      gps = arguments[i].mid(6);
    } else {
      read.files << arguments[i];
      continue;
    }
    read.gps = korvexa::ParseReceiverChoice(gps.toLocal8Bit().toStdString());
  }
  if (read.files.size() > 1 || (read.gps && read.files.isEmpty())) return std::nullopt;
  return read;
}

}  // namespace

int main(int argc, char** argv) {
  korvexa::TakeTerminationSignals();  // before Qt starts a thread
  if (const std::optional<int> status = AnswerAtOnce(argc, argv)) return *status;
  QApplication app(argc, argv);
  QApplication::setApplicationName(korvexa::texts::kProgramName);
  QApplication::setApplicationVersion(QString::fromLatin1(korvexa::kVersion));
  QApplication::setDesktopFileName(QStringLiteral("org.korvexa.Korvexa"));
  QApplication::setWindowIcon(korvexa::AppIcon());
  std::optional<Arguments> arguments;
  try {
    arguments = ReadArguments(QApplication::arguments().mid(1));
  } catch (const std::exception& error) {
    std::cerr << "error: " << error.what() << "\n";
    return 2;
  }
  if (!arguments) {
    std::cerr << "error: give one .LX file at most, and one with --gps\n\n" << kUsage;
    return 2;
  }
  korvexa::Form1 window(korvexa::MakeSystemServices(), korvexa::MakeDesktopWindowPlatform());
  window.show();
  if (!arguments->files.isEmpty()) window.LoadFile(arguments->files.constFirst());
  window.navigator()->OfferJournalBack(&window);
  if (arguments->gps) {
    window.ShowMap();
    window.navigator()->Start(*arguments->gps);
  }
  return QApplication::exec();
}
