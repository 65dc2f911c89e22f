#include "app/export/send_to_gps.h"

#include <system_error>

#include "app/convert/create.h"
#include "app/export/export_step.h"
#include "app/services.h"
#include "core/korvexa_error.h"
#include "writers/atomic_file.h"
#include "writers/gpx_writer.h"

namespace korvexa {
namespace {

// The smallest current Garmin handheld holds 1,000 waypoints.
constexpr std::size_t kGarminWaypointLimit = 1000;

// "1,234". Built by appending: GCC 12 warns wrongly about insert() in Release.
std::string GroupedCount(std::size_t count) {
  const std::string digits = std::to_string(count);
  std::string grouped;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) grouped.push_back(',');
    grouped.push_back(digits[i]);
  }
  return grouped;
}

// Puts the finished waypoints into the unit's GPX folder as `fName`'s GPX file.
WriteStep SendStep(const GarminUnit& unit, const std::string& fName, const Clock& clock) {
  return [&unit, &fName, &clock](const FinishedWaypoints& finished, ExportResult& result) {
    result.outputPath = GpxFileOnUnit(unit, fName);
    std::error_code error;
    std::filesystem::create_directories(unit.gpxFolder, error);
    if (error) {
      throw KorvexaError("cannot make the GPX folder \"" + unit.gpxFolder.string() + "\" of the " + unit.model + ": " +
                         error.message());
    }
    const bool replacing = std::filesystem::exists(result.outputPath, error);
    WriteGpxFile(result.outputPath, finished.waypoints, clock);
    SyncFolder(unit.gpxFolder);  // the unit may be pulled out at once
    if (finished.waypoints.size() > kGarminWaypointLimit) {
      result.notices.push_back(
          {false, GroupedCount(finished.waypoints.size()) +
                      " waypoints are more than the smallest Garmin handhelds hold (" +
                      GroupedCount(kGarminWaypointLimit) + "): the " + unit.model +
                      " may leave some out (tick fewer corners, or send the townships one by one)"});
    }
    if (replacing) {
      result.notices.push_back(
          {false, "the earlier " + result.outputPath.filename().string() + " on the " + unit.model + " was replaced"});
    }
    result.summary = unit.model + ", NAD83";
    return "sent to the " + UnitName(unit);
  };
}

}  // namespace

ExportResult SendToGps(const GarminUnit& unit, const std::string& fName, const PointList& points,
                       const NamingRule& naming, Services& services) {
  return RunExport(points, Datum::Nad83, kGpxElevationColumn, naming, services, SendStep(unit, fName, *services.clock));
}

ExportResult SendToGps(const GarminUnit& unit, const std::string& fName, WaypointList corners, const NamingRule& naming,
                       const Clock& clock) {
  return RunExport(std::move(corners), naming, SendStep(unit, fName, clock));
}

const GarminUnit& OnlyUnit(std::span<const GarminUnit> units, const std::string& howToChoose) {
  if (units.empty()) throw KorvexaError(kNoGarminUnitText);
  if (units.size() == 1) return units.front();
  std::string names;
  for (const GarminUnit& unit : units) names += (names.empty() ? "" : "; ") + UnitName(unit);
  throw KorvexaError(std::to_string(units.size()) + " Garmin units are mounted (" + names + "): " + howToChoose);
}

std::string UnitName(const GarminUnit& unit) {
  return unit.model + " at " + unit.volume.string();
}

}  // namespace korvexa
