#include "core/lx_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "core/korvexa_error.h"

namespace korvexa {
namespace {

constexpr std::string_view kSentinel = " 999999";

std::string ReadErrorText(const std::filesystem::path& path, int error) {
  return "cannot read \"" + path.string() + "\": " + std::strerror(error);
}

struct FileCloser {
  int fd;
  ~FileCloser() { ::close(fd); }
};

// The records of `text` (its lines but the headers and the sentinels),
// sorted in byte order, with only the last of each run of equal keys.
std::vector<std::string_view> SortedRecords(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t number = 0;
  ForEachLine(text, [&](std::string_view line) {
    if (number++ >= kHeaderLines && !IsSentinelLine(line)) lines.push_back(line);
  });
  std::sort(lines.begin(), lines.end());
  std::size_t kept = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i + 1 == lines.size() || DuplicateKey(lines[i]) != DuplicateKey(lines[i + 1])) lines[kept++] = lines[i];
  }
  lines.resize(kept);
  return lines;
}

}  // namespace

std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  ForEachLine(text, [&](std::string_view line) { lines.push_back(line); });
  return lines;
}

bool IsSentinelLine(std::string_view line) {
  return line.substr(0, kSentinel.size()) == kSentinel;
}

LxLines ParseLxText(std::string text) {
  auto shared = std::make_shared<const std::string>(std::move(text));
  std::vector<std::string_view> lines = SortedRecords(*shared);
  return LxLines(std::move(shared), std::move(lines));
}

std::string ReadWholeFile(const std::filesystem::path& path) {
  const FileCloser file{::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
  if (file.fd < 0) throw KorvexaError(ReadErrorText(path, errno));
  std::string content;
  struct stat status {};
  if (::fstat(file.fd, &status) == 0 && S_ISREG(status.st_mode))
    content.reserve(static_cast<std::size_t>(status.st_size));
  char block[1 << 16];
  for (;;) {
    const ssize_t got = ::read(file.fd, block, sizeof block);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) throw KorvexaError(ReadErrorText(path, errno));
    if (got == 0) return content;
    content.append(block, static_cast<std::size_t>(got));
  }
}

LxLines LoadLxFile(const std::filesystem::path& path) {
  return ParseLxText(ReadWholeFile(path));
}

}  // namespace korvexa
