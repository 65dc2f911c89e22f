// korvexa: the window program. Takes no arguments of its own (Qt's own, such
// as -platform, still work); the main window opens in its start state and the
// program ends with its last window or File > Exit.
#include <QApplication>

#include "form1.h"
#include "look.h"
#include "system_services.h"
#include "texts.h"
#include "window_platform.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(korvexa::texts::kProgramName);
  QApplication::setWindowIcon(korvexa::AppIcon());
  korvexa::Form1 window(korvexa::MakeSystemServices(), korvexa::MakeDesktopWindowPlatform());
  window.show();
  return QApplication::exec();
}
