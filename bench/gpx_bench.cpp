// Writing the GPX file of every point of a loaded file (two decoding passes).
#include <benchmark/benchmark.h>

#include <filesystem>

#include "gpx_writer.h"
#include "lx_file.h"
#include "township.h"

namespace {

void BM_WriteGpxFile(benchmark::State& state) {
  const std::size_t townships =
      static_cast<std::size_t>(state.range(0)) / korvexa::testing::kCornersPerTownship + 1;
  korvexa::PointList points =
      korvexa::MakePointList(korvexa::ParseLxText(korvexa::testing::SyntheticLxText(townships)));
  points.resize(static_cast<std::size_t>(state.range(0)));
  for (auto& entry : points) entry.ticked = true;
  const auto path = std::filesystem::temp_directory_path() / "korvexa-bench.gpx";
  const korvexa::SystemClock clock;
  for (auto _ : state) benchmark::DoNotOptimize(korvexa::WriteGpxFile(path, points, nullptr, clock));
  state.SetItemsProcessed(state.iterations() * state.range(0));
  std::filesystem::remove(path);
}
BENCHMARK(BM_WriteGpxFile)->RangeMultiplier(10)->Range(1000, 1000000)->Unit(benchmark::kMillisecond);

}  // namespace
