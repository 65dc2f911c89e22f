// libFuzzer target: any bytes as what a receiver or gpsd sends, line by
// line through the navigator's NMEA reader: the kind of each line (a
// sentence, gpsd's JSON, noise), its type and fields, numbers, times and
// accuracies. A crash, a sanitizer report or a broken promise (a time of
// day past midnight, an accuracy that is not a finite positive number)
// stops the fuzzer with the input.
//
// Seeds: tests/data/nmea, the logs the tests replay, and
// tests/data/fuzz-nmea, a gpsd session. Run as README.md ("Fuzzing") says.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "app/navigate/nmea_line.h"

namespace {

using namespace korvexa;

void Require(bool promise) {
  if (!promise) std::abort();
}

void CheckLine(std::string_view line) {
  const NmeaLineKind kind = ClassifyNmeaLine(line);
  if (kind != NmeaLineKind::Sentence) return;  // the navigator counts the others and reads no further
  Require(line[0] == '$' || line[0] == '!');
  NmeaSentenceType(line);
  for (int index = 0; index < 24; ++index) {
    const std::string_view field = NmeaField(line, index);
    NmeaNumber(field);
    if (const std::optional<int> time = NmeaTimeOfDay(field)) Require(*time >= 0 && *time < 86'400'000);
  }
  if (const std::optional<double> error = GstHorizontalError(line)) Require(std::isfinite(*error) && *error >= 0);
  if (const std::optional<double> hdop = GgaHdop(line)) Require(std::isfinite(*hdop) && *hdop > 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    CheckLine(text.substr(0, end == std::string_view::npos ? text.size() : end + 1));
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return 0;
}
