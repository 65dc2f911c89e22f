// Writing the PCX5 file of every point of a loaded file.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "lx_file.h"
#include "pcx5_writer.h"
#include "ticked_townships.h"

namespace {

void BM_WritePcx5File(benchmark::State& state) {
  const korvexa::PointList points = korvexa::bench::TickedTownships(state.range(0));
  const auto path = std::filesystem::temp_directory_path() / "korvexa-bench.grm";
  const korvexa::SystemClock clock;
  for (auto _ : state) benchmark::DoNotOptimize(korvexa::WritePcx5File(path, points, nullptr, clock));
  state.SetItemsProcessed(state.iterations() * state.range(0));
  std::filesystem::remove(path);
}
BENCHMARK(BM_WritePcx5File)->RangeMultiplier(10)->Range(1000, 1000000)->Unit(benchmark::kMillisecond);

}  // namespace
