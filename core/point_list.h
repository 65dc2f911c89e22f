// The records of a loaded .LX file with their tick marks, in list order.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/lx_file.h"
#include "core/lx_record.h"

namespace korvexa {

struct PointEntry {
  std::string_view line;  // one LxRecord, verbatim, without its line end
  bool ticked = false;
};

// The entries view text that the list keeps alive: the loaded file's, or
// copies of the lines it was given. Copies of a list share that text.
class PointList {
 public:
  using value_type = PointEntry;
  using iterator = std::vector<PointEntry>::iterator;
  using const_iterator = std::vector<PointEntry>::const_iterator;

  PointList() = default;
  // Every line of `lines`, unticked.
  explicit PointList(LxLines lines);
  // Copies of the given lines with their ticks: {{" 100100 ...", true}, ...}.
  PointList(std::initializer_list<std::pair<std::string_view, bool>> entries);

  // Adds a copy of `line` at the end.
  void Add(std::string_view line, bool ticked);

  iterator begin() { return entries_.begin(); }
  iterator end() { return entries_.end(); }
  const_iterator begin() const { return entries_.begin(); }
  const_iterator end() const { return entries_.end(); }
  std::size_t size() const { return entries_.size(); }
  bool empty() const { return entries_.empty(); }
  PointEntry& operator[](std::size_t i) { return entries_[i]; }
  const PointEntry& operator[](std::size_t i) const { return entries_[i]; }
  PointEntry& front() { return entries_.front(); }

 private:
  std::vector<std::shared_ptr<const std::string>> texts_;
  std::vector<PointEntry> entries_;
};

// Every line of `lines`, unticked.
PointList MakePointList(LxLines lines);

}  // namespace korvexa
