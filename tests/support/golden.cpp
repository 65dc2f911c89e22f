#include "tests/support/golden.h"

#include <cstdlib>
#include <sstream>
#include <vector>

#include "tests/support/temp_folder.h"

namespace korvexa::testing {
namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::string current;
  for (char c : text) {
    if (c == '\n') {
      lines.push_back(current);
      current.clear();
    } else {
      current += c;
    }
  }
  if (!current.empty()) lines.push_back(current);
  return lines;
}

std::string Visible(const std::string& line) {
  std::string out;
  for (unsigned char c : line) {
    if (c == '\r') {
      out += "\\r";
    } else if (c < 32 || c >= 127) {
      static const char* hex = "0123456789ABCDEF";
      out += "\\x";
      out += hex[c >> 4];
      out += hex[c & 15];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

}  // namespace

std::vector<std::string> CrLfLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(text.substr(start, end - start));
    EXPECT_EQ(lines.back().find('\n'), std::string::npos) << "a lone LF in line " << lines.size();
  }
  EXPECT_EQ(start, text.size()) << "text after the last CR LF";
  return lines;
}

std::filesystem::path TestData(const std::string& name) {
  return std::filesystem::path(KORVEXA_TEST_DATA) / name;
}

bool UpdatingGoldenFiles() {
  const char* update = std::getenv("KORVEXA_UPDATE_GOLDEN");
  return update != nullptr && std::string(update) == "1";
}

::testing::AssertionResult MatchesGolden(const std::string& actual, const std::filesystem::path& golden) {
  if (UpdatingGoldenFiles()) {
    WriteBytes(golden, actual);
    return ::testing::AssertionSuccess() << "rewrote " << golden;
  }
  const std::string expected = ReadBytes(golden);
  if (actual == expected) return ::testing::AssertionSuccess();
  const auto want = Lines(expected);
  const auto got = Lines(actual);
  std::ostringstream diff;
  diff << "differs from " << golden.string() << "\n";
  for (std::size_t i = 0; i < std::max(want.size(), got.size()); ++i) {
    const std::string w = i < want.size() ? Visible(want[i]) : "(none)";
    const std::string g = i < got.size() ? Visible(got[i]) : "(none)";
    if (w != g) diff << "line " << i + 1 << "\n  expected: " << w << "\n  actual:   " << g << "\n";
  }
  if (want == got) diff << "(the difference is in the line ends)\n";
  return ::testing::AssertionFailure() << diff.str();
}

}  // namespace korvexa::testing
