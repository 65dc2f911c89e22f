// The clock the writers read, injectable so that tests can freeze it.
#pragma once

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

// One reading of the clock, in local time and in UTC.
struct ClockReading {
  CivilTime local;
  CivilTime utc;
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual ClockReading Now() const = 0;
  // True when Now may be called from several threads at once.
  virtual bool ThreadSafe() const { return false; }
};

// The computer's clock and time zone.
class SystemClock : public Clock {
 public:
  ClockReading Now() const override;
  bool ThreadSafe() const override { return true; }  // each thread keeps its own second
};

// Always the same reading.
class FrozenClock : public Clock {
 public:
  explicit FrozenClock(ClockReading reading) : reading_(reading) {}
  ClockReading Now() const override { return reading_; }
  bool ThreadSafe() const override { return true; }

 private:
  ClockReading reading_;
};

}  // namespace korvexa
