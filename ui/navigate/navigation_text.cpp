#include "ui/navigate/navigation_text.h"

#include <cmath>

#include "app/navigate/corner_walk.h"

namespace korvexa {

QString ReceiverStatusText(const ReceiverStatus& status) {
  switch (status.state) {
    case ReceiverState::Off:
      return QStringLiteral("GPS off");
    case ReceiverState::Waiting:
      return QStringLiteral("Waiting for the receiver");
    case ReceiverState::Silent:
      return QStringLiteral("Receiver silent for %1 s").arg(status.seconds);
    case ReceiverState::Unreadable:
      return QStringLiteral("No readable NMEA for %1 s (wrong speed?)").arg(status.seconds);
    case ReceiverState::NoFix:
      return QStringLiteral("No fix");
    case ReceiverState::Fix:
      return QStringLiteral("Fix");
    case ReceiverState::Ended:
      return QStringLiteral("End of the log");
    case ReceiverState::Failed:
    case ReceiverState::Reconnecting:
      return QString::fromLocal8Bit(status.error);
  }
  return {};
}

QString DistanceText(double metres) {
  const double feet = metres / kMetresPerUsSurveyFoot;
  const QString feetText = QString::number(feet, 'f', feet < 1000 ? 1 : 0) + QStringLiteral(" ft");
  const QString metricText = metres < 1000 ? QString::number(metres, 'f', 1) + QStringLiteral(" m")
                                           : QString::number(metres / 1000, 'f', 2) + QStringLiteral(" km");
  return feetText + QStringLiteral(" (") + metricText + QLatin1Char(')');
}

QString BearingText(double degrees) {
  double tenths = std::round(degrees * 10);
  if (tenths >= 3600) tenths -= 3600;  // 359.96 reads 0.0, not 360.0
  return QString::number(tenths / 10, 'f', 1) + QChar(0x00b0);
}

QString AccuracyText(std::optional<double> metres) {
  if (!metres) return QStringLiteral("not reported");
  // Centimetres where the receiver has them (RTK): "±0.02 m".
  return QChar(0x00b1) + QString::number(*metres, 'f', *metres < 1 ? 2 : 1) + QStringLiteral(" m");
}

}  // namespace korvexa
