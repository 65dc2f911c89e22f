#include "core/chains.h"

#include <bit>
#include <cstdint>
#include <cstring>

#include "core/lx_file.h"
#include "core/lx_record.h"

namespace korvexa {
namespace {

// The first 41 columns of every distinct point, in an open-addressed table
// of point numbers: one allocation for the whole file instead of one per
// point.
class PointKeys {
 public:
  explicit PointKeys(std::size_t lines) : slots_(std::bit_ceil(lines * 2 + 2), kEmpty) {}  // at most half full

  // The point of `key`; points.size() when it is new (the caller adds it
  // there).
  std::size_t Find(std::string_view key, const std::vector<ChainPoint>& points) {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t slot = Hash(key) & mask;; slot = (slot + 1) & mask) {
      if (slots_[slot] == kEmpty) {
        slots_[slot] = static_cast<std::uint32_t>(points.size());
        return points.size();
      }
      if (DuplicateKey(points[slots_[slot]].record) == key) return slots_[slot];
    }
  }

 private:
  static constexpr std::uint32_t kEmpty = ~std::uint32_t{0};

  static std::size_t Hash(std::string_view key) {
    std::uint64_t hash = 0x9E3779B97F4A7C15ull ^ key.size();
    std::size_t i = 0;
    for (; i + 8 <= key.size(); i += 8) {
      std::uint64_t word = 0;
      std::memcpy(&word, key.data() + i, 8);
      hash = (hash ^ word) * 0xFF51AFD7ED558CCDull;
      hash ^= hash >> 32;
    }
    for (; i < key.size(); ++i) hash = (hash ^ static_cast<unsigned char>(key[i])) * 0x100000001B3ull;
    return static_cast<std::size_t>(hash ^ (hash >> 29));
  }

  std::vector<std::uint32_t> slots_;  // point numbers; a file has fewer than 2^32 lines
};

}  // namespace

TownshipChains ReadChains(std::string_view text) {
  const std::vector<std::string_view> lines = SplitLines(text);
  TownshipChains result;
  PointKeys pointOfKey(lines.size());
  std::vector<ChainLink> chain;
  auto endChain = [&] {
    if (!chain.empty()) result.chains.push_back(std::move(chain));
    chain.clear();
  };
  for (std::size_t i = kHeaderLines; i < lines.size(); ++i) {
    const std::string_view line = lines[i];
    if (IsSentinelLine(line)) {
      endChain();
      continue;
    }
    if (TrimBlanks(line).empty()) continue;
    const std::size_t point = pointOfKey.Find(DuplicateKey(line), result.points);
    if (point == result.points.size()) result.points.push_back({line, i + 1});
    chain.push_back({point, ReliabilityOf(line)});
  }
  endChain();
  return result;
}

}  // namespace korvexa
