#include "core/chains.h"

#include <unordered_map>

#include "core/lx_file.h"

namespace korvexa {
namespace {

bool IsBlankLine(std::string_view line) {
  return line.find_first_not_of(" \t") == std::string_view::npos;
}

}  // namespace

TownshipChains ReadChains(std::string_view text) {
  const std::vector<std::string_view> lines = SplitLines(text);
  TownshipChains result;
  std::unordered_map<std::string_view, std::size_t> pointOfKey;
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
    if (IsBlankLine(line)) continue;
    const auto [found, added] = pointOfKey.try_emplace(line.substr(0, kDuplicateKeyLength), result.points.size());
    if (added) result.points.push_back({line, i + 1});
    chain.push_back({found->second, ReliabilityOf(line)});
  }
  endChain();
  return result;
}

}  // namespace korvexa
