#include "writers/csv_writer.h"

#include <algorithm>
#include <charconv>

#include "core/korvexa_error.h"
#include "core/lx_record.h"
#include "core/printable_text.h"
#include "writers/atomic_file.h"

namespace korvexa {
namespace {

// Three decimals, whatever the locale, never "-0.000".
void AppendThreeDecimals(std::string& out, double value) {
  char buffer[64];
  const std::to_chars_result result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 3);
  if (result.ec != std::errc()) throw KorvexaError("a grid coordinate out of range");
  std::string_view text(buffer, static_cast<std::size_t>(result.ptr - buffer));
  if (text == "-0.000") text.remove_prefix(1);
  out += text;
}

// `text` in plain ASCII without the delimiter or quotes, each run of blanks
// one blank, after what `out` holds.
void AppendDescriptionText(std::string& out, std::string_view text) {
  for (const char byte : text) {
    const auto c = static_cast<unsigned char>(byte);
    const char plain = c < 0x20 || c == 0x7F || byte == ',' || byte == '"' ? ' ' : c >= 0x80 ? '?' : byte;
    if (plain == ' ' && (out.empty() || out.back() == ' ')) continue;
    out += plain;
  }
}

// True for a token of five or more digits, with a sign or decimals: the
// first of the UTM coordinates that some files give after the line codes.
bool IsCoordinate(std::string_view token) {
  if (token.starts_with('-')) token.remove_prefix(1);
  const std::size_t digits = token.find_first_not_of("0123456789");
  const std::size_t whole = digits == std::string_view::npos ? token.size() : digits;
  if (whole < 5) return false;
  if (digits == std::string_view::npos) return true;
  return token[digits] == '.' && token.find_first_not_of("0123456789", digits + 1) == std::string_view::npos;
}

// The line codes of `tail` (the record from column 51), up to the UTM columns.
std::string_view LineCodes(std::string_view tail) {
  std::size_t at = 0;
  while (at < tail.size()) {
    const std::size_t start = tail.find_first_not_of(" \t", at);
    if (start == std::string_view::npos) break;
    const std::size_t end = std::min(tail.find_first_of(" \t", start), tail.size());
    if (IsCoordinate(tail.substr(start, end - start))) return tail.substr(0, start);
    at = end;
  }
  return tail;
}

void AppendField(std::string& out, std::string_view field) {
  if (field.find_first_of(",\"") == std::string_view::npos) {
    out += field;
    return;
  }
  out += '"';
  for (const char c : field) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

void AppendRow(std::string& out, const CsvPoint& point, CsvColumns columns) {
  AppendField(out, PrintableText(TrimBlanks(point.corner->name), Printable::Ascii));
  out += ',';
  AppendThreeDecimals(out, columns == CsvColumns::Pnezd ? point.northing : point.easting);
  out += ',';
  AppendThreeDecimals(out, columns == CsvColumns::Pnezd ? point.easting : point.northing);
  out += ',';
  AppendThreeDecimals(out, point.elevation);
  out += ',';
  out += CsvDescription(*point.corner);
  out += "\r\n";
}

}  // namespace

std::string CsvDescription(const Waypoint& corner) {
  std::string text;
  AppendDescriptionText(text, corner.reliability);
  if (!text.empty() && text.back() != ' ') text += ' ';
  AppendDescriptionText(text, LineCodes(corner.lineCodes));
  if (text.size() > kCsvDescriptionLimit) {
    // Whole codes only: a code cut short would read as another one.
    const std::size_t blank = text.rfind(' ', kCsvDescriptionLimit);
    text.resize(blank != std::string::npos && blank > 0 ? blank : kCsvDescriptionLimit);
  }
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

std::string UnitSymbol(std::string_view unitName) {
  if (unitName == "US survey foot") return "ftUS";
  if (unitName == "foot") return "ft";
  if (unitName == "metre") return "m";
  return std::string(unitName);
}

std::filesystem::path PrjPathOf(const std::filesystem::path& path) {
  std::filesystem::path prj = path;
  return prj.replace_extension(".prj");
}

void WritePointCsv(const std::filesystem::path& path, std::span<const CsvPoint> points, const CsvLayout& layout,
                   std::string_view unitName, std::string_view wkt) {
  AtomicFile csv(path);
  AtomicFile prj(PrjPathOf(csv.Target()));  // beside the CSV itself when `path` is a link
  prj.Write(wkt);
  std::string text;
  if (layout.header) {
    std::string unit;
    AppendDescriptionText(unit, UnitSymbol(unitName));
    const std::string northing = "Northing (" + unit + ")", easting = "Easting (" + unit + ")";
    text += "Point," + (layout.columns == CsvColumns::Pnezd ? northing + ',' + easting : easting + ',' + northing) +
            ",Elevation (" + unit + "),Description\r\n";
  }
  for (const CsvPoint& point : points) {
    AppendRow(text, point, layout.columns);
    csv.FlushWhenFull(text);
  }
  csv.Write(text);
  AtomicFile::CommitTogether(csv, prj);
}

}  // namespace korvexa
