#include "app/system_services.h"

#include "app/build_info.h"
#include "process/program_folder.h"
#include "process/system_converters.h"
#include "transform/county_zones.h"
#include "transform/datum_shift.h"

namespace korvexa {
namespace {

void UseGridsBesideTheProgram() {
  UseShippedGrids((ProgramFolder() / kGridsFromProgramFolder).lexically_normal());
  UseCountyBoundaries((ProgramFolder() / kCountiesFromProgramFolder).lexically_normal());
}

}  // namespace

Services MakeSystemServices() {
  UseGridsBesideTheProgram();
  Services services;
  services.clock = std::make_unique<SystemClock>();
  services.datum = std::make_unique<NadconLibrary>();
  services.converters = std::make_unique<SystemConverters>();
  return services;
}

std::string SystemGridReport() {
  UseGridsBesideTheProgram();
  return GridReport();
}

}  // namespace korvexa
