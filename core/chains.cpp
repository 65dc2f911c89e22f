#include "core/chains.h"

#include <unordered_map>

#include "core/lx_file.h"
#include "core/lx_record.h"

namespace korvexa {
namespace {

class ChainReader {
 public:
  void Add(std::string_view line) {
    ++lineNumber_;
    if (lineNumber_ <= kHeaderLines) return;
    if (IsSentinelLine(line)) {
      EndChain();
      return;
    }
    if (TrimBlanks(line).empty()) return;
    const std::string_view key = DuplicateKey(line);
    const auto [point, added] = pointOfKey_.try_emplace(key, static_cast<std::uint32_t>(result_.points.size()));
    if (added) result_.points.push_back({key, lineNumber_});
    result_.links.push_back({point->second, Reliability(korvexa::ReliabilityOf(line))});
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

  // The index of `text` among the reliabilities, added when new.
  std::uint32_t Reliability(std::string_view text) {
    const auto [found, added] =
        reliabilityOf_.try_emplace(text, static_cast<std::uint32_t>(result_.reliabilities.size()));
    if (added) result_.reliabilities.emplace_back(text);
    return found->second;
  }

  TownshipChains result_;
  std::unordered_map<std::string_view, std::uint32_t> pointOfKey_;
  std::unordered_map<std::string_view, std::uint32_t> reliabilityOf_;  // views of the text
  std::size_t lineNumber_ = 0;
};

}  // namespace

std::span<const ChainLink> TownshipChains::Chain(std::size_t chain) const {
  const std::size_t start = chain == 0 ? 0 : chainEnds[chain - 1];
  return std::span<const ChainLink>(links).subspan(start, chainEnds[chain] - start);
}

TownshipChains ReadChains(std::string_view text) {
  ChainReader reader;
  ForEachLine(text, [&reader](std::string_view line) { reader.Add(line); });
  return reader.Finish();
}

}  // namespace korvexa
