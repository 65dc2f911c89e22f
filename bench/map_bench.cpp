// Repainting the township map: one full repaint of the map of up to 100,000
// corners (592 synthetic townships), rendered offscreen into a picture of a
// 1200 x 800 map window, as the whole township and zoomed in; and building
// the map of a loaded file. A repaint must stay under 30 ms at 100,000
// corners for panning and zooming to run smoothly. And one position update
// of the field navigator at 100,000 corners, which must stay under 10 ms for
// a receiver's ten fixes a second.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QBuffer>
#include <QGeoPositionInfo>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <numbers>

#include "app/map/township_map.h"
#include "core/clock.h"
#include "core/lx_file.h"
#include "fixtures/sealed_environment.h"
#include "fixtures/synthetic_township.h"
#include "transform/datum_shift.h"
#include "ui/map/map_painter.h"
#include "ui/map/map_window.h"
#include "ui/navigate/navigator.h"
#include "ui/convert/point_list_model.h"
#include "ui/navigate/receiver_link.h"
#include "ui/map/township_map_view.h"

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

// One fix of a walk at 1.4 m a fix toward the north-east, from the middle of
// the map, with a target corner: moved to NAD27 with the shipped grids,
// projected, added to the trail, measured to the target, and drawn by
// repainting the pixels its marks change (the window on Qt's offscreen
// platform). Zoomed in to 1 m a pixel, Follow re-centres the map each few
// hundred fixes, a full repaint that the time includes; 0: the whole map.
void BM_PositionUpdate(benchmark::State& state) {
  korvexa::UseShippedGrids(KORVEXA_SHIPPED_GRIDS);
  Scene scene(state.range(0), 10);
  korvexa::NadconLibrary datum;
  const korvexa::FrozenClock clock({});
  QWidget owner;
  korvexa::Navigator navigator(&owner, &scene.model, datum, clock, korvexa::WindowPlatform{}, {});  // no journal
  korvexa::MapWindow window(&scene.model, clock, korvexa::WindowPlatform{}, &navigator);
  window.resize(kWidth, kHeight);
  window.show();
  window.ShowFile(scene.text, "bench.lx");
  korvexa::TownshipMapView& view = *window.view();
  navigator.Attach(new korvexa::ReceiverLink(new QBuffer, QNmeaPositionInfoSource::RealTimeMode), "bench");
  const korvexa::TownshipMap& map = *view.map();
  const std::size_t target = *map.grid.Nearest(map.grid.bounds().Centre(), 1e6);
  navigator.NavigateTo(target);
  const double metresPerPixel = static_cast<double>(state.range(1));
  if (metresPerPixel > 0)
    view.SetViewport(korvexa::MapViewport(map.grid[target], metresPerPixel, view.width(), view.height()));
  QCoreApplication::processEvents();
  const korvexa::TownshipPoint& start = map.township.points[target];
  constexpr double kStepDegrees = 1.4 / 111000 / std::numbers::sqrt2;
  const QDateTime now = QDateTime::currentDateTimeUtc();
  double steps = 0;
  for (auto _ : state) {
    steps += 1;
    const QGeoCoordinate at(start.north + steps * kStepDegrees, start.east + steps * kStepDegrees / 0.82);
    navigator.ShowPosition(QGeoPositionInfo(at, now));
    QCoreApplication::processEvents();
  }
  state.counters["corners"] = static_cast<double>(map.township.points.size());
  state.counters["current"] = navigator.PositionCurrent() ? 1 : 0;
}
BENCHMARK(BM_PositionUpdate)
    ->ArgNames({"corners", "m_per_px"})
    ->Args({100000, 1})
    ->Args({100000, 0})
    ->Unit(benchmark::kMillisecond);

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
