#include "tests/transform/ctable2_grid.h"

#include <proj.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <vector>

namespace korvexa::testing {
namespace {

// The CTable2 header: a 16-byte signature, an 80-byte description, the
// lower-left node and the spacing in radians (doubles), the node counts
// (32-bit), padding to 160 bytes; all little-endian like the floats after it.
constexpr std::size_t kHeaderSize = 160;

template <typename T>
void Put(std::vector<char>& out, std::size_t at, T value) {
  std::memcpy(out.data() + at, &value, sizeof value);
}

}  // namespace

void WriteCTable2Twin(const std::string& gridFolder, const std::string& gridName, const std::filesystem::path& output) {
  std::unique_ptr<PJ_CONTEXT, decltype(&proj_context_destroy)> context(proj_context_create(), proj_context_destroy);
  const char* folder = gridFolder.c_str();
  const char* projData = std::getenv("PROJ_DATA");
  const char* paths[] = {folder, projData != nullptr ? projData : "/usr/share/proj"};
  proj_context_set_search_paths(context.get(), 2, paths);
  proj_context_set_enable_network(context.get(), 0);
  // proj_grid_info reads the default context, which new contexts copy: its
  // search path is set for the call only.
  proj_context_set_search_paths(nullptr, 1, &folder);
  const PJ_GRID_INFO info = proj_grid_info(gridName.c_str());
  proj_context_set_search_paths(nullptr, 0, nullptr);
  if (info.n_lon <= 1 || info.n_lat <= 1) throw std::runtime_error("no grid " + gridName + " in " + gridFolder);
  const std::string definition = "+proj=hgridshift +grids=" + gridName;
  std::unique_ptr<PJ, decltype(&proj_destroy)> shift(proj_create(context.get(), definition.c_str()), proj_destroy);
  if (!shift) throw std::runtime_error("PROJ cannot open " + gridName);

  std::vector<char> bytes(kHeaderSize, '\0');
  std::memcpy(bytes.data(), "CTABLE V2.0", 11);
  std::memcpy(bytes.data() + 16, gridName.data(), std::min<std::size_t>(gridName.size(), 79));
  Put(bytes, 96, info.lowerleft.lam);
  Put(bytes, 104, info.lowerleft.phi);
  Put(bytes, 112, info.cs_lon);
  Put(bytes, 120, info.cs_lat);
  Put(bytes, 128, static_cast<std::int32_t>(info.n_lon));
  Put(bytes, 132, static_cast<std::int32_t>(info.n_lat));
  // Rows from south to north, nodes from west to east: the shift in
  // longitude (positive west, as NADCON counts it) and in latitude, radians,
  // as floats.
  for (int row = 0; row < info.n_lat; ++row) {
    for (int column = 0; column < info.n_lon; ++column) {
      const double lam = info.lowerleft.lam + column * info.cs_lon;
      const double phi = info.lowerleft.phi + row * info.cs_lat;
      const PJ_COORD moved = proj_trans(shift.get(), PJ_FWD, proj_coord(lam, phi, 0, 0));
      const bool inside = std::isfinite(moved.lp.lam) && std::isfinite(moved.lp.phi);
      const float shifts[2] = {inside ? static_cast<float>(lam - moved.lp.lam) : 0.0f,
                               inside ? static_cast<float>(moved.lp.phi - phi) : 0.0f};
      bytes.insert(bytes.end(), reinterpret_cast<const char*>(shifts), reinterpret_cast<const char*>(shifts) + 8);
    }
  }
  std::ofstream out(output, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out.flush()) throw std::runtime_error("cannot write " + output.string());
}

}  // namespace korvexa::testing
