// The writers visit the records in list order, which is not the order of
// the file's text: the first touch of each record would wait for memory.
// Asking for a record some places ahead hides that wait.
#pragma once

#include <cstddef>
#include <span>

#include "core/lx_record.h"

namespace korvexa {

inline void PrefetchAhead(std::span<const LxRecord> records, std::size_t i) {
  constexpr std::size_t kAhead = 12;
  if (i + kAhead >= records.size()) return;
  const char* text = records[i + kAhead].data();
  __builtin_prefetch(text);
  __builtin_prefetch(text + 63);  // a record of up to 64 bytes spans two cache lines at most
}

}  // namespace korvexa
