// korvexa_load_time: how long File > Open takes to load a file (read, split,
// sort, de-duplicate, the point list), without the line-end converter.
//
// usage: korvexa_load_time FILE.lx [RUNS]
// Prints the median seconds of RUNS loads (default 3) and the number of
// points, separated by a blank: "0.123 1000142".
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "core/lx_file.h"
#include "core/point_list.h"

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fputs("usage: korvexa_load_time FILE.lx [RUNS]\n", stderr);
    return 2;
  }
  const int runs = argc == 3 ? std::max(1, std::atoi(argv[2])) : 3;
  std::vector<double> seconds;
  std::size_t points = 0;
  try {
    for (int i = 0; i < runs; ++i) {
      const auto start = std::chrono::steady_clock::now();
      const korvexa::PointList list = korvexa::MakePointList(korvexa::LoadLxFile(argv[1]));
      seconds.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
      points = list.size();
    }
  } catch (const std::exception& error) {
    std::fprintf(stderr, "error: %s\n", error.what());
    return 1;
  }
  std::sort(seconds.begin(), seconds.end());
  std::printf("%.3f %zu\n", seconds[seconds.size() / 2], points);
  return 0;
}
