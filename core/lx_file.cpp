#include "core/lx_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>

#include "core/korvexa_error.h"
#include "core/lx_record.h"

namespace korvexa {
namespace {

constexpr std::string_view kSentinel = " 999999";

std::string ReadErrorText(const std::filesystem::path& path, int error) {
  return "cannot read \"" + path.string() + "\": " + std::strerror(error);
}

class OpenFile {
 public:
  // Opens a regular file of at most kLargestLxFile bytes to read. Opening does
  // not wait for a FIFO's writer, so that a FIFO is refused, not waited for.
  explicit OpenFile(const std::filesystem::path& path) : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)) {
    if (fd_ < 0) throw KorvexaError(ReadErrorText(path, errno));
    if (::fstat(fd_, &status_) != 0) Fail(path, errno);
    if (!S_ISREG(status_.st_mode)) {
      Fail(path, S_ISDIR(status_.st_mode) ? "is a folder" : "is not a regular file (a FIFO, a socket or a device)");
    }
    if (static_cast<std::uintmax_t>(status_.st_size) > kLargestLxFile) {
      Fail(path, "is larger than 1 GiB, which no township file comes near");
    }
  }
  ~OpenFile() { ::close(fd_); }
  OpenFile(const OpenFile&) = delete;
  OpenFile& operator=(const OpenFile&) = delete;

  std::size_t Size() const { return static_cast<std::size_t>(status_.st_size); }

  // Up to `size` bytes into `buffer`; fewer at the end. Throws on failure.
  std::size_t Read(char* buffer, std::size_t size, const std::filesystem::path& path) const {
    for (;;) {
      const ssize_t got = ::read(fd_, buffer, size);
      if (got >= 0) return static_cast<std::size_t>(got);
      if (errno != EINTR) throw KorvexaError(ReadErrorText(path, errno));
    }
  }

 private:
  [[noreturn]] void Fail(const std::filesystem::path& path, int error) {
    ::close(fd_);
    throw KorvexaError(ReadErrorText(path, error));
  }
  [[noreturn]] void Fail(const std::filesystem::path& path, const char* why) {
    ::close(fd_);
    throw KorvexaError("cannot read \"" + path.string() + "\": it " + why);
  }

  int fd_;
  struct stat status_ {};
};

// Throws "\"notes.lx\" is not a GCDB .LX <what>", built by appending (GCC 12
// warns wrongly about operator+ in Release).
[[noreturn]] void Refuse(const std::filesystem::path& path, std::string_view what) {
  std::string message = "\"";
  message += path.filename().string();
  message += "\" is not a GCDB .LX ";
  message += what;
  throw KorvexaError(message);
}

bool HasDigit(std::string_view text) {
  return text.find_first_of("0123456789") != std::string_view::npos;
}

bool IsTextControl(unsigned char c) {
  return (c < 0x20 && c != '\t' && c != '\n' && c != '\f' && c != '\r' && c != 0x1A) || c == 0x7F;
}

// A line with its first eight bytes as one number, most significant first
// (zeros past a short line's end), so that most comparisons of the sort take
// one integer comparison: the leading blank and the PointID decide them.
struct KeyedLine {
  std::uint64_t head = 0;
  std::string_view line;

  explicit KeyedLine(std::string_view text) : line(text) {
    for (std::size_t i = 0; i < sizeof head; ++i) {
      head = head << 8 | (i < text.size() ? static_cast<unsigned char>(text[i]) : 0u);
    }
  }
  // Byte order, as std::string_view compares (bytes as unsigned).
  bool operator<(const KeyedLine& other) const { return head != other.head ? head < other.head : line < other.line; }
};

// The records of `text` (its lines but the headers and the sentinels),
// sorted in byte order, with only the last of each run of equal keys.
std::vector<std::string_view> SortedRecords(std::string_view text) {
  std::vector<KeyedLine> keyed;
  std::size_t number = 0;
  ForEachLine(text, [&](std::string_view line) {
    if (number++ >= kHeaderLines && !IsSentinelLine(line)) keyed.emplace_back(line);
  });
  std::sort(keyed.begin(), keyed.end());
  std::vector<std::string_view> lines;
  lines.reserve(keyed.size());
  for (std::size_t i = 0; i < keyed.size(); ++i) {
    if (i + 1 == keyed.size() || DuplicateKey(keyed[i].line) != DuplicateKey(keyed[i + 1].line)) {
      lines.push_back(keyed[i].line);
    }
  }
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
  const OpenFile file(path);
  std::string content;
  content.reserve(file.Size());
  char block[1 << 16];
  while (const std::size_t got = file.Read(block, sizeof block, path)) content.append(block, got);
  return content;
}

bool LooksLikeText(std::string_view sample) {
  if (sample.find('\0') != std::string_view::npos) return false;
  const auto controls =
      std::count_if(sample.begin(), sample.end(), [](char c) { return IsTextControl(static_cast<unsigned char>(c)); });
  return static_cast<std::size_t>(controls) * 10 <= sample.size();
}

bool IsCornerLine(std::string_view line) {
  // A coordinate: digits, blanks, a full stop, a sign.
  const auto number = [line](int first, int last) {
    const std::string_view field = LxColumns(line, first, last);
    return HasDigit(field) && field.find_first_not_of("0123456789 .+-") == std::string_view::npos;
  };
  return line.size() >= 21 && line[7] == ' ' && line[19] == ' ' && HasDigit(LxColumns(line, 2, 7)) && number(9, 19) &&
         number(21, 32);
}

void RequireLxFile(const std::filesystem::path& path) {
  const OpenFile file(path);
  std::string sample(kTextSampleSize, '\0');
  std::size_t filled = 0;
  while (filled < sample.size()) {
    const std::size_t got = file.Read(sample.data() + filled, sample.size() - filled, path);
    if (got == 0) break;
    filled += got;
  }
  sample.resize(filled);
  if (!LooksLikeText(sample)) Refuse(path, "text file");
  if (sample.empty()) Refuse(path, "file: it is empty");
  std::size_t number = 0;
  bool corner = false;
  ForEachLine(sample,
              [&](std::string_view line) { corner = corner || (number++ >= kHeaderLines && IsCornerLine(line)); });
  if (!corner) Refuse(path, "file: no record holds a corner in its columns");
}

std::string OutputNameOf(std::string_view title, std::string_view extension) {
  constexpr std::size_t kCutFromTitle = 3;
  const std::size_t slash = title.rfind('/');
  const std::size_t nameLength = slash == std::string_view::npos ? title.size() : title.size() - slash - 1;
  if (nameLength <= kCutFromTitle) {
    throw KorvexaError("cannot name the output file: the file title \"" + std::string(title) +
                       "\" leaves no name before the extension (open a .LX file first)");
  }
  return std::string(title.substr(0, title.size() - kCutFromTitle)) + std::string(extension);
}

LxLines LoadLxFile(const std::filesystem::path& path) {
  return ParseLxText(ReadWholeFile(path));
}

}  // namespace korvexa
