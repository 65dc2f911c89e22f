// korvexa: the window program.
//
//   korvexa [FILE.lx]        opens the main window, and FILE.lx in it
//   korvexa --version | --help
//
// Qt's own arguments (-platform, ...) work as in any Qt program. The program
// ends with its last window or File > Exit.
#include <QApplication>
#include <QStringList>
#include <cstring>
#include <iostream>

#include "app/build_info.h"
#include "app/system_services.h"
#include "ui/form1.h"
#include "ui/look.h"
#include "ui/texts.h"
#include "ui/window_platform.h"

namespace {

constexpr const char* kUsage =
    "usage: korvexa [FILE.lx]\n"
    "\n"
    "Opens the Korvexa window, which turns the corners of a GCDB .LX file into a\n"
    "GPS waypoint file; with FILE.lx, that file is opened at start.\n"
    "\n"
    "  --version  show the version\n"
    "  --help     show this text\n";

// --version and --help are answered without a display.
bool AnswersAtOnce(int argc, char** argv, int& status) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--version") == 0) {
      std::cout << "korvexa (Korvexa) " << korvexa::kVersion << "\n";
      status = 0;
      return true;
    }
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      std::cout << kUsage;
      status = 0;
      return true;
    }
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (int status = 0; AnswersAtOnce(argc, argv, status)) return status;
  QApplication app(argc, argv);
  QApplication::setApplicationName(korvexa::texts::kProgramName);
  QApplication::setApplicationVersion(QString::fromLatin1(korvexa::kVersion));
  QApplication::setDesktopFileName(QStringLiteral("org.korvexa.Korvexa"));
  QApplication::setWindowIcon(korvexa::AppIcon());
  // What Qt leaves of the arguments is the file to open.
  const QStringList files = QApplication::arguments().mid(1);
  if (files.size() > 1) {
    std::cerr << "error: give one .LX file at most\n\n" << kUsage;
    return 2;
  }
  korvexa::Form1 window(korvexa::MakeSystemServices(), korvexa::MakeDesktopWindowPlatform());
  window.show();
  if (!files.isEmpty()) window.LoadFile(files.constFirst());
  return QApplication::exec();
}
