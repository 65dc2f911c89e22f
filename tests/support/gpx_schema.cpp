#include "tests/support/gpx_schema.h"

#include "tests/support/run_command.h"

namespace korvexa::testing {

std::string GpxSchemaErrors(const std::filesystem::path& path) {
  const CommandOutput result = RunCommand("xmllint --nonet --noout --schema " + ShellQuoted(KORVEXA_GPX_SCHEMA) + " " +
                                          ShellQuoted(path.string()));
  return result.exitCode == 0 ? "" : result.err + " (exit " + std::to_string(result.exitCode) + ")";
}

}  // namespace korvexa::testing
