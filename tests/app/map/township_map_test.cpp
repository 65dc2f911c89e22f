// The geometry of the township map: the view's scale and place, the grid of
// corners, the lines' levels of detail, label placement, and the map of a
// file tied to its list.
#include "app/map/township_map.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "app/map/map_labels.h"
#include "app/map/map_viewport.h"
#include "core/lx_file.h"
#include "core/lx_record.h"
#include "fixtures/synthetic_township.h"
#include "tests/support/golden.h"
#include "tests/support/temp_folder.h"

namespace korvexa {
namespace {

using ::testing::UnorderedElementsAreArray;

std::vector<PlanePoint> RandomPoints(std::size_t count, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> x(350000, 360000), y(3870000, 3876000);
  std::vector<PlanePoint> points;
  for (std::size_t i = 0; i < count; ++i) points.push_back({x(random), y(random)});
  points.push_back(points[3]);  // two corners at one place
  return points;
}

TEST(MapViewportTest, ZoomKeepsThePointUnderThePointer) {
  for (const double factor : {1.2, 1 / 1.2, 7.0}) {
    for (const ScreenPoint anchor : {ScreenPoint{0, 0}, ScreenPoint{123.5, 456}, ScreenPoint{800, 600}}) {
      MapViewport view({355000, 3873000}, 20, 800, 600);
      const PlanePoint before = view.ToWorld(anchor);
      view.ZoomAround(anchor, factor);
      const PlanePoint after = view.ToWorld(anchor);
      EXPECT_NEAR(after.x, before.x, 1e-6) << factor;
      EXPECT_NEAR(after.y, before.y, 1e-6) << factor;
      EXPECT_DOUBLE_EQ(view.metresPerPixel(), 20 / factor);
    }
  }
}

TEST(MapViewportTest, ZoomStopsAtTheScaleLimits) {
  MapViewport view({0, 0}, 1, 100, 100);
  view.ZoomAround({50, 50}, 1e6);
  EXPECT_EQ(view.metresPerPixel(), MapViewport::kFinestMetresPerPixel);
  view.ZoomAround({50, 50}, 1e-9);
  EXPECT_EQ(view.metresPerPixel(), MapViewport::kCoarsestMetresPerPixel);
}

TEST(MapViewportTest, PanMovesThePictureWithTheDrag) {
  MapViewport view({1000, 2000}, 2, 400, 300);
  const ScreenPoint before = view.ToScreen({1100, 2100});
  view.PanBy(30, -12);
  const ScreenPoint after = view.ToScreen({1100, 2100});
  EXPECT_DOUBLE_EQ(after.x, before.x + 30);
  EXPECT_DOUBLE_EQ(after.y, before.y - 12);
}

// North up and the same scale across and down: a metre north is a metre
// east turned a quarter.
TEST(MapViewportTest, FittingShowsAllWithTheMarginAndEqualScale) {
  const WorldRect bounds{350000, 3870000, 360000, 3872000};  // wide and low
  const MapViewport view = MapViewport::Fitting(bounds, 600, 400, 20);
  const ScreenPoint lowerLeft = view.ToScreen({bounds.left, bounds.bottom});
  const ScreenPoint upperRight = view.ToScreen({bounds.right, bounds.top});
  EXPECT_DOUBLE_EQ(lowerLeft.x, 20);
  EXPECT_DOUBLE_EQ(upperRight.x, 580);
  EXPECT_GT(lowerLeft.y, upperRight.y);
  EXPECT_DOUBLE_EQ(lowerLeft.y - upperRight.y, bounds.Height() / view.metresPerPixel());
  EXPECT_DOUBLE_EQ((lowerLeft.y + upperRight.y) / 2, 200);
  // A single corner is shown 200 m wide, in the middle.
  const MapViewport one = MapViewport::Fitting({5, 5, 5, 5}, 220, 220, 10);
  EXPECT_DOUBLE_EQ(one.metresPerPixel(), 1);
  EXPECT_DOUBLE_EQ(one.ToScreen({5, 5}).x, 110);
}

TEST(MapViewportTest, ScaleBarTakesARoundLength) {
  const std::pair<double, double> cases[] = {{1, 120}, {1, 99}, {10, 120}, {16.7, 120}, {0.1, 49}, {2000, 120}};
  const double expected[] = {100, 50, 1000, 2000, 2, 200000};
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_DOUBLE_EQ(ScaleBarMetres(cases[i].first, cases[i].second), expected[i]) << i;
  }
}

TEST(PointGridTest, FindsWhatASearchOfEveryPointFinds) {
  const std::vector<PlanePoint> points = RandomPoints(3000, 7);
  const PointGrid grid(points);
  std::mt19937 random(11);
  std::uniform_real_distribution<double> x(349000, 361000), y(3869000, 3877000), size(0, 3000);
  for (int round = 0; round < 200; ++round) {
    const PlanePoint corner{x(random), y(random)};
    const WorldRect rect = WorldRect::Spanning(corner, {corner.x + size(random), corner.y + size(random)});
    std::vector<std::size_t> inside;
    std::optional<std::size_t> nearest;
    double nearestDistance = 150;
    for (std::size_t i = 0; i < points.size(); ++i) {
      if (rect.Contains(points[i])) inside.push_back(i);
      const double d = std::hypot(points[i].x - corner.x, points[i].y - corner.y);
      if (d < nearestDistance || (d == nearestDistance && nearest && i < *nearest)) {
        nearestDistance = d;
        nearest = i;
      }
    }
    ASSERT_EQ(grid.PointsIn(rect), inside) << round;
    ASSERT_EQ(grid.Nearest(corner, 150), nearest) << round;
  }
  EXPECT_EQ(grid.PointsIn({3, 3, 3, 3}), std::vector<std::size_t>{});  // far from every point
}

TEST(PointGridTest, TypicalSpacingOfAGrid) {
  std::vector<PlanePoint> points;
  for (int row = 0; row < 40; ++row) {
    for (int column = 0; column < 40; ++column) points.push_back({column * 805.0, row * 805.0});
  }
  EXPECT_NEAR(PointGrid(points).TypicalSpacing(), 805, 1e-9);
  EXPECT_EQ(PointGrid({{1, 1}}).TypicalSpacing(), 0);
}

Township Chain(const std::vector<PlanePoint>& vertices) {
  Township township;
  for (const PlanePoint& p : vertices) township.points.push_back({"", 0, 0, p.x, p.y});
  township.reliabilities = {""};
  for (std::uint32_t i = 1; i < vertices.size(); ++i) township.segments.push_back({i - 1, i, 0});
  return township;
}

double DistanceToPolyline(PlanePoint p, const LineLevel& level) {
  double best = INFINITY;
  for (const LinePiece& piece : level.pieces) {
    for (std::uint32_t k = 1; k < piece.count; ++k) {
      const PlanePoint a = level.vertices[piece.first + k - 1], b = level.vertices[piece.first + k];
      const double dx = b.x - a.x, dy = b.y - a.y;
      const double t = std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
      best = std::min(best, std::hypot(a.x + t * dx - p.x, a.y + t * dy - p.y));
    }
  }
  return best;
}

// A wandering line of 200 vertices: every level keeps every vertex within
// its tolerance, has fewer vertices than the one before, and the coarsest
// keeps only the ends.
TEST(MapLinesTest, EachLevelStaysWithinItsTolerance) {
  std::mt19937 random(3);
  std::normal_distribution<double> wobble(0, 40);
  std::vector<PlanePoint> vertices;
  for (int i = 0; i < 200; ++i)
    vertices.push_back({i * 100.0 + wobble(random), 5000 * std::sin(i / 30.0) + wobble(random)});
  const MapLines lines(Chain(vertices));
  ASSERT_GT(lines.levels().size(), 3u);
  EXPECT_EQ(lines.levels().front().vertices.size(), 200 + 199 / (MapLines::kMaxPieceVertices - 1));
  for (std::size_t k = 1; k < lines.levels().size(); ++k) {
    const LineLevel& level = lines.levels()[k];
    EXPECT_LT(level.vertices.size(), lines.levels()[k - 1].vertices.size()) << k;
    for (const PlanePoint& v : vertices) ASSERT_LE(DistanceToPolyline(v, level), level.tolerance + 1e-6) << k;
    for (const LinePiece& piece : level.pieces) ASSERT_LE(piece.count, MapLines::kMaxPieceVertices);
  }
  EXPECT_EQ(lines.levels().back().vertices.size(), 2u);
  EXPECT_EQ(&lines.Level(0.5), &lines.levels()[0]);
  EXPECT_EQ(&lines.Level(1e9), &lines.levels().back());
}

TEST(MapLabelsTest, NoLabelCoversAnotherOrAMarker) {
  std::mt19937 random(5);
  std::uniform_real_distribution<double> x(0, 400), y(0, 300);
  std::vector<LabelRequest> requests;
  for (int i = 0; i < 300; ++i) requests.push_back({{x(random), y(random)}, 40, 12});
  const ScreenRect area{0, 0, 400, 300};
  const auto placed = PlaceLabels(requests, 5, area);
  ASSERT_EQ(placed.size(), requests.size());
  std::size_t count = 0;
  for (std::size_t i = 0; i < placed.size(); ++i) {
    if (!placed[i]) continue;
    ++count;
    // Clear of its own round marker.
    const ScreenPoint own = requests[i].corner;
    const double dx = std::max({placed[i]->left - own.x, 0.0, own.x - placed[i]->right});
    const double dy = std::max({placed[i]->top - own.y, 0.0, own.y - placed[i]->bottom});
    EXPECT_GT(std::hypot(dx, dy), 5) << i;
    EXPECT_TRUE(area.Contains({placed[i]->left, placed[i]->top}) &&
                area.Contains({placed[i]->right, placed[i]->bottom}));
    for (std::size_t j = 0; j < placed.size(); ++j) {
      if (j == i) continue;
      ASSERT_FALSE(placed[j] && placed[i]->Overlaps(*placed[j])) << i << " " << j;
      const ScreenPoint c = requests[j].corner;
      ASSERT_FALSE(placed[i]->Overlaps({c.x - 5, c.y - 5, c.x + 5, c.y + 5})) << i << " " << j;
    }
  }
  EXPECT_GT(count, 20u);
  EXPECT_LT(count, 300u);
}

TEST(MapLabelsTest, ALoneLabelStandsAboveRightAndCrowdedOnesGiveWay) {
  const auto alone = PlaceLabels({{{100, 100}, 40, 12}}, 5, {0, 0, 400, 300});
  ASSERT_TRUE(alone[0]);
  EXPECT_GT(alone[0]->left, 100);
  EXPECT_LT(alone[0]->bottom, 100);
  // Three labels of one corner, so wide that they fit only above it or
  // below it: the first two take those places, the third is left out.
  const LabelRequest wide{{50, 50}, 90, 12};
  const auto crowded = PlaceLabels({wide, wide, wide}, 5, {0, 0, 100, 100});
  ASSERT_TRUE(crowded[0] && crowded[1]);
  EXPECT_LT(crowded[0]->bottom, 50);
  EXPECT_GT(crowded[1]->top, 50);
  EXPECT_FALSE(crowded[2]);
}

// tests/data/t12n.lx: 100100 twice (one entry in the list), 100140, 140100,
// "A&<"B" drawn; 400400 has no coordinates, 300500 no longitude; 700700
// (32 N) lies far from the others.
TEST(TownshipMapTest, TiesEachDrawnPointToItsListEntryAndCountsTheRest) {
  const std::string text = testing::ReadBytes(testing::TestData("t12n.lx"));
  const PointList list = MakePointList(ParseLxText(text));
  const TownshipMap map = BuildTownshipMap(text, "t12n.lx", list);
  EXPECT_EQ(map.problem, "");
  EXPECT_EQ(map.township.utmZone, 13);  // 102 W to 108 W
  std::vector<std::string> drawn;
  for (std::size_t i = 0; i < map.township.points.size(); ++i) {
    ASSERT_LT(map.entryOf[i], list.size());
    const std::string_view entry = list[map.entryOf[i]].line;
    EXPECT_EQ(TrimmedPointId(entry), map.township.points[i].id);
    EXPECT_EQ(DecodeLxPoint(entry).Latitude, map.township.points[i].north);
    drawn.push_back(map.township.points[i].id);
  }
  EXPECT_THAT(drawn, UnorderedElementsAreArray({"100100", "100140", "140100", "A&<\"B"}));
  EXPECT_EQ(map.withoutCoordinates, 2u);
  EXPECT_EQ(map.farOff, 1u);
  EXPECT_EQ(map.grid.size(), 4u);
  const CornerFacts facts = DescribeCorner(map, list, 0);
  EXPECT_EQ(facts.id, "100100");
  EXPECT_EQ(facts.elevationFeet, "1000");
  EXPECT_EQ(facts.elevationMetres, 305);
  EXPECT_EQ(facts.reliability, "2.5");
  EXPECT_NEAR(facts.longitude, -106.7583333, 1e-7);
}

TEST(TownshipMapTest, AFileWithNothingToDrawSaysWhy) {
  const std::string text = "header 1\r\nheader 2\r\n 400400\r\n";
  const PointList list = MakePointList(ParseLxText(text));
  const TownshipMap map = BuildTownshipMap(text, "empty.lx", list);
  EXPECT_THAT(map.problem, ::testing::HasSubstr("no point with usable coordinates"));
  EXPECT_EQ(map.withoutCoordinates, 1u);
  EXPECT_EQ(map.grid.size(), 0u);
}

TEST(TownshipMapTest, SyntheticTownshipsHaveTheirCornersAndLines) {
  const std::string text = testing::SyntheticLxText(2);
  const PointList list = MakePointList(ParseLxText(text));
  const TownshipMap map = BuildTownshipMap(text, "t.lx", list);
  EXPECT_EQ(map.grid.size(), 2 * testing::kCornersPerTownship);
  EXPECT_NEAR(map.spacing, 805, 5);  // half a mile
  // 26 straight chains of 13 corners per township: at a tolerance of a few
  // metres each is one segment.
  const LineLevel& coarse = map.lines.Level(30);
  EXPECT_EQ(coarse.pieces.size(), 2 * 2 * std::size_t{testing::kCornersPerSide});
  EXPECT_EQ(coarse.vertices.size(), 2 * coarse.pieces.size());
}

}  // namespace
}  // namespace korvexa
