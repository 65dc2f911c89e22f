// Repainting the township map: one full repaint of the map of up to 100,000
// corners (592 synthetic townships), rendered offscreen into a picture of a
// 1200 x 800 map window, as the whole township and zoomed in; and building
// the map of a loaded file. A repaint must stay under 30 ms at 100,000
// corners for panning and zooming to run smoothly.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <cstdlib>
#include <memory>

#include "app/township_map.h"
#include "core/lx_file.h"
#include "fixtures/sealed_environment.h"
#include "fixtures/synthetic_township.h"
#include "ui/map_painter.h"
#include "ui/point_list_model.h"
#include "ui/township_map_view.h"

namespace {

constexpr int kWidth = 1200;
constexpr int kHeight = 800;

// The first `corners` corners of synthetic townships, every `tickEvery`th
// ticked (0: none), with their map.
struct Scene {
  std::string text;
  korvexa::PointListModel model;
  std::shared_ptr<const korvexa::TownshipMap> map;

  Scene(std::int64_t corners, int tickEvery) {
    const auto townships = static_cast<std::size_t>(corners - 1) / korvexa::testing::kCornersPerTownship + 1;
    text = korvexa::testing::SyntheticLxText(townships);
    korvexa::PointList list = korvexa::MakePointList(korvexa::ParseLxText(text));
    for (std::size_t i = 0; tickEvery > 0 && i < list.size(); i += static_cast<std::size_t>(tickEvery)) {
      list[i].ticked = true;
    }
    model.SetPoints(std::move(list));
    map = std::make_shared<const korvexa::TownshipMap>(korvexa::BuildTownshipMap(text, "bench.lx", model.points()));
  }

  // The whole township, or zoomed to `metresPerPixel` around its middle.
  korvexa::MapViewport View(double metresPerPixel) const {
    const korvexa::MapViewport fitted = korvexa::MapViewport::Fitting(map->grid.bounds(), kWidth, kHeight, 24);
    if (metresPerPixel <= 0) return fitted;
    return korvexa::MapViewport(fitted.centre(), metresPerPixel, kWidth, kHeight);
  }
};

// Arguments: corners, one ticked in how many (0: none), metres per pixel
// (0: the whole township, corners as dots; 110 m: the most corners drawn as
// markers; 36 m: the most corners with room for labels; 15 m: closer).
void BM_PaintMap(benchmark::State& state) {
  const Scene scene(state.range(0), static_cast<int>(state.range(1)));
  const korvexa::MapViewport view = scene.View(static_cast<double>(state.range(2)));
  QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    QPainter painter(&image);
    korvexa::PaintMap(painter, *scene.map, scene.model.points(), view);
  }
  state.counters["corners"] = static_cast<double>(scene.map->township.points.size());
}
BENCHMARK(BM_PaintMap)
    ->ArgNames({"corners", "tick1in", "m_per_px"})
    ->Args({1000, 10, 0})
    ->Args({10000, 10, 0})
    ->Args({100000, 0, 0})
    ->Args({100000, 10, 0})
    ->Args({100000, 1, 0})
    ->Args({100000, 10, 110})
    ->Args({100000, 10, 36})
    ->Args({100000, 10, 15})
    ->Unit(benchmark::kMillisecond);

// The map widget itself: a full repaint (its picture of the map invalidated
// first, as after a zoom or a pan) rendered into a picture.
void BM_RepaintMapView(benchmark::State& state) {
  const Scene scene(state.range(0), 10);
  korvexa::TownshipMapView view(const_cast<korvexa::PointListModel*>(&scene.model));
  view.resize(kWidth, kHeight);
  view.SetMap(scene.map);
  QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    view.SetViewport(view.viewport());  // as after a pan: the whole map is painted again
    view.render(&image);
  }
}
BENCHMARK(BM_RepaintMapView)->ArgNames({"corners"})->Arg(100000)->Unit(benchmark::kMillisecond);

// What opening the map costs: project, match to the list, index, simplify.
void BM_BuildTownshipMap(benchmark::State& state) {
  const Scene scene(state.range(0), 0);
  for (auto _ : state) {
    benchmark::DoNotOptimize(korvexa::BuildTownshipMap(scene.text, "bench.lx", scene.model.points()));
  }
}
BENCHMARK(BM_BuildTownshipMap)->ArgNames({"corners"})->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  korvexa::testing::SealTestEnvironment();
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
