#include "ui/map/corner_text.h"

#include <QChar>
#include <QStringList>
#include <cmath>

namespace korvexa {
namespace {

QString Degrees(double value, char positive, char negative) {
  return QString::number(std::fabs(value), 'f', 7) + QChar(0x00B0) + QLatin1Char(' ') +
         QLatin1Char(value < 0 ? negative : positive);
}

}  // namespace

QString Latin1Text(const std::string& text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QString LatitudeText(double latitude) {
  return Degrees(latitude, 'N', 'S');
}

QString LongitudeText(double eastLongitude) {
  return Degrees(eastLongitude, 'E', 'W');
}

QString ElevationText(const CornerFacts& facts) {
  if (facts.elevationFeet.empty()) return QStringLiteral("none");
  QString text = Latin1Text(facts.elevationFeet) + QStringLiteral(" ft");
  if (facts.elevationMetres) text += QStringLiteral(" (%1 m)").arg(*facts.elevationMetres, 0, 'f', 0);
  return text;
}

QString CornerTooltip(const CornerFacts& facts) {
  const QString reliability = facts.reliability.empty() ? QStringLiteral("none") : Latin1Text(facts.reliability);
  return QStringList{
      QStringLiteral("PointID %1").arg(Latin1Text(facts.id)),
      QStringLiteral("Latitude %1 (%2)").arg(LatitudeText(facts.latitude), QLatin1String(facts.datum)),
      QStringLiteral("Longitude %1 (%2)").arg(LongitudeText(facts.longitude), QLatin1String(facts.datum)),
      QStringLiteral("Elevation %1").arg(ElevationText(facts)), QStringLiteral("Reliability %1").arg(reliability)}
      .join(QLatin1Char('\n'));
}

QString Counted(std::size_t count, const char* one, const char* many) {
  return QStringLiteral("%1 %2").arg(count).arg(QLatin1String(count == 1 ? one : many));
}

}  // namespace korvexa
