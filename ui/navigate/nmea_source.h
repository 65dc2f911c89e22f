// Qt's NMEA position source as the navigator uses it: Qt reads position,
// time, course and speed; this subclass looks at every line on the way, to
// tell a receiver that talks from one that talks noise (app/navigate/nmea_line.h), and
// puts its own horizontal accuracy on the positions:
//
//   - from a GST sentence, where the receiver sends one: the root of the sum
//     of the squares of its latitude and longitude standard deviations;
//   - else from GGA: HDOP times kUserEquivalentRangeError.
//
// (Qt's own estimate from GGA and GSA, twice HDOP times a range error, is
// dropped.) Without either, a position has no accuracy.
//
// GGA it reads itself, of any talker, so that a receiver set to send GGA
// alone (survey and RTK receivers often are) gives fixes: Qt's needs RMC or
// ZDA for the date. The date is the last RMC's or ZDA's, else the clock's
// (the day that puts the fix nearest to it), and each GGA's fix quality is
// signalled (RTK fixed, RTK float).
#pragma once

#include <QNmeaPositionInfoSource>
#include <QTime>
#include <optional>
#include <string_view>

#include "core/clock.h"

namespace korvexa {

class NmeaSource : public QNmeaPositionInfoSource {
  Q_OBJECT

 public:
  // The range error of a consumer receiver's single-frequency fix, metres,
  // by which HDOP is multiplied.
  static constexpr double kUserEquivalentRangeError = 5.1;

  explicit NmeaSource(UpdateMode mode, QObject* parent = nullptr);

  // The clock that dates fixes before an RMC or ZDA has; the computer's
  // unless set. Must outlive the source.
  void SetClock(const Clock& clock) { clock_ = &clock; }

 Q_SIGNALS:
  void sentenceRead();            // a sentence with a good checksum
  void garbageRead();             // a line that is no sentence, or has a bad checksum
  void qualityRead(int quality);  // a GGA's fix quality (GgaFix::quality)

 protected:
  bool parsePosInfoFromNmeaData(const char* data, int size, QGeoPositionInfo* posInfo, bool* hasFix) override;

 private:
  bool ParseGst(std::string_view line, QGeoPositionInfo* posInfo, bool* hasFix);
  bool ParseGga(std::string_view line, QGeoPositionInfo* posInfo, bool* hasFix);

  const Clock* clock_;
  QTime lastGstTime_;                  // the GST of this time of day wins over its GGA
  std::optional<CivilTime> lastDate_;  // of the last RMC or ZDA, UTC
};

}  // namespace korvexa
