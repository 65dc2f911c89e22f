#include "core/chains.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <unordered_map>

#include "core/lx_file.h"
#include "core/lx_record.h"

namespace korvexa {
namespace {

// The first 41 columns of every distinct point, in an open-addressed table
// of point numbers: one allocation for the whole file instead of one per
// point.
class PointKeys {
 public:
  // The point of `key`; points.size() when it is new (the caller adds it
  // there).
  std::size_t Find(std::string_view key, const std::vector<ChainPoint>& points) {
    if (points.size() * 2 >= slots_.size()) Grow(points);  // at most half full
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t slot = Hash(key) & mask;; slot = (slot + 1) & mask) {
      if (slots_[slot] == kEmpty) {
        slots_[slot] = static_cast<std::uint32_t>(points.size());
        return points.size();
      }
      if (points[slots_[slot]].record == key) return slots_[slot];
    }
  }

 private:
  static constexpr std::uint32_t kEmpty = ~std::uint32_t{0};

  void Grow(const std::vector<ChainPoint>& points) {
    slots_.assign(std::max<std::size_t>(slots_.size() * 2, 1 << 12), kEmpty);
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t point = 0; point < points.size(); ++point) {
      std::size_t slot = Hash(points[point].record) & mask;
      while (slots_[slot] != kEmpty) slot = (slot + 1) & mask;
      slots_[slot] = static_cast<std::uint32_t>(point);
    }
  }

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

  std::vector<std::uint32_t> slots_;  // point numbers
};

// Copies of records in large blocks, which never move.
class RecordStore {
 public:
  explicit RecordStore(std::vector<std::unique_ptr<char[]>>& blocks) : blocks_(blocks) {}

  std::string_view Keep(std::string_view record) {
    if (record.size() > left_) {
      blocks_.push_back(std::make_unique_for_overwrite<char[]>(kBlockSize));
      next_ = blocks_.back().get();
      left_ = kBlockSize;
    }
    std::memcpy(next_, record.data(), record.size());
    const std::string_view kept(next_, record.size());
    next_ += record.size();
    left_ -= record.size();
    return kept;
  }

 private:
  static constexpr std::size_t kBlockSize = std::size_t{1} << 20;  // far more than a record

  std::vector<std::unique_ptr<char[]>>& blocks_;
  char* next_ = nullptr;
  std::size_t left_ = 0;
};

// Each distinct reliability text once. Neighbouring records mostly share
// theirs, so the last one is tried first.
class Reliabilities {
 public:
  explicit Reliabilities(std::vector<std::string>& texts) : texts_(texts) {}

  std::uint32_t Of(std::string_view text) {
    if (!texts_.empty() && texts_[last_] == text) return last_;
    const auto [found, added] = indexOf_.try_emplace(std::string(text), static_cast<std::uint32_t>(texts_.size()));
    if (added) texts_.push_back(found->first);
    return last_ = found->second;
  }

 private:
  std::vector<std::string>& texts_;
  std::unordered_map<std::string, std::uint32_t> indexOf_;
  std::uint32_t last_ = 0;
};

class ChainReader {
 public:
  explicit ChainReader(bool copyRecords)
      : copyRecords_(copyRecords), store_(result_.recordStore), reliabilities_(result_.reliabilities) {}

  void Add(std::string_view line) {
    ++lineNumber_;
    if (lineNumber_ <= kHeaderLines) return;
    if (IsSentinelLine(line)) {
      EndChain();
      return;
    }
    if (TrimBlanks(line).empty()) return;
    const std::string_view key = DuplicateKey(line);
    const std::size_t point = pointOfKey_.Find(key, result_.points);
    if (point == result_.points.size()) result_.points.push_back({copyRecords_ ? store_.Keep(key) : key, lineNumber_});
    result_.links.push_back({static_cast<std::uint32_t>(point), reliabilities_.Of(korvexa::ReliabilityOf(line))});
  }

  TownshipChains Finish() {
    EndChain();
    return std::move(result_);
  }

 private:
  void EndChain() {
    const std::size_t start = result_.chainEnds.empty() ? 0 : result_.chainEnds.back();
    if (result_.links.size() > start) result_.chainEnds.push_back(result_.links.size());
  }

  bool copyRecords_;
  TownshipChains result_;
  RecordStore store_;
  Reliabilities reliabilities_;
  PointKeys pointOfKey_;
  std::size_t lineNumber_ = 0;
};

}  // namespace

std::span<const ChainLink> TownshipChains::Chain(std::size_t chain) const {
  const std::size_t start = chain == 0 ? 0 : chainEnds[chain - 1];
  return std::span<const ChainLink>(links).subspan(start, chainEnds[chain] - start);
}

TownshipChains ReadChains(std::string_view text) {
  ChainReader reader(false);
  for (const std::string_view line : SplitLines(text)) reader.Add(line);
  return reader.Finish();
}

TownshipChains ReadChainsOfFile(const std::filesystem::path& path) {
  ChainReader reader(true);
  ReadLines(path, [&reader](std::string_view line) { reader.Add(line); });
  return reader.Finish();
}

}  // namespace korvexa
