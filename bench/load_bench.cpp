// Loading a .LX file: read, split, sort, de-duplicate.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "core/lx_file.h"
#include "fixtures/synthetic_township.h"

namespace {

std::size_t TownshipsFor(std::int64_t records) {
  return static_cast<std::size_t>(records) / korvexa::testing::kRecordsPerTownship + 1;
}

void BM_ParseLxText(benchmark::State& state) {
  const std::string text = korvexa::testing::SyntheticLxText(TownshipsFor(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(korvexa::ParseLxText(text));
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ParseLxText)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMillisecond);

// The whole load from a file on disk.
void BM_LoadLxFile(benchmark::State& state) {
  const auto path = std::filesystem::temp_directory_path() / "korvexa-load-bench.lx";
  {
    std::ofstream out(path, std::ios::binary);
    out << korvexa::testing::SyntheticLxText(TownshipsFor(state.range(0)));
  }
  for (auto _ : state) benchmark::DoNotOptimize(korvexa::LoadLxFile(path));
  state.SetItemsProcessed(state.iterations() * state.range(0));
  std::filesystem::remove(path);
}
BENCHMARK(BM_LoadLxFile)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMillisecond);

}  // namespace
