#include "ui/navigate/nmea_source.h"

#include <QDateTime>
#include <QGeoCoordinate>
#include <optional>
#include <string_view>

#include "app/navigate/nmea_line.h"

namespace korvexa {
namespace {

QTime TimeOfDay(std::string_view sentence) {
  const std::optional<int> milliseconds = NmeaTimeOfDay(NmeaField(sentence, 1));
  return milliseconds ? QTime::fromMSecsSinceStartOfDay(*milliseconds) : QTime();
}

const Clock& ComputerClock() {
  static const SystemClock clock;
  return clock;
}

}  // namespace

NmeaSource::NmeaSource(UpdateMode mode, QObject* parent)
    : QNmeaPositionInfoSource(mode, parent), clock_(&ComputerClock()) {}

bool NmeaSource::parsePosInfoFromNmeaData(const char* data, int size, QGeoPositionInfo* posInfo, bool* hasFix) {
  const std::string_view line(data, size > 0 ? static_cast<std::size_t>(size) : 0);
  switch (ClassifyNmeaLine(line)) {
    case NmeaLineKind::Other:
      return false;
    case NmeaLineKind::Garbage:
      Q_EMIT garbageRead();
      return false;
    case NmeaLineKind::Sentence:
      Q_EMIT sentenceRead();
      break;
  }
  const std::string_view type = NmeaSentenceType(line);
  if (type == "GST") return ParseGst(line, posInfo, hasFix);
  if (type == "GGA") return ParseGga(line, posInfo, hasFix);
  if (!NmeaPositionInRange(line)) return false;
  if (const std::optional<CivilTime> date = NmeaDateTime(line)) lastDate_ = date;
  if (!QNmeaPositionInfoSource::parsePosInfoFromNmeaData(data, size, posInfo, hasFix)) return false;
  posInfo->removeAttribute(QGeoPositionInfo::HorizontalAccuracy);
  posInfo->removeAttribute(QGeoPositionInfo::VerticalAccuracy);
  return true;
}

bool NmeaSource::ParseGga(std::string_view line, QGeoPositionInfo* posInfo, bool* hasFix) {
  const std::optional<GgaFix> fix = ReadGga(line);
  if (!fix) return false;
  Q_EMIT qualityRead(fix->quality);
  const CivilTime day = NearestTimeOfDay(fix->timeOfDay, lastDate_ ? *lastDate_ : clock_->Now().utc);
  const QTime time = QTime::fromMSecsSinceStartOfDay(fix->timeOfDay);
  posInfo->setTimestamp(QDateTime(QDate(day.year, day.month, day.day), time, Qt::UTC));
  if (fix->latitude && fix->longitude) {
    QGeoCoordinate at(*fix->latitude, *fix->longitude);
    if (fix->altitude) at.setAltitude(*fix->altitude);
    posInfo->setCoordinate(at);
  }
  if (time != lastGstTime_) {
    if (const std::optional<double> hdop = GgaHdop(line)) {
      posInfo->setAttribute(QGeoPositionInfo::HorizontalAccuracy, *hdop * kUserEquivalentRangeError);
    }
  }
  if (hasFix != nullptr) *hasFix = fix->quality > 0 && fix->latitude.has_value();
  return true;
}

// A GST sentence carries only a time and the receiver's error estimate: Qt
// merges it into the position of the same time.
bool NmeaSource::ParseGst(std::string_view line, QGeoPositionInfo* posInfo, bool* hasFix) {
  const QTime time = TimeOfDay(line);
  const std::optional<double> error = GstHorizontalError(line);
  if (!time.isValid() || !error) return false;
  lastGstTime_ = time;
  posInfo->setTimestamp(QDateTime(QDate(), time, Qt::UTC));
  posInfo->setAttribute(QGeoPositionInfo::HorizontalAccuracy, *error);
  if (hasFix != nullptr) *hasFix = false;
  return true;
}

}  // namespace korvexa
