#include "ui/navigate/nmea_source.h"

#include <QDateTime>
#include <optional>
#include <string_view>

#include "app/navigate/nmea_line.h"

namespace korvexa {
namespace {

QTime TimeOfDay(std::string_view sentence) {
  const std::optional<int> milliseconds = NmeaTimeOfDay(NmeaField(sentence, 1));
  return milliseconds ? QTime::fromMSecsSinceStartOfDay(*milliseconds) : QTime();
}

}  // namespace

NmeaSource::NmeaSource(UpdateMode mode, QObject* parent) : QNmeaPositionInfoSource(mode, parent) {}

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
  if (NmeaSentenceType(line) == "GST") return ParseGst(data, size, posInfo, hasFix);
  if (!QNmeaPositionInfoSource::parsePosInfoFromNmeaData(data, size, posInfo, hasFix)) return false;
  posInfo->removeAttribute(QGeoPositionInfo::HorizontalAccuracy);
  posInfo->removeAttribute(QGeoPositionInfo::VerticalAccuracy);
  if (NmeaSentenceType(line) == "GGA" && TimeOfDay(line) != lastGstTime_) {
    if (const std::optional<double> hdop = GgaHdop(line)) {
      posInfo->setAttribute(QGeoPositionInfo::HorizontalAccuracy, *hdop * kUserEquivalentRangeError);
    }
  }
  return true;
}

// A GST sentence carries only a time and the receiver's error estimate: Qt
// merges it into the position of the same time.
bool NmeaSource::ParseGst(const char* data, int size, QGeoPositionInfo* posInfo, bool* hasFix) {
  const std::string_view line(data, static_cast<std::size_t>(size));
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
