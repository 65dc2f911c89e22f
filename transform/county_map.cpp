#include "transform/county_map.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <fstream>
#include <limits>
#include <map>
#include <numbers>
#include <sstream>
#include <string_view>

#include "core/korvexa_error.h"
#include "core/longitude.h"

namespace korvexa {
namespace {

constexpr double kKmPerDegree = 111.195;  // of a great circle on a sphere of 6371 km

// The numbers of `text`, separated by blanks; false when one does not read.
template <typename Number>
bool ReadNumbers(std::string_view text, std::vector<Number>& numbers) {
  numbers.clear();
  const char* at = text.data();
  const char* const end = text.data() + text.size();
  while (at < end) {
    while (at < end && *at == ' ') ++at;
    if (at == end) break;
    Number value{};
    const auto [next, ec] = std::from_chars(at, end, value);
    if (ec != std::errc() || (next < end && *next != ' ')) return false;
    numbers.push_back(value);
    at = next;
  }
  return true;
}

// The text after the first blank of `line`, and the word before it.
std::pair<std::string_view, std::string_view> SplitWord(std::string_view line) {
  const std::size_t blank = line.find(' ');
  if (blank == std::string_view::npos) return {line, {}};
  return {line.substr(0, blank), line.substr(blank + 1)};
}

struct Transform {
  double scaleX = 0, scaleY = 0, translateX = 0, translateY = 0;
};

// Reads the file's lines into shapes and states; throws KorvexaError naming
// `file` and the line that does not read.
class Reader {
 public:
  explicit Reader(const std::filesystem::path& file) : file_(file) {}

  [[noreturn]] void Fail(std::size_t lineNumber, const std::string& why) const {
    throw KorvexaError("the county boundaries \"" + file_.string() + "\" cannot be read: line " +
                       std::to_string(lineNumber) + " " + why);
  }

  std::vector<std::vector<std::pair<double, double>>> arcs;
  std::map<std::string, std::string, std::less<>> stateNames;  // by FIPS code
  Transform transform;
  bool haveTransform = false;

  void Arc(std::string_view text, std::size_t lineNumber) {
    if (!haveTransform) Fail(lineNumber, "comes before the K line");
    std::vector<long> numbers;
    if (!ReadNumbers(text, numbers) || numbers.size() < 4 || numbers.size() % 2 != 0) {
      Fail(lineNumber, "is no arc");
    }
    std::vector<std::pair<double, double>> points;
    long x = 0, y = 0;
    for (std::size_t i = 0; i < numbers.size(); i += 2) {
      x += numbers[i];
      y += numbers[i + 1];
      points.emplace_back(x * transform.scaleX + transform.translateX, y * transform.scaleY + transform.translateY);
    }
    arcs.push_back(std::move(points));
  }

  // The ring of the arcs listed in `text` ("0 5 -3": arc 0, arc 5, arc 2
  // reversed), each arc's first point dropped after the first arc.
  std::vector<std::pair<double, double>> Ring(std::string_view text, std::size_t lineNumber) const {
    std::vector<long> indices;
    if (!ReadNumbers(text, indices) || indices.empty()) Fail(lineNumber, "has a ring without arcs");
    std::vector<std::pair<double, double>> ring;
    for (const long index : indices) {
      const long arc = index < 0 ? ~index : index;
      if (arc >= static_cast<long>(arcs.size())) Fail(lineNumber, "names an arc the file does not hold");
      std::vector<std::pair<double, double>> points = arcs[static_cast<std::size_t>(arc)];
      if (index < 0) std::reverse(points.begin(), points.end());
      ring.insert(ring.end(), points.begin() + (ring.empty() ? 0 : 1), points.end());
    }
    return ring;
  }

 private:
  std::filesystem::path file_;
};

// Whether the segment from `a` to `b` meets the box (Liang and Barsky's clipping).
bool SegmentMeetsBox(double ax, double ay, double bx, double by, const GeoBox& box) {
  double t0 = 0, t1 = 1;
  const double dx = bx - ax, dy = by - ay;
  const double p[] = {-dx, dx, -dy, dy};
  const double q[] = {ax - box.west, box.east - ax, ay - box.south, box.north - ay};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;
    } else {
      const double t = q[i] / p[i];
      if (p[i] < 0) t0 = std::max(t0, t);
      if (p[i] > 0) t1 = std::min(t1, t);
      if (t0 > t1) return false;
    }
  }
  return true;
}

}  // namespace

CountyMap::CountyMap(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) throw KorvexaError("the county boundaries \"" + file.string() + "\" cannot be opened");
  Reader reader(file);
  std::string line;
  std::size_t lineNumber = 0;
  while (std::getline(in, line)) {
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line.front() == '#') continue;
    const auto [kind, rest] = SplitWord(line);
    if (kind == "K") {
      std::vector<double> numbers;
      if (!ReadNumbers(rest, numbers) || numbers.size() != 5 || numbers[0] != 1) {
        reader.Fail(lineNumber, "is not a K line of format 1");
      }
      reader.transform = {numbers[1], numbers[2], numbers[3], numbers[4]};
      reader.haveTransform = true;
    } else if (kind == "A") {
      reader.Arc(rest, lineNumber);
    } else if (kind == "S") {
      const auto [code, name] = SplitWord(rest);
      reader.stateNames[std::string(code)] = std::string(name);
      states_.emplace_back(name);
    } else if (kind == "C") {
      const auto [code, tail] = SplitWord(rest);
      const auto state = reader.stateNames.find(code.substr(0, 2));
      if (code.size() != 5 || state == reader.stateNames.end()) reader.Fail(lineNumber, "names no state's county");
      std::size_t bar = tail.find('|');
      if (bar == std::string_view::npos) reader.Fail(lineNumber, "has no ring");
      Shape shape{{std::string(code), std::string(tail.substr(0, bar)), state->second}, {}, {180, 90, -180, -90}};
      while (bar != std::string_view::npos) {
        const std::size_t next = tail.find('|', bar + 1);
        std::vector<Point>& ring = shape.rings.emplace_back();
        for (const auto& [x, y] : reader.Ring(tail.substr(bar + 1, next - bar - 1), lineNumber)) {
          ring.push_back({x, y});
          shape.bounds = {std::min(shape.bounds.west, x), std::min(shape.bounds.south, y),
                          std::max(shape.bounds.east, x), std::max(shape.bounds.north, y)};
        }
        bar = next;
      }
      shapes_.push_back(std::move(shape));
    } else {
      reader.Fail(lineNumber, "is of no known kind");
    }
  }
  if (shapes_.empty()) throw KorvexaError("the county boundaries \"" + file.string() + "\" hold no county");
}

bool CountyMap::Inside(const Shape& shape, Point point) {
  const GeoBox& b = shape.bounds;
  if (point.x < b.west || point.x > b.east || point.y < b.south || point.y > b.north) return false;
  bool inside = false;
  for (const std::vector<Point>& ring : shape.rings) {
    for (std::size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++) {
      const Point& a = ring[i];
      const Point& c = ring[j];
      if ((a.y > point.y) != (c.y > point.y) && point.x < (c.x - a.x) * (point.y - a.y) / (c.y - a.y) + a.x) {
        inside = !inside;
      }
    }
  }
  return inside;
}

// `box` is unwrapped (west <= east, east up to 540); the shape is taken
// `shift` degrees east of where the file has it.
bool CountyMap::Meets(const Shape& shape, const GeoBox& box, double shift) {
  const GeoBox& b = shape.bounds;
  if (b.east + shift < box.west || b.west + shift > box.east || b.north < box.south || b.south > box.north) {
    return false;
  }
  for (const std::vector<Point>& ring : shape.rings) {
    for (std::size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++) {
      if (SegmentMeetsBox(ring[j].x + shift, ring[j].y, ring[i].x + shift, ring[i].y, box)) return true;
    }
  }
  return Inside(shape, {box.west - shift, box.south});  // the box lies wholly inside the county
}

double CountyMap::DistanceKm(const Shape& shape, Point point) {
  const double xScale = std::cos(point.y * std::numbers::pi / 180);
  double nearest = std::numeric_limits<double>::infinity();
  for (const std::vector<Point>& ring : shape.rings) {
    for (std::size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++) {
      const double ax = (ring[j].x - point.x) * xScale, ay = ring[j].y - point.y;
      const double bx = (ring[i].x - point.x) * xScale, by = ring[i].y - point.y;
      const double dx = bx - ax, dy = by - ay;
      const double length = dx * dx + dy * dy;
      const double t = length > 0 ? std::clamp(-(ax * dx + ay * dy) / length, 0.0, 1.0) : 0;
      nearest = std::min(nearest, std::hypot(ax + t * dx, ay + t * dy));
    }
  }
  return nearest * kKmPerDegree;
}

const County* CountyMap::CountyAt(double eastLongitude, double latitude, double reachKm) const {
  const Point point{WrapEast(eastLongitude), latitude};
  const double reachDegrees = reachKm / kKmPerDegree;
  const Shape* nearest = nullptr;
  double nearestKm = reachKm;
  for (const Shape& shape : shapes_) {
    if (Inside(shape, point)) return &shape.county;
    const GeoBox& b = shape.bounds;
    const double xReach = reachDegrees / std::max(0.01, std::cos(latitude * std::numbers::pi / 180));
    if (point.x < b.west - xReach || point.x > b.east + xReach || point.y < b.south - reachDegrees ||
        point.y > b.north + reachDegrees) {
      continue;
    }
    const double km = DistanceKm(shape, point);
    if (km <= nearestKm) {
      nearestKm = km;
      nearest = &shape;
    }
  }
  return nearest != nullptr ? &nearest->county : nullptr;
}

std::vector<const County*> CountyMap::Neighbours(const County& county) const {
  const auto shape = std::find_if(shapes_.begin(), shapes_.end(), [&](const Shape& s) { return &s.county == &county; });
  if (shape == shapes_.end()) return {};
  std::vector<const County*> counties = CountiesMeeting(shape->bounds);
  std::erase(counties, &county);
  return counties;
}

std::vector<const County*> CountyMap::CountiesMeeting(const GeoBox& box) const {
  GeoBox unwrapped = box;
  unwrapped.west = WrapEast(box.west);
  unwrapped.east = WrapEast(box.east);
  if (unwrapped.east < unwrapped.west) unwrapped.east += 360;
  std::vector<const County*> counties;
  for (const Shape& shape : shapes_) {
    if (Meets(shape, unwrapped, 0) || Meets(shape, unwrapped, 360)) counties.push_back(&shape.county);
  }
  return counties;
}

}  // namespace korvexa
