// The waypoints of every ticked point of a loaded file, built once, and the
// PCX5 and GPX files written from them: from a township's 2,000 lines to a
// county's file.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "app/convert/waypoints.h"
#include "bench/ticked_townships.h"
#include "writers/gpx_writer.h"
#include "writers/pcx5_writer.h"

namespace {

void BM_BuildWaypoints(benchmark::State& state) {
  const korvexa::PointList points = korvexa::bench::TickedTownships(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(korvexa::BuildWaypoints(points, nullptr, korvexa::kGpxElevationColumn));
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_BuildWaypoints)->Arg(2000)->Arg(100000)->Unit(benchmark::kMillisecond);

template <void (*Write)(const std::filesystem::path&, std::span<const korvexa::Waypoint>, const korvexa::Clock&)>
void BM_Write(benchmark::State& state) {
  const korvexa::PointList points = korvexa::bench::TickedTownships(state.range(0));
  const auto waypoints = korvexa::BuildWaypoints(points, nullptr, korvexa::kGpxElevationColumn).waypoints;
  const auto path = std::filesystem::temp_directory_path() / "korvexa-bench.out";
  const korvexa::SystemClock clock;
  for (auto _ : state) Write(path, waypoints, clock);
  state.SetItemsProcessed(state.iterations() * state.range(0));
  std::filesystem::remove(path);
}
BENCHMARK_TEMPLATE(BM_Write, korvexa::WritePcx5File)
    ->Name("BM_WritePcx5File")
    ->Arg(2000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_Write, korvexa::WriteGpxFile)
    ->Name("BM_WriteGpxFile")
    ->Arg(2000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);

}  // namespace
