#include <gtest/gtest.h>

#include "fixtures/sealed_environment.h"

int main(int argc, char** argv) {
  korvexa::testing::SealTestEnvironment();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
