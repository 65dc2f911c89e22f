#include "system_services.h"

#include "build_info.h"
#include "datum_adapter.h"
#include "program_folder.h"
#include "system_converters.h"

namespace korvexa {
namespace {

void UseGridsBesideTheProgram() {
  UseShippedGrids((ProgramFolder() / kGridsFromProgramFolder).lexically_normal());
}

}  // namespace

Services MakeSystemServices() {
  UseGridsBesideTheProgram();
  Services services;
  services.clock = std::make_unique<SystemClock>();
  services.datum = std::make_unique<ProLatDatumLibrary>();
  services.converters = std::make_unique<SystemConverters>();
  return services;
}

std::string SystemGridReport() {
  UseGridsBesideTheProgram();
  return GridReport();
}

}  // namespace korvexa
