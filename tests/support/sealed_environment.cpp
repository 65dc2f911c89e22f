#include "sealed_environment.h"

#include <cstdlib>

namespace korvexa::testing {

void SealTestEnvironment() {
  ::setenv("PROJ_DATA", KORVEXA_TEST_PROJ_DATA, 1);
  ::setenv("PROJ_NETWORK", "OFF", 1);
  ::setenv("LOCPATH", KORVEXA_TEST_LOCALES, 1);
}

}  // namespace korvexa::testing
