// korvexa_plss_window_bench: the main window opening a PLSS data set, on Qt's
// offscreen platform: from LoadFile (as File > Open after the dialog) until
// the township chooser is on the screen with every township of the file.
// Prints the median seconds and the number of townships.
//
// usage: korvexa_plss_window_bench FILE [RUNS]   (bench/plss-compare makes FILE)
#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "tests/ui/ui_fakes.h"
#include "ui/convert/form1.h"
#include "ui/convert/township_chooser.h"

namespace {

using Clock = std::chrono::steady_clock;

// The real dialog, shown and painted, then cancelled.
class TimedChooser : public korvexa::TownshipChooser {
 public:
  std::optional<std::vector<std::string>> Choose(QWidget* parent, const QString& file,
                                                 const std::vector<korvexa::PlssTownshipCount>& townships,
                                                 const std::vector<std::string>& remembered) override {
    korvexa::TownshipChooserDialog dialog(file, townships, remembered, parent);
    dialog.show();
    QApplication::processEvents();
    shown = Clock::now();
    count = townships.size();
    return std::nullopt;
  }
  Clock::time_point shown;
  std::size_t count = 0;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: korvexa_plss_window_bench FILE [RUNS]\n");
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const int runs = argc > 2 ? std::atoi(argv[2]) : 3;
  std::vector<double> seconds;
  std::size_t townships = 0;
  for (int run = 0; run < runs; ++run) {
    korvexa::testing::FakePlatform fakes;
    korvexa::WindowPlatform platform = fakes.Platform();
    auto chooser = std::make_shared<TimedChooser>();
    platform.townshipChooser = chooser;
    korvexa::testing::Journal journal;
    korvexa::Form1 window(korvexa::testing::FakeServices(&journal), platform);
    window.show();
    QApplication::processEvents();
    const Clock::time_point start = Clock::now();
    window.LoadFile(QString::fromLocal8Bit(argv[1]));
    seconds.push_back(std::chrono::duration<double>(chooser->shown - start).count());
    townships = chooser->count;
  }
  std::sort(seconds.begin(), seconds.end());
  std::printf("open to chooser shown: %.3f s (median of %d), %zu townships\n", seconds[seconds.size() / 2], runs,
              townships);
  return 0;
}
