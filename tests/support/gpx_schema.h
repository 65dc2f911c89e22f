// The GPX 1.1 schema check of every GPX file the tests write.
#pragma once

#include <filesystem>
#include <string>

namespace korvexa::testing {

// xmllint's verdict on `path` against the GPX 1.1 schema of tests/data/gpx:
// empty when the file is valid, else xmllint's complaint and exit status.
std::string GpxSchemaErrors(const std::filesystem::path& path);

}  // namespace korvexa::testing
