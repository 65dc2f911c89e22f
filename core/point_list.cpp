#include "core/point_list.h"

namespace korvexa {

PointList::PointList(LxLines lines) {
  entries_.reserve(lines.size());
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

PointList MakePointList(LxLines lines) {
  return PointList(std::move(lines));
}

}  // namespace korvexa
