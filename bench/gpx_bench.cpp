// Writing the GPX file of every point of a loaded file (two decoding passes).
#include <benchmark/benchmark.h>

#include <filesystem>

#include "bench/ticked_townships.h"
#include "core/lx_file.h"
#include "writers/gpx_writer.h"

namespace {

void BM_WriteGpxFile(benchmark::State& state) {
  const korvexa::PointList points = korvexa::bench::TickedTownships(state.range(0));
  const std::vector<korvexa::LxRecord> records = korvexa::TickedRecords(points);
  const auto path = std::filesystem::temp_directory_path() / "korvexa-bench.gpx";
  const korvexa::SystemClock clock;
  for (auto _ : state) benchmark::DoNotOptimize(korvexa::WriteGpxFile(path, records, nullptr, clock));
  state.SetItemsProcessed(state.iterations() * state.range(0));
  std::filesystem::remove(path);
}
BENCHMARK(BM_WriteGpxFile)->RangeMultiplier(10)->Range(1000, 1000000)->Unit(benchmark::kMillisecond);

}  // namespace
