// The decimal rounding and number text of every coordinate.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/number_text.h"

namespace {

// Decoded coordinates as DecodeLxPoint computes them: D + M/60 + S/3600.
std::vector<double> Coordinates() {
  std::vector<double> values;
  std::uint64_t state = 88172645463325252ull;
  for (int i = 0; i < 4096; ++i) {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    values.push_back(30 + static_cast<double>(state % 60) / 60 + static_cast<double>(state % 600000) / 10000 / 3600);
  }
  return values;
}

template <double (*Round)(double, int)>
void BM_Round(benchmark::State& state) {
  const std::vector<double> values = Coordinates();
  std::size_t i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(Round(values[i++ & 4095], 7));
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK_TEMPLATE(BM_Round, korvexa::RoundDecimal)->Name("BM_RoundDecimal");

template <void (*Append)(std::string&, double)>
void BM_Text(benchmark::State& state) {
  std::vector<double> values = Coordinates();
  for (double& value : values) value = korvexa::RoundDecimal(value, 7);
  std::string out;
  std::size_t i = 0;
  for (auto _ : state) {
    out.clear();
    Append(out, values[i++ & 4095]);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK_TEMPLATE(BM_Text, korvexa::AppendNumberText)->Name("BM_AppendNumberText");

}  // namespace
