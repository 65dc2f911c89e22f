#include "core/clock.h"

namespace korvexa {
namespace {

CivilTime ToCivil(const std::tm& tm) {
  return CivilTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

constexpr long long kSecondsPerDay = 86400;

// H. Hinnant's days_from_civil and civil_from_days.
long long DaysOf(int year, int month, int day) {
  year -= month <= 2;
  const long long era = (year >= 0 ? year : year - 399) / 400;
  const long long yearOfEra = year - era * 400;
  const long long dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const long long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

CivilTime DateOf(long long days) {
  days += 719468;
  const long long era = (days >= 0 ? days : days - 146096) / 146097;
  const long long dayOfEra = days - era * 146097;
  const long long yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const long long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const long long shiftedMonth = (5 * dayOfYear + 2) / 153;
  CivilTime date;
  date.day = static_cast<int>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
  date.month = static_cast<int>(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
  date.year = static_cast<int>(yearOfEra + era * 400 + (date.month <= 2));
  return date;
}

}  // namespace

long long SecondsSinceEpoch(const CivilTime& time) {
  return DaysOf(time.year, time.month, time.day) * kSecondsPerDay + (time.hour * 60LL + time.minute) * 60 + time.second;
}

CivilTime CivilTimeAt(long long secondsSinceEpoch) {
  long long days = secondsSinceEpoch / kSecondsPerDay;
  long long rest = secondsSinceEpoch % kSecondsPerDay;
  if (rest < 0) {
    rest += kSecondsPerDay;
    days -= 1;
  }
  CivilTime time = DateOf(days);
  time.hour = static_cast<int>(rest / 3600);
  time.minute = static_cast<int>(rest / 60 % 60);
  time.second = static_cast<int>(rest % 60);
  return time;
}

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
