// NAD27 to NAD83 with the NADCON grids: the waypoints of transformed points,
// one point through the library alone, and PROJ's own cs2cs on the same
// points for comparison. Runs sealed off like the tests: the grids the
// project ships, no network.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/convert/waypoints.h"
#include "bench/ticked_townships.h"
#include "core/lx_record.h"
#include "fixtures/sealed_environment.h"
#include "transform/datum_shift.h"

namespace {

void BM_BuildTransformedWaypoints(benchmark::State& state) {
  const korvexa::PointList points = korvexa::bench::TickedTownships(state.range(0));
  const auto transform = korvexa::NadconLibrary().DefineDatumPair();
  for (auto _ : state) {
    benchmark::DoNotOptimize(korvexa::BuildWaypoints(points, transform.get(), korvexa::kGpxElevationColumn));
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_BuildTransformedWaypoints)->Arg(2000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_DatumShiftOnePoint(benchmark::State& state) {
  const auto shift = korvexa::NadconLibrary().DefineDatumPair();
  double step = 0;
  for (auto _ : state) {
    double x = -106.5 - step, y = 35.0 + step;
    shift->TransformPoint(x, y);
    benchmark::DoNotOptimize(x);
    step = step < 1 ? step + 1e-5 : 0;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DatumShiftOnePoint);

// The peer: cs2cs reading the same points as text and writing them back.
void BM_Cs2cs(benchmark::State& state) {
  const korvexa::PointList points = korvexa::bench::TickedTownships(state.range(0));
  const auto folder = std::filesystem::temp_directory_path();
  const auto input = folder / "korvexa-transform-bench.txt";
  {
    std::ofstream out(input);
    out.precision(10);
    for (const auto& entry : points) {
      if (!entry.ticked) continue;
      const korvexa::LxPoint point = korvexa::DecodeLxPoint(entry.line);
      out << point.Latitude << ' ' << -point.Longitude << '\n';
    }
  }
  const std::string command = "PROJ_DATA=" KORVEXA_SHIPPED_GRIDS ":" + std::string(std::getenv("PROJ_DATA")) +
                              " cs2cs -f %.7f EPSG:4267 EPSG:4269 < " + input.string() + " > " +
                              (folder / "korvexa-cs2cs.txt").string();
  for (auto _ : state) {
    if (std::system(command.c_str()) != 0) state.SkipWithError("cs2cs failed");
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
  std::filesystem::remove(input);
  std::filesystem::remove(folder / "korvexa-cs2cs.txt");
}
BENCHMARK(BM_Cs2cs)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  korvexa::testing::SealTestEnvironment();
  korvexa::UseShippedGrids(KORVEXA_SHIPPED_GRIDS);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
