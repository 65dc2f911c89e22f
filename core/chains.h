// The surveyed lines of a GCDB .LX file, as the drawing and the map show them.
//
// After the two header lines, the records up to a " 999999" sentinel line (or
// the end of the file) form one chain, in file order. Blank lines are skipped
// and do not end a chain; a sentinel right after another, or at the start,
// makes no empty chain. A corner that stands in several chains (equal in its
// first 41 columns) is one point.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/lx_record.h"

namespace korvexa {

// One distinct point: columns 1 to 41 of its record where it first appears,
// which hold everything the drawing reads of a point.
struct ChainPoint {
  LxRecord record;
  std::size_t lineNumber = 0;  // 1-based line of the file
};

// One record of a chain. A county file has far fewer than 2^32 lines.
struct ChainLink {
  std::uint32_t point = 0;        // index into TownshipChains::points
  std::uint32_t reliability = 0;  // index into TownshipChains::reliabilities
};

struct TownshipChains {
  std::vector<ChainPoint> points;          // every distinct point, in order of first appearance
  std::vector<ChainLink> links;            // every chain's records, chain after chain
  std::vector<std::size_t> chainEnds;      // one past the last link of each chain
  std::vector<std::string> reliabilities;  // columns 42 to 50 of the records, verbatim, each text once

  std::size_t ChainCount() const { return chainEnds.size(); }
  std::span<const ChainLink> Chain(std::size_t chain) const;
  std::string_view ReliabilityOf(const ChainLink& link) const { return reliabilities[link.reliability]; }
};

// The chains of a whole file's text (any line ends: CR, LF, CR LF). The
// result views `text`, which must outlive it.
TownshipChains ReadChains(std::string_view text);

}  // namespace korvexa
