#include "app/navigate/field_walk.h"

#include <cstdio>
#include <unordered_map>
#include <utility>

namespace korvexa {
namespace {

std::string Printed(const char* format, const CivilTime& t) {
  char text[64];
  std::snprintf(text, sizeof text, format, t.year, t.month, t.day, t.hour, t.minute);
  return text;
}

}  // namespace

std::string WalkStartText(const CivilTime& started) {
  return Printed("%04d-%02d-%02d %02d:%02d", started);
}

bool FieldWalk::AddFix(const TrackPoint& point, PlanePoint map, const CivilTime& nowLocal) {
  if (!trail_.Add(point, map)) return false;
  if (!started_) started_ = nowLocal;
  unsaved_ = true;
  return true;
}

void FieldWalk::Restore(std::vector<TrackPoint> points, const CivilTime& startedLocal) {
  trail_.Assign(std::move(points));
  started_ = startedLocal;
  unsaved_ = true;
}

std::string FieldWalk::Name() const {
  if (!started_) return "Walk";
  return "Walk of " + WalkStartText(*started_);
}

std::string FieldWalk::FileStem() const {
  if (!started_) return "walk";
  return Printed("walk-%04d-%02d-%02d-%02d%02d", *started_);
}

void FieldWalk::Leave(const std::string& township, const CornerWalk& walk, const TownshipMap& map) {
  Township& kept = townships_[township];
  kept.visited.clear();
  for (std::size_t corner : walk.visitOrder()) kept.visited.push_back(map.township.points[corner].id);
  kept.target.reset();
  if (walk.target()) kept.target = map.township.points[*walk.target()].id;
}

CornerWalk FieldWalk::Enter(const std::string& township, const TownshipMap& map, double arrivalRadius) const {
  CornerWalk walk(map.grid.size());
  walk.SetArrivalRadius(arrivalRadius);
  const auto kept = townships_.find(township);
  if (kept == townships_.end()) return walk;
  std::unordered_map<std::string, std::size_t> cornerOf;
  for (std::size_t corner = 0; corner < map.township.points.size(); ++corner) {
    cornerOf.emplace(map.township.points[corner].id, corner);
  }
  for (const std::string& id : kept->second.visited) {
    if (const auto found = cornerOf.find(id); found != cornerOf.end()) {
      walk.SetTarget(found->second);
      walk.Arrive(0);
    }
  }
  walk.SetTarget(std::nullopt);
  if (kept->second.target) {
    if (const auto found = cornerOf.find(*kept->second.target); found != cornerOf.end()) walk.SetTarget(found->second);
  }
  return walk;
}

}  // namespace korvexa
