// Reading a GCDB .LX file into the sorted, de-duplicated list of its records.
//
// The file is 8-bit text. A line ends at CR, CR LF or a lone LF. The first two
// lines are headers and are dropped; so is every sentinel line (first seven
// characters exactly " 999999"). The rest is sorted in plain byte order, and
// of every run of neighbours with equal first 41 characters only the last
// stays (the one whose remainder sorts last).
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace korvexa {

inline constexpr int kDuplicateKeyLength = 41;

// Columns 1 to 41 of `line`, by which records count as the same point.
inline std::string_view DuplicateKey(std::string_view line) {
  return line.substr(0, kDuplicateKeyLength);
}

// The lines at the top of every file that are not records.
inline constexpr std::size_t kHeaderLines = 2;

// Calls `line(view)` for every line of `text`, split at CR, CR LF and LF.
// The last line needs no line end; a text that ends with a line end has no
// empty line after it.
template <typename Line>
void ForEachLine(std::string_view text, Line line) {
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t stop = start;
    while (stop < text.size() && text[stop] != '\r' && text[stop] != '\n') ++stop;
    line(text.substr(start, stop - start));
    start = stop + 1;
    if (stop + 1 < text.size() && text[stop] == '\r' && text[stop + 1] == '\n') ++start;
  }
}

// The lines of `text`, as ForEachLine gives them.
std::vector<std::string_view> SplitLines(std::string_view text);

// True for a line whose first seven characters are exactly " 999999".
bool IsSentinelLine(std::string_view line);

// The lines of a loaded file, in list order: views of the file's text, which
// they keep alive (a copy shares it). A range of std::string_view.
class LxLines {
 public:
  using value_type = std::string_view;
  using const_iterator = std::vector<std::string_view>::const_iterator;
  using iterator = const_iterator;
  using size_type = std::size_t;

  LxLines() = default;
  // `lines` must view `text`.
  LxLines(std::shared_ptr<const std::string> text, std::vector<std::string_view> lines)
      : text_(std::move(text)), lines_(std::move(lines)) {}

  const_iterator begin() const { return lines_.begin(); }
  const_iterator end() const { return lines_.end(); }
  std::size_t size() const { return lines_.size(); }
  bool empty() const { return lines_.empty(); }
  std::string_view operator[](std::size_t i) const { return lines_[i]; }
  const std::shared_ptr<const std::string>& text() const { return text_; }

  // Equal lines in the same order.
  friend bool operator==(const LxLines& a, const LxLines& b) { return a.lines_ == b.lines_; }

 private:
  std::shared_ptr<const std::string> text_;
  std::vector<std::string_view> lines_;
};

// The list entries of a whole file's text: headers and sentinels dropped,
// sorted, neighbouring duplicates collapsed.
LxLines ParseLxText(std::string text);

// The largest file read: far beyond a county's file, and a guard against a
// device that never ends.
inline constexpr std::uintmax_t kLargestLxFile = std::uintmax_t{1} << 30;  // 1 GiB

// Reads the whole file as bytes. Throws KorvexaError naming the file and the
// reason, before reading anything, when it cannot be opened, is no regular
// file (a folder, a FIFO, a device) or is larger than kLargestLxFile, and
// when it cannot be read.
std::string ReadWholeFile(const std::filesystem::path& path);

// The rule by which a file is taken for text: its first kTextSampleSize
// bytes hold no NUL byte, and at most one in ten of them is a control
// character other than tab, line feed, form feed, carriage return and the
// end-of-file mark of DOS (Ctrl-Z). Letters beyond ASCII count as text.
inline constexpr std::size_t kTextSampleSize = 64 << 10;
bool LooksLikeText(std::string_view sample);

// True for a line that holds a corner in the LX layout: a digit in its
// PointID (columns 2 to 7), a number in its latitude (9 to 19) and longitude
// (21 to 32) columns (digits, and only blanks, full stops and signs beside
// them), and blanks in columns 8 and 20. " 100100 350712.3456 1064530.0000"
// and " KG0640 391326.6860  983230.5060" are corners; a line of prose, a
// header or " 300500 3507" is not.
bool IsCornerLine(std::string_view line);

// Reads the first kTextSampleSize bytes of the file at `path` and throws
// KorvexaError naming the file unless they look like text ("\"pic.png\" is
// not a GCDB .LX text file"), are not empty ("\"new.lx\" is not a GCDB .LX
// file: it is empty") and hold, after the two header lines, a line that
// IsCornerLine ("\"notes.lx\" is not a GCDB .LX file: no record holds a
// corner in its columns"); or throws as ReadWholeFile.
void RequireLxFile(const std::filesystem::path& path);

// The name of an output of the file `title` (its name, or a path to it): the
// title less its last three characters, followed by `extension`:
// "t12n.lx", ".gpx" -> "t12n.gpx"; "points.txt" -> "points..gpx"; "noext" ->
// "no.gpx". The one rule for every output. Throws KorvexaError for a file
// name of three characters or fewer, which leaves no name.
std::string OutputNameOf(std::string_view title, std::string_view extension);

// ParseLxText of the file at `path`. Throws as ReadWholeFile.
LxLines LoadLxFile(const std::filesystem::path& path);

}  // namespace korvexa
