// korvexa_window_writer FILE.lx: the main window as the korvexa program
// starts it (the signals taken first, then Qt), with the real services,
// pressing Create on every corner of FILE.lx over and over: the window
// process that tests/tools/interrupt_test.cpp ends at random moments. Messages are
// recorded, not shown; the window is on the offscreen platform.
#include <QApplication>
#include <QTimer>

#include "app/system_services.h"
#include "app/termination_signals.h"
#include "fixtures/sealed_environment.h"
#include "tests/ui/ui_fakes.h"
#include "ui/convert/form1.h"

int main(int argc, char** argv) {
  korvexa::TakeTerminationSignals();
  korvexa::testing::SealTestEnvironment();
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  if (argc != 2) return 2;
  const korvexa::testing::FakePlatform fakes;
  korvexa::Form1 window(korvexa::MakeSystemServices(), fakes.Platform());
  window.show();
  window.LoadFile(QString::fromLocal8Bit(argv[1]));
  window.SelectAll();
  QTimer create;
  QObject::connect(&create, &QTimer::timeout, &window, &korvexa::Form1::Create);
  create.start(0);
  return QApplication::exec();
}
