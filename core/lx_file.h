// Reading a GCDB .LX file into the sorted, de-duplicated list of its records.
//
// The file is 8-bit text. A line ends at CR, CR LF or a lone LF. The first two
// lines are headers and are dropped; so is every sentinel line (first seven
// characters exactly " 999999"). The rest is sorted in plain byte order, and
// of every run of neighbours with equal first 41 characters only the last
// stays (the one whose remainder sorts last).
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace korvexa {

inline constexpr int kDuplicateKeyLength = 41;

// The lines at the top of every file that are not records.
inline constexpr std::size_t kHeaderLines = 2;

// Splits `text` into lines at CR, CR LF and LF. The last line needs no line
// end; a text that ends with a line end has no empty line after it.
std::vector<std::string_view> SplitLines(std::string_view text);

// True for a line whose first seven characters are exactly " 999999".
bool IsSentinelLine(std::string_view line);

// The list entries of a whole file's text: headers and sentinels dropped,
// sorted, neighbouring duplicates collapsed.
std::vector<std::string> ParseLxText(std::string_view text);

// Reads the whole file as bytes. Throws KorvexaError naming the file and the
// reason when it cannot be opened or read.
std::string ReadWholeFile(const std::filesystem::path& path);

// ParseLxText of the file at `path`. Throws as ReadWholeFile.
std::vector<std::string> LoadLxFile(const std::filesystem::path& path);

}  // namespace korvexa
