// The surveyed lines of a GCDB .LX file, as the drawing and the map show them.
//
// After the two header lines, the records up to a " 999999" sentinel line (or
// the end of the file) form one chain, in file order. Blank lines are skipped
// and do not end a chain; a sentinel right after another, or at the start,
// makes no empty chain. A corner that stands in several chains (equal in its
// first 41 columns) is one point.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "core/lx_record.h"

namespace korvexa {

// One distinct point: its record where it first appears.
struct ChainPoint {
  LxRecord record;
  std::size_t lineNumber = 0;  // 1-based line of the file
};

// One record of a chain.
struct ChainLink {
  std::size_t point = 0;         // index into TownshipChains::points
  std::string_view reliability;  // columns 42 to 50 of this record, verbatim
};

struct TownshipChains {
  std::vector<ChainPoint> points;  // every distinct point, in order of first appearance
  std::vector<std::vector<ChainLink>> chains;
};

// The chains of a whole file's text (any line ends: CR, LF, CR LF). The
// result views `text`, which must outlive it.
TownshipChains ReadChains(std::string_view text);

}  // namespace korvexa
