// Like the programs, the transformation tests move points with the grids the
// project ships, found after PROJ's own (empty) search path.
#include <gtest/gtest.h>

#include "transform/prolat.h"

namespace {

class ShippedGrids : public ::testing::Environment {
 public:
  void SetUp() override { ASSERT_EQ(ProLatSetFallbackPath(KORVEXA_SHIPPED_GRIDS), PROLAT_OK); }
};

[[maybe_unused]] const auto* const kShippedGrids = ::testing::AddGlobalTestEnvironment(new ShippedGrids);

}  // namespace
