#include "writers/pcx5_writer.h"

#include <cmath>
#include <string_view>

#include "core/number_text.h"
#include "writers/atomic_file.h"
#include "writers/prefetch.h"

namespace korvexa {
namespace {

constexpr std::string_view kHeader =
    "H  SOFTWARE NAME & VERSION\r\n"
    "I  PCX format; created by pellanore  rnx 1.0\r\n"
    "\r\n"
    "H  R DATUM                IDX DA            DF            DX            DY            DZ\r\n"
    "M  G WGS 84               121 +0.000000e+00 +0.000000e+00 +0.000000e+00 +0.000000e+00 +0.000000e+00\r\n"
    "\r\n"
    "H  COORDINATE SYSTEM\r\n"
    "U  LAT LON DEG\r\n"
    "\r\n"
    "H  IDNT   LATITUDE    LONGITUDE    DATE      TIME     ALT   DESCRIPTION                              "
    "PROXIMITY     SYMBOL ;waypts\r\n";

// PCX5 readers expect English month names whatever the user's language.
constexpr std::string_view kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// Builds one line of fixed columns at the end of `out`.
class ColumnLine {
 public:
  explicit ColumnLine(std::string& out) : out_(out), lineStart_(out.size()) {}

  // Moves to `column` (1-based): blanks up to it, or, when the line has
  // already passed it, a new line indented to it.
  ColumnLine& At(std::size_t column) {
    std::size_t current = out_.size() - lineStart_ + 1;
    if (current > column) {
      out_ += "\r\n";
      lineStart_ = out_.size();
      current = 1;
    }
    out_.append(column - current, ' ');
    return *this;
  }
  ColumnLine& Text(std::string_view text) {
    out_ += text;
    return *this;
  }
  ColumnLine& Number(double value) {
    AppendNumberText(out_, value);
    return *this;
  }
  ColumnLine& TwoDigits(int value) {
    AppendTwoDigits(out_, value);
    return *this;
  }
  void End() { out_ += "\r\n"; }

 private:
  std::string& out_;
  std::size_t lineStart_;
};

void AppendPcx5Waypoint(std::string& out, LxRecord record, const LxPoint& point, double elevation,
                        const CivilTime& localTime) {
  const std::string_view id = PointIdOf(record);
  ColumnLine line(out);
  line.Text("W").At(4).Text(id);
  line.At(11).Text("N").Number(point.Latitude);
  line.At(23).Text("W").Number(point.Longitude);
  line.At(36).TwoDigits(localTime.day).Text("-").Text(kMonths[(localTime.month - 1) % 12]).Text("-");
  line.TwoDigits(localTime.year % 100);
  line.At(46).TwoDigits(localTime.hour).Text(":").TwoDigits(localTime.minute).Text(":");
  line.TwoDigits(localTime.second);
  line.At(55).Text(elevation < 0 ? "-" : " ").Number(std::fabs(elevation)).Text(" ");
  line.At(61).Text(id);
  line.At(102).Text("0.00000e+00       18").End();
}

}  // namespace

std::size_t WritePcx5File(const std::filesystem::path& path, std::span<const LxRecord> records,
                          const CoordinateTransform* transform, const Clock& clock) {
  AtomicFile file(path);
  std::string buffer;
  buffer.reserve(AtomicFile::kFlushSize + 256);
  buffer += kHeader;
  for (std::size_t i = 0; i < records.size(); ++i) {
    PrefetchAhead(records, i);
    const LxRecord record = records[i];
    const LxPoint point = DecodeLxPoint(record, transform);
    const double elevation = DecodeElevation(record, kPcx5ElevationColumn);
    AppendPcx5Waypoint(buffer, record, point, elevation, clock.Now().local);
    file.FlushWhenFull(buffer);
  }
  file.Write(buffer);
  file.Commit();
  return records.size();
}

}  // namespace korvexa
