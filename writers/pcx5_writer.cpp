#include "writers/pcx5_writer.h"

#include <cmath>
#include <string_view>

#include "core/longitude.h"
#include "core/number_text.h"
#include "writers/atomic_file.h"
#include "writers/waypoint.h"

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
  void End() { out_ += "\r\n"; }

 private:
  std::string& out_;
  std::size_t lineStart_;
};

// "dd-Mmm-yy" and "hh:mm:ss" of the clock's readings, written once per
// second of the clock.
class LocalTimeText {
 public:
  void Update(const CivilTime& t) {
    if (!date_.empty() && t == time_) return;
    time_ = t;
    date_.clear();
    AppendTwoDigits(date_, t.day);
    date_ += '-';
    date_ += kMonths[(t.month - 1) % 12];
    date_ += '-';
    AppendTwoDigits(date_, t.year % 100);
    clock_.clear();
    AppendTwoDigits(clock_, t.hour);
    clock_ += ':';
    AppendTwoDigits(clock_, t.minute);
    clock_ += ':';
    AppendTwoDigits(clock_, t.second);
  }
  std::string_view Date() const { return date_; }
  std::string_view Clock() const { return clock_; }

 private:
  CivilTime time_;
  std::string date_;
  std::string clock_;
};

void AppendPcx5Waypoint(std::string& out, const Waypoint& waypoint, const LocalTimeText& localTime) {
  const std::string_view id = waypoint.name;
  const GeoPosition& point = waypoint.position;
  const double elevation = waypoint.elevation;
  ColumnLine line(out);
  line.Text("W").At(4).Text(id);
  line.At(11).Text(point.latitude < 0 ? "S" : "N").Number(std::fabs(point.latitude));
  const HemisphereLongitude longitude = ToHemisphere(point.longitude);
  line.At(23).Text(std::string_view(&longitude.hemisphere, 1)).Number(longitude.degrees);
  line.At(36).Text(localTime.Date());
  line.At(46).Text(localTime.Clock());
  line.At(55).Text(elevation < 0 ? "-" : " ").Number(std::fabs(elevation)).Text(" ");
  line.At(61).Text(id);
  line.At(102).Text("0.00000e+00       18").End();
}

}  // namespace

void WritePcx5File(const std::filesystem::path& path, std::span<const Waypoint> waypoints, const Clock& clock) {
  AtomicFile file(path);
  std::string text(kHeader);
  LocalTimeText timeText;
  for (const Waypoint& waypoint : waypoints) {
    timeText.Update(clock.Now().local);
    AppendPcx5Waypoint(text, waypoint, timeText);
    file.FlushWhenFull(text);
  }
  file.Write(text);
  file.Commit();
}

}  // namespace korvexa
