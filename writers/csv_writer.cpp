#include "writers/csv_writer.h"

#include <charconv>

#include "core/korvexa_error.h"
#include "core/lx_record.h"
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

void AppendAscii(std::string& out, std::string_view text) {
  for (const char byte : text) {
    const auto c = static_cast<unsigned char>(byte);
    out += c < 0x20 || c == 0x7F ? ' ' : c >= 0x80 ? '?' : byte;
  }
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
  AppendField(out, TrimBlanks(point.corner->name));
  out += ',';
  AppendThreeDecimals(out, columns == CsvColumns::Pnezd ? point.northing : point.easting);
  out += ',';
  AppendThreeDecimals(out, columns == CsvColumns::Pnezd ? point.easting : point.northing);
  out += ',';
  AppendThreeDecimals(out, point.elevation);
  out += ',';
  AppendField(out, CsvDescription(*point.corner));
  out += "\r\n";
}

}  // namespace

std::string CsvDescription(const Waypoint& corner) {
  std::string raw;
  AppendAscii(raw, TrimBlanks(corner.reliability));
  std::string codes;
  AppendAscii(codes, corner.lineCodes);
  const std::string_view trimmedCodes = TrimBlanks(codes);
  if (!raw.empty() && !trimmedCodes.empty()) raw += ' ';
  raw += trimmedCodes;
  return raw;
}

std::filesystem::path PrjPathOf(const std::filesystem::path& path) {
  std::filesystem::path prj = path;
  return prj.replace_extension(".prj");
}

void WritePointCsv(const std::filesystem::path& path, std::span<const CsvPoint> points, const CsvLayout& layout,
                   std::string_view wkt) {
  AtomicFile prj(PrjPathOf(path));
  prj.Write(wkt);
  AtomicFile csv(path);
  std::string text;
  if (layout.header) {
    text += layout.columns == CsvColumns::Pnezd ? "Point,Northing,Easting,Elevation,Description\r\n"
                                                : "Point,Easting,Northing,Elevation,Description\r\n";
  }
  for (const CsvPoint& point : points) {
    AppendRow(text, point, layout.columns);
    csv.FlushWhenFull(text);
  }
  csv.Write(text);
  prj.Commit();
  csv.Commit();
}

}  // namespace korvexa
