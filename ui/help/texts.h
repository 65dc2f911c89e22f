// The fixed texts of the three windows. Texts the user sees verbatim keep
// their runs of blanks; the help and About texts use "\n" between lines.
#pragma once

#include <QLatin1String>
#include <QString>

namespace korvexa::texts {

// The main window.
inline constexpr QLatin1String kProgramName{"Korvexa"};
inline constexpr QLatin1String kStartText{"Select a GCDB .LX file to process"};
inline constexpr QLatin1String kProgressText{"Sorting file, removing duplicates. Please wait."};
inline constexpr QLatin1String kInstructionText{
    "Select the points in the LX file to convert to Garmin Waypoints.   Remember, there is a limit (varies by "
    "model) of the total number of waypoints that the Garmin Handheld can hold  (500 or more).  Selecting beyond "
    "this maximum will still create the garmin data file, but it will be truncated when loaded into the GPS "
    "receiver."};
// 75 characters over the columns of the list entries.
inline constexpr QLatin1String kColumnHeading{
    " PointID   Latitude   Longitude     Elev.   Reliability    LineCodes    UTM"};

// The file-open dialog.
inline constexpr QLatin1String kOpenDialogTitle{"Select a .LX file load"};
inline constexpr QLatin1String kAllFilesFilter{"All Files (*.*)"};
inline constexpr QLatin1String kLxFilesFilter{"LX Files (*.lx)"};
inline constexpr QLatin1String kPlssFilesFilter{"PLSS data sets (*.zip *.gdbtable *.shp *.gpkg)"};

// The help window.
inline constexpr QLatin1String kHelpCaption{"Pellanore "};
QString HelpText();

// The About box.
inline constexpr QLatin1String kLandSurveyWebsite{"https://navigator.blm.gov"};
QString AboutDescription();
QString DisclaimerText();
inline constexpr QLatin1String kSysInfoUnavailable{"System Information Is Unavailable At This Time"};

}  // namespace korvexa::texts
