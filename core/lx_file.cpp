#include "core/lx_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>
#include <thread>
#include <utility>

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

FileCloser OpenToRead(const std::filesystem::path& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw KorvexaError(ReadErrorText(path, errno));
  return FileCloser{fd};
}

// Reads into `buffer` until it is full or the file ends; returns the bytes read.
std::size_t ReadInto(int fd, char* buffer, std::size_t size, const std::filesystem::path& path) {
  std::size_t filled = 0;
  while (filled < size) {
    const ssize_t got = ::read(fd, buffer + filled, size - filled);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) throw KorvexaError(ReadErrorText(path, errno));
    if (got == 0) break;
    filled += static_cast<std::size_t>(got);
  }
  return filled;
}

// Calls `line(view)` for every line of `text` (see SplitLines). The next CR
// and the next LF are each searched for once, with memchr, and remembered
// until the scan passes them, so no byte is looked at twice.
template <typename Line>
void ForEachLine(std::string_view text, Line line) {
  const char* const begin = text.data();
  const char* const end = begin + text.size();
  auto next = [end](const char* from, char c) {
    const void* found = std::memchr(from, c, static_cast<std::size_t>(end - from));
    return found != nullptr ? static_cast<const char*>(found) : end;
  };
  const char* nextCr = next(begin, '\r');
  const char* nextLf = next(begin, '\n');
  const char* start = begin;
  while (start < end) {
    if (nextCr < start) nextCr = next(start, '\r');
    if (nextLf < start) nextLf = next(start, '\n');
    const char* stop = std::min(nextCr, nextLf);
    line(std::string_view(start, static_cast<std::size_t>(stop - start)));
    if (stop == end) break;
    start = stop + 1;
    if (*stop == '\r' && start < end && *start == '\n') ++start;
  }
}

// Up to 8 bytes of `line` from `from` as a big-endian number, zeros past its
// end: numbers compare as the bytes do.
std::uint64_t KeyBytes(std::string_view line, std::size_t from) {
  unsigned char bytes[8] = {};
  if (from < line.size()) std::memcpy(bytes, line.data() + from, std::min<std::size_t>(8, line.size() - from));
  std::uint64_t key = 0;
  std::memcpy(&key, bytes, 8);
  return std::endian::native == std::endian::little ? __builtin_bswap64(key) : key;
}

// A line to sort: its first 24 bytes as three numbers, so that most
// comparisons need neither the text nor memcmp.
struct SortItem {
  std::uint64_t first = 0;
  std::uint64_t second = 0;
  std::uint64_t third = 0;
  std::uint32_t offset = 0;
  std::uint32_t length = 0;
};
constexpr std::size_t kKeyBytes = 24;

// Byte order of the lines: equal key numbers mean equal first 24 bytes (a
// shorter line padded with zeros), so the rest and then the length decide.
struct ByBytes {
  const char* text;
  std::string_view Rest(const SortItem& item) const {
    const std::size_t skip = std::min<std::size_t>(kKeyBytes, item.length);
    return {text + item.offset + skip, item.length - skip};
  }
  bool operator()(const SortItem& a, const SortItem& b) const {
    if (a.first != b.first) return a.first < b.first;
    if (a.second != b.second) return a.second < b.second;
    if (a.third != b.third) return a.third < b.third;
    // Lines shorter than the key (padded with zeros) have no rest: the
    // length decides between "a" and "a\0".
    const std::string_view restA = Rest(a), restB = Rest(b);
    return restA != restB ? restA < restB : a.length < b.length;
  }
};

// Sorts `items` by `compare` as two runs, a long list in two halves at
// once; returns where the second run begins (the end when there is one).
std::size_t SortRuns(std::vector<SortItem>& items, const ByBytes& compare) {
  constexpr std::size_t kTwoHalvesFrom = std::size_t{1} << 17;
  if (items.size() < kTwoHalvesFrom || std::thread::hardware_concurrency() < 2) {
    std::sort(items.begin(), items.end(), compare);
    return items.size();
  }
  const auto middle = items.begin() + static_cast<std::ptrdiff_t>(items.size() / 2);
  std::thread secondHalf([&] { std::sort(middle, items.end(), compare); });
  std::sort(items.begin(), middle, compare);
  secondHalf.join();
  return items.size() / 2;
}

// Gives `advice` to madvise for the whole pages of `pageSize` (a power of
// two) inside [from, to); none when no whole page lies there.
void AdviseWholePages(const void* from, const void* to, std::uintptr_t pageSize, int advice) {
  const auto start = (reinterpret_cast<std::uintptr_t>(from) + pageSize - 1) & ~(pageSize - 1);
  const auto end = reinterpret_cast<std::uintptr_t>(to) & ~(pageSize - 1);
  if (end > start) ::madvise(reinterpret_cast<void*>(start), end - start, advice);
}

// Gives the whole pages inside [from, to) back to the system. For memory of
// a live allocation that is never read again: the allocator's own words lie
// outside it.
void ReleasePages(const void* from, const void* to) {
  AdviseWholePages(from, to, static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE)), MADV_DONTNEED);
}

// Calls `visit(item)` (a view that lasts for the call only) for the items
// of the sorted runs [0, middle) and [middle, end) in merged order, then
// leaves `items` empty. Merging as they are read needs no second list the
// size of the file, and the pages of items already passed are given back as
// the merge goes on, so the memory of the items passes to the lines kept
// instead of adding to it.
template <typename Visit>
void MergeAway(std::vector<SortItem>& items, std::size_t middle, const ByBytes& compare, Visit visit) {
  constexpr std::size_t kReleaseEvery = (std::size_t{2} << 20) / sizeof(SortItem);
  const SortItem* const begin = items.data();
  std::size_t a = 0, b = middle, releasedA = 0, releasedB = middle;
  auto releasePassed = [&] {
    if (a - releasedA >= kReleaseEvery) {
      ReleasePages(begin + releasedA, begin + a);
      releasedA = a;
    }
    if (b - releasedB >= kReleaseEvery) {
      ReleasePages(begin + releasedB, begin + b);
      releasedB = b;
    }
  };
  while (a < middle && b < items.size()) {
    visit(compare(items[b], items[a]) ? items[b++] : items[a++]);
    releasePassed();
  }
  while (a < middle) visit(items[a++]);
  while (b < items.size()) visit(items[b++]);
  std::vector<SortItem>().swap(items);
}

// The lines of `text` (records only) sorted in byte order.
std::vector<std::string_view> SortedRecords(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t number = 0;
  const bool small = text.size() <= std::numeric_limits<std::uint32_t>::max();
  std::vector<SortItem> items;
  if (small) {
    std::size_t count = 0;
    ForEachLine(text, [&](std::string_view) { ++count; });
    ReserveLarge(items, count);
  }
  ForEachLine(text, [&](std::string_view line) {
    if (number++ < kHeaderLines || IsSentinelLine(line)) return;
    if (!small) {
      lines.push_back(line);
      return;
    }
    items.push_back({KeyBytes(line, 0), KeyBytes(line, 8), KeyBytes(line, 16),
                     static_cast<std::uint32_t>(line.data() - text.data()), static_cast<std::uint32_t>(line.size())});
  });
  if (!small) {
    std::sort(lines.begin(), lines.end());
    return lines;
  }
  const ByBytes compare{text.data()};
  const std::size_t middle = SortRuns(items, compare);
  // Of each run of equal keys the last one stays; different key numbers
  // already mean different keys. Room for every line is reserved, but only
  // the part the kept lines fill is ever touched.
  auto line = [&](const SortItem& item) { return text.substr(item.offset, item.length); };
  auto sameKey = [&](const SortItem& a, const SortItem& b) {
    return a.first == b.first && a.second == b.second && a.third == b.third &&
           DuplicateKey(line(a)) == DuplicateKey(line(b));
  };
  ReserveLarge(lines, items.size());
  std::optional<SortItem> last;
  MergeAway(items, middle, compare, [&](const SortItem& item) {
    if (last && !sameKey(*last, item)) lines.push_back(line(*last));
    last = item;
  });
  if (last) lines.push_back(line(*last));
  return lines;
}

}  // namespace

std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t count = 0;
  ForEachLine(text, [&](std::string_view) { ++count; });
  ReserveLarge(lines, count);
  ForEachLine(text, [&](std::string_view line) { lines.push_back(line); });
  return lines;
}

bool IsSentinelLine(std::string_view line) {
  return line.substr(0, kSentinel.size()) == kSentinel;
}

LxLines ParseLxText(std::string text) {
  auto shared = std::make_shared<const std::string>(std::move(text));
  std::vector<std::string_view> lines = SortedRecords(*shared);
  if (lines.empty()) return {};
  return LxLines(std::move(shared), std::move(lines));
}

std::string ReadWholeFile(const std::filesystem::path& path) {
  const FileCloser file = OpenToRead(path);
  const int fd = file.fd;
  // The file's size in one read, straight into the string; then whatever
  // more arrives (a file that grew, or one whose size stat cannot tell).
  struct stat status {};
  std::string content;
  if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode)) {
    const auto size = static_cast<std::size_t>(status.st_size);
    content.reserve(size);
    PreferHugePages(content.data(), size);
    content.resize(size);
  }
  content.resize(ReadInto(fd, content.data(), content.size(), path));
  char more[1 << 16];
  while (const std::size_t got = ReadInto(fd, more, sizeof more, path)) content.append(more, got);
  return content;
}

void ReadLines(const std::filesystem::path& path, const std::function<void(std::string_view)>& line) {
  const FileCloser file = OpenToRead(path);
  const int fd = file.fd;
  constexpr std::size_t kBlock = std::size_t{1} << 20;
  std::string buffer;              // the unfinished last line of the blocks so far, then the next block
  bool lfEndsTheLastLine = false;  // the last line ended at a CR: a LF right after it belongs to it
  for (;;) {
    const std::size_t kept = buffer.size();
    buffer.resize(kept + kBlock);
    buffer.resize(kept + ReadInto(fd, buffer.data() + kept, kBlock, path));
    if (buffer.size() == kept) break;
    std::string_view text = buffer;
    if (std::exchange(lfEndsTheLastLine, false) && text.front() == '\n') text.remove_prefix(1);
    const std::size_t lastEnd = text.find_last_of("\r\n");
    if (lastEnd == std::string_view::npos) {
      buffer.erase(0, buffer.size() - text.size());
      continue;
    }
    // Every line up to the last line end is complete; a text ending in a line
    // end gives no empty line after it.
    ForEachLine(text.substr(0, lastEnd + 1), line);
    lfEndsTheLastLine = text[lastEnd] == '\r';
    buffer.erase(0, buffer.size() - text.size() + lastEnd + 1);
  }
  if (!buffer.empty()) line(buffer);
}

void PreferHugePages(const void* data, std::size_t bytes) {
  constexpr std::uintptr_t kHugePage = std::uintptr_t{1} << 21;
  AdviseWholePages(data, static_cast<const char*>(data) + bytes, kHugePage, MADV_HUGEPAGE);
}

LxLines LoadLxFile(const std::filesystem::path& path) {
  return ParseLxText(ReadWholeFile(path));
}

}  // namespace korvexa
