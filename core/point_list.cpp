#include "core/point_list.h"

namespace korvexa {

PointList::PointList(LxLines lines) {
  ReserveLarge(entries_, lines.size());
  for (std::string_view line : lines) entries_.push_back({line, false});
  texts_.push_back(lines.text());
}

PointList::PointList(std::initializer_list<std::pair<std::string_view, bool>> entries) {
  for (const auto& [line, ticked] : entries) Add(line, ticked);
}

void PointList::Add(std::string_view line, bool ticked) {
  texts_.push_back(std::make_shared<const std::string>(line));
  entries_.push_back({*texts_.back(), ticked});
}

void PointList::Truncate(std::size_t count) {
  if (count < entries_.size()) entries_.resize(count);
}

PointList MakePointList(LxLines lines) {
  return PointList(std::move(lines));
}

std::vector<LxRecord> TickedRecords(const PointList& points) {
  std::vector<LxRecord> records;
  std::size_t ticked = 0;
  for (const PointEntry& entry : points) ticked += entry.ticked ? 1 : 0;
  ReserveLarge(records, ticked);
  for (const PointEntry& entry : points) {
    if (entry.ticked) records.push_back(entry.line);
  }
  return records;
}

}  // namespace korvexa
