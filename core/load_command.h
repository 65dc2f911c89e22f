// File > Open after the dialog: normalise the line ends, then read the file.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace korvexa {

class Converters;

struct LoadedFile {
  std::string title;               // file name with extension, no folder (fName)
  std::vector<std::string> lines;  // sorted, de-duplicated records
};

// Runs the line-end converter on the file's title (when `converters` is
// given; it resolves the title against the current folder, which the caller
// has set to the file's folder) and then reads `fullPath`.
// Throws KorvexaError when the file cannot be read.
LoadedFile OpenLxFile(const std::filesystem::path& fullPath, Converters* converters);

}  // namespace korvexa
