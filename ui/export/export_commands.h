// The commands of File > Export and File > "Save waypoints as...": each asks
// where to save (beside the input by default, which is also the way out of
// a read-only folder), asks what it needs, and hands the ticked corners to
// the app layer's export. Form1 shows the result as it shows Create's.
//
// Each returns nothing when the user cancelled, and throws (KorvexaError)
// when the export failed; nothing is written then.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "app/convert/create.h"
#include "app/export/export_result.h"
#include "app/export/export_step.h"
#include "app/services.h"
#include "core/point_list.h"
#include "transform/grid_crs.h"
#include "ui/desktop/window_platform.h"

class QWidget;

namespace korvexa {

// What every export command works on: the window's state.
struct ExportScene {
  QWidget* window = nullptr;
  WindowPlatform& platform;
  Services& services;
  const std::string& fName;  // the loaded file's title; the working folder is its folder
  const PointList& points;
  // The finished NAD83 corners of a PLSS data set, which Send to GPS takes
  // instead of `points`.
  const WaypointList* corners = nullptr;
};

// The point file: the dialog of the grid and columns (the last choice
// remembered in the settings for the next export), then the file. With
// `transform`, NAD83 grids, else NAD27 ones.
std::optional<ExportResult> ExportCsvCommand(const ExportScene& scene, bool transform, GridSystems& grids);

// The KML file of the ticked corners and the lines of `text`, the loaded
// file's text.
std::optional<ExportResult> ExportKmlCommand(const ExportScene& scene, std::string_view text);

// The GPX file onto the Garmin unit the platform's volumes hold, searched
// off the window's thread; the user chooses among several, and is asked
// before a file of that name on the unit is replaced (nothing when not).
// The volumes skipped are named in the result's notices. Throws KorvexaError
// saying why each volume was refused, or how to connect a unit, when none
// can be sent to.
std::optional<ExportResult> SendToGpsCommand(const ExportScene& scene);

// The name prefix remembered for the waypoints of GPX, KML and CSV files
// (PCX5 names hold six characters and take none).
NamingRule RememberedNaming();

// Asks for the name prefix and remembers it; the status text saying what
// names will look like, or nothing when the user cancelled. Throws
// KorvexaError for a prefix a name cannot hold; nothing is remembered then.
std::optional<std::string> ChooseNamePrefixCommand(QWidget* window, WindowPlatform& platform);

// Create's waypoint file of `options` under a name the user chooses, without
// the drawing; a GPX file's names take the remembered prefix.
std::optional<CreateResult> SaveWaypointsAsCommand(const ExportScene& scene, CreateOptions options);

}  // namespace korvexa
