// The clock the writers read, injectable so that tests can freeze it.
#pragma once

#include <ctime>

namespace korvexa {

// A calendar date and time of day, as written in the output files.
struct CivilTime {
  int year = 1970;  // four digits
  int month = 1;    // 1 to 12
  int day = 1;      // 1 to 31
  int hour = 0;     // 0 to 23
  int minute = 0;
  int second = 0;

  friend bool operator==(const CivilTime&, const CivilTime&) = default;
};

// Seconds since 1970-01-01 00:00 of `time` read as UTC (proleptic
// Gregorian calendar), and back.
long long SecondsSinceEpoch(const CivilTime& time);
CivilTime CivilTimeAt(long long secondsSinceEpoch);

// One reading of the clock, in local time and in UTC.
struct ClockReading {
  CivilTime local;
  CivilTime utc;
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual ClockReading Now() const = 0;
};

// The computer's clock and time zone.
class SystemClock : public Clock {
 public:
  ClockReading Now() const override;

 private:
  // The writers read the clock once per line: the conversion to local time
  // and UTC is made once per second of the clock.
  mutable std::time_t second_ = -1;
  mutable ClockReading reading_;
};

// Always the same reading.
class FrozenClock : public Clock {
 public:
  explicit FrozenClock(ClockReading reading) : reading_(reading) {}
  ClockReading Now() const override { return reading_; }

 private:
  ClockReading reading_;
};

}  // namespace korvexa
