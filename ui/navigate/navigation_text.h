// How the navigator writes what it knows, in the status bar and its panel:
// locale-free numbers (a full stop), feet first (US survey feet, the feet of
// the file's elevations) with metres beside them.
#pragma once

#include <QString>
#include <optional>

#include "app/navigate/receiver_watch.h"

namespace korvexa {

// "No fix", "Receiver silent for 12 s", the error of the port, ...
QString ReceiverStatusText(const ReceiverStatus& status);

// "24.6 ft (7.5 m)", "1234 ft (376.1 m)", "25342 ft (7.72 km)".
QString DistanceText(double metres);

// "47.3°": degrees clockwise from north, one decimal, 0.0 to 359.9.
QString BearingText(double degrees);

// "±3.2 m", "±0.02 m" below a metre, or "not reported".
QString AccuracyText(std::optional<double> metres);

}  // namespace korvexa
