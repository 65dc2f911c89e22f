// korvexa_window_bench: the main window with a file, on Qt's offscreen
// platform: LoadFile (as File > Open after the dialog, with the line-end
// converter), Select all, Create. One township is created with the options
// the window opens with (GPX, NAD27 to NAD83, the drawing by lx2dxf); more
// as GPX without the transformation and the drawing. Prints the median
// seconds of each step and of the whole.
//
// usage: korvexa_window_bench [TOWNSHIPS] [RUNS]
//   TOWNSHIPS  townships of every corner once (default 1184: 200,096 points)
//   RUNS       default 3
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include "app/system_services.h"
#include "fixtures/synthetic_township.h"
#include "tests/support/temp_folder.h"
#include "tests/ui/child.h"
#include "tests/ui/ui_fakes.h"
#include "ui/convert/form1.h"
#include "ui/convert/point_list_model.h"

namespace {

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const long townships = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 1184;
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
  korvexa::testing::TempFolder folder;
  const std::filesystem::path file = folder / "big.lx";
  korvexa::testing::TownshipLayout layout;
  layout.eachCornerOnce = true;
  korvexa::testing::WriteBytes(file, korvexa::testing::SyntheticLxText(static_cast<std::size_t>(townships), layout));

  korvexa::testing::FakePlatform fakes;
  korvexa::Form1 window(korvexa::MakeSystemServices(), fakes.Platform());
  window.show();
  std::vector<double> load, select, create, total;
  std::size_t points = 0;
  for (int run = 0; run < runs; ++run) {
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    window.LoadFile(QString::fromStdString(file.string()));
    const auto loaded = Clock::now();
    window.SelectAll();
    const auto selected = Clock::now();
    korvexa::testing::Child<QRadioButton>(window, "Option2")->setChecked(true);
    korvexa::testing::Child<QCheckBox>(window, "Check1")->setChecked(townships == 1);
    korvexa::testing::Child<QCheckBox>(window, "Check2")->setChecked(townships == 1);
    window.Create();
    const auto created = Clock::now();
    load.push_back(std::chrono::duration<double>(loaded - start).count());
    select.push_back(std::chrono::duration<double>(selected - loaded).count());
    create.push_back(std::chrono::duration<double>(created - selected).count());
    total.push_back(std::chrono::duration<double>(created - start).count());
    points = window.points()->points().size();
  }
  // The synthetic townships share their PointIDs: the names-twice warning
  // of a many-township file is expected, a failed Create is not.
  for (const auto& message : fakes.sink->messages) {
    if (message.kind == korvexa::MessageKind::Warning) continue;
    std::fprintf(stderr, "error: the window says: %s\n", qPrintable(message.text));
    return 1;
  }
  if (!korvexa::testing::Child<QLabel>(window, "Label2")->text().contains(QStringLiteral("created")) ||
      !std::filesystem::exists(folder / "big.gpx")) {
    std::fprintf(stderr, "error: Create wrote no GPX file (status \"%s\")\n",
                 qPrintable(korvexa::testing::Child<QLabel>(window, "Label2")->text()));
    return 1;
  }
  std::printf("%zu points, medians of %d runs: LoadFile %.3f s, SelectAll %.3f s, Create %.3f s, all %.3f s\n", points,
              runs, Median(load), Median(select), Median(create), Median(total));
  return 0;
}
