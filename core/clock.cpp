#include "clock.h"

#include <ctime>

namespace korvexa {
namespace {

CivilTime ToCivil(const std::tm& tm) {
  return CivilTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

}  // namespace

ClockReading SystemClock::Now() const {
  // The writers read the clock once per line; the conversion to local time is
  // done once per second of the clock.
  thread_local std::time_t cachedSecond = -1;
  thread_local ClockReading cached;
  const std::time_t now = std::time(nullptr);
  if (now != cachedSecond) {
    std::tm local{};
    std::tm utc{};
    localtime_r(&now, &local);
    gmtime_r(&now, &utc);
    cached = ClockReading{ToCivil(local), ToCivil(utc)};
    cachedSecond = now;
  }
  return cached;
}

}  // namespace korvexa
