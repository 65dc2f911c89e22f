#include "core/clock.h"

namespace korvexa {
namespace {

CivilTime ToCivil(const std::tm& tm) {
  return CivilTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

}  // namespace

ClockReading SystemClock::Now() const {
  const std::time_t now = std::time(nullptr);
  if (now != second_) {
    std::tm local{};
    std::tm utc{};
    localtime_r(&now, &local);
    gmtime_r(&now, &utc);
    reading_ = ClockReading{ToCivil(local), ToCivil(utc)};
    second_ = now;
  }
  return reading_;
}

}  // namespace korvexa
