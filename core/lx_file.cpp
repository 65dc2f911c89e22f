#include "core/lx_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "core/korvexa_error.h"

namespace korvexa {
namespace {

constexpr std::string_view kSentinel = " 999999";

std::string_view DuplicateKey(std::string_view line) {
  return line.substr(0, kDuplicateKeyLength);
}

std::string ReadErrorText(const std::filesystem::path& path, int error) {
  return "cannot read \"" + path.string() + "\": " + std::strerror(error);
}

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
    if (text[end] == '\r' && start < text.size() && text[start] == '\n') ++start;
  }
  return lines;
}

bool IsSentinelLine(std::string_view line) {
  return line.substr(0, kSentinel.size()) == kSentinel;
}

LxLines ParseLxText(std::string text) {
  auto shared = std::make_shared<const std::string>(std::move(text));
  std::vector<std::string_view> lines = SplitLines(*shared);
  if (lines.size() <= kHeaderLines) return {};
  lines.erase(lines.begin(), lines.begin() + kHeaderLines);
  std::erase_if(lines, IsSentinelLine);
  std::sort(lines.begin(), lines.end());

  // Of each run of equal keys the last one stays.
  std::size_t kept = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const bool nextHasSameKey = i + 1 < lines.size() && DuplicateKey(lines[i]) == DuplicateKey(lines[i + 1]);
    if (!nextHasSameKey) lines[kept++] = lines[i];
  }
  lines.resize(kept);
  return LxLines(std::move(shared), std::move(lines));
}

std::string ReadWholeFile(const std::filesystem::path& path) {
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) throw KorvexaError(ReadErrorText(path, errno));
  std::string content;
  char buffer[1 << 16];
  std::size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) content.append(buffer, got);
  if (std::ferror(file.get())) throw KorvexaError(ReadErrorText(path, errno));
  return content;
}

LxLines LoadLxFile(const std::filesystem::path& path) {
  return ParseLxText(ReadWholeFile(path));
}

}  // namespace korvexa
