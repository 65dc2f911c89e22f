// Byte-exact comparison with a golden file, with a readable line diff.
// KORVEXA_UPDATE_GOLDEN=1 in the environment rewrites the golden file instead
// (review the change before committing it).
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace korvexa::testing {

::testing::AssertionResult MatchesGolden(const std::string& actual, const std::filesystem::path& golden);

// True when KORVEXA_UPDATE_GOLDEN=1 asks to rewrite the golden files (also
// the golden pictures of the window tests).
bool UpdatingGoldenFiles();

// The lines of an output file without their CR LF; a failure is recorded
// when a line lacks its CR LF or a lone LF stands in the text.
std::vector<std::string> CrLfLines(const std::string& text);

// The path of a file in tests/data.
std::filesystem::path TestData(const std::string& name);

}  // namespace korvexa::testing
