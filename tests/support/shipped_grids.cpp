// Like the programs, the tests move points with the grids the project ships,
// found after PROJ's own (empty) search path, and find the zones with the
// county boundaries it ships.
#include <gtest/gtest.h>

#include "transform/county_zones.h"
#include "transform/datum_shift.h"

namespace {

class ShippedGrids : public ::testing::Environment {
 public:
  void SetUp() override {
    korvexa::UseShippedGrids(KORVEXA_SHIPPED_GRIDS);
    korvexa::UseCountyBoundaries(KORVEXA_SHIPPED_COUNTIES);
  }
};

[[maybe_unused]] const auto* const kShippedGrids = ::testing::AddGlobalTestEnvironment(new ShippedGrids);

}  // namespace
