// Writing the PCX5 file of every point of a loaded file.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "lx_file.h"
#include "pcx5_writer.h"
#include "township.h"

namespace {

korvexa::PointList TickedTownships(std::int64_t points) {
  const std::size_t townships = static_cast<std::size_t>(points) / korvexa::testing::kCornersPerTownship + 1;
  korvexa::PointList list = korvexa::MakePointList(korvexa::ParseLxText(korvexa::testing::SyntheticLxText(townships)));
  list.resize(static_cast<std::size_t>(points));
  for (auto& entry : list) entry.ticked = true;
  return list;
}

void BM_WritePcx5File(benchmark::State& state) {
  const korvexa::PointList points = TickedTownships(state.range(0));
  const auto path = std::filesystem::temp_directory_path() / "korvexa-bench.grm";
  const korvexa::SystemClock clock;
  for (auto _ : state) benchmark::DoNotOptimize(korvexa::WritePcx5File(path, points, nullptr, clock));
  state.SetItemsProcessed(state.iterations() * state.range(0));
  std::filesystem::remove(path);
}
BENCHMARK(BM_WritePcx5File)->RangeMultiplier(10)->Range(1000, 1000000)->Unit(benchmark::kMillisecond);

}  // namespace
