// The corners of townships of a PLSS data set (transform/plss_layer.h) as a
// township like any other: finished waypoints on NAD83, handed to the one
// export step (app/export/export_step.h) and written by the same writers as
// an LX file's, at the layer's position, never rounded to the LX columns.
//
// Each corner keeps the name the layer gives (POINTLAB); with several
// townships in one output each name gets its township before it
// ("T2SR1W-100540"), so the corners of neighbouring townships stay apart.
#pragma once

#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "app/convert/create.h"
#include "app/convert/waypoints.h"
#include "app/export/csv_export.h"
#include "transform/plss_layer.h"

namespace korvexa {

class CoordinateTransform;
struct Services;

// The chosen townships of an open data set and their corners, read once.
struct PlssTownships {
  std::vector<std::string> plssIds;  // as chosen, in order
  std::vector<PlssCorner> corners;   // township by township
  Datum datum = Datum::Nad83;        // the layer's geographic datum
  std::string datumNotice;           // PlssLayer::DatumNotice
  // The township's sections from PLSSFirstDivision, when the data set has them.
  std::optional<std::vector<std::vector<GeoPosition>>> sectionLines;
};

// Reads the townships `plssIds` of `layer`, only their features. Throws
// KorvexaError naming the PLSSIDs of which the layer holds no corner
// ("UT260090S0010W0 is not a township of the layer PLSSPoint").
PlssTownships ReadPlssTownships(PlssLayer& layer, std::span<const std::string> plssIds);

// The waypoints of the corners of `townships` that `ticked` marks (every
// one when it is empty), in order: on NAD83, NAD27 ones moved through
// `nad83` (required then, as for an LX file). A corner without a name, a
// point, or an elevation some place on Earth has is left out with its
// reason. Throws KorvexaError for a corner `nad83` cannot move.
WaypointList PlssWaypoints(const PlssTownships& townships, const std::vector<bool>& ticked,
                           const CoordinateTransform* nad83);

// The window's list of the corners of `townships`, unticked, one entry each
// in corner order, only for showing: "T2SR1W-100540  40.651234568 N  111.901234568 W  4321.5 ft  Good ±3.2 ft"
// (the township before the name when there are several). Every output takes
// its positions from the corners, never from this text.
PointList PlssListEntries(const PlssTownships& townships);

// PlssWaypoints on NAD83, a NAD27 layer's corners moved through the NAD27 to
// NAD83 pair of `services` (its grids readied first).
WaypointList PlssNad83Waypoints(const PlssTownships& townships, const std::vector<bool>& ticked, Services& services);

// The name of an output of `plssIds`: "UT260020S0010W0" and the extension,
// several joined by "_".
std::string PlssOutputName(std::span<const std::string> plssIds, std::string_view extension);

enum class PlssFormat { Gpx, Pcx5, Csv, Kml };

struct PlssExportOptions {
  PlssFormat format = PlssFormat::Gpx;
  std::filesystem::path outputPath;  // the file to write
  std::string namePrefix;            // before every name, after the township's own
  CsvExportOptions csv;              // the grid and layout of a CSV
  // With GPX and PCX5, the DXF drawing beside the waypoint file
  // (app/convert/plss_drawing.h), under its name with ".dxf"; a drawing that
  // fails is a notice, the waypoint file is written all the same.
  bool drawing = false;
};

// Writes the ticked corners of `townships` (every one when `ticked` is
// empty) as `options` asks through RunExport. Throws NothingToWrite,
// KorvexaError naming the step and the reason; nothing is written then.
ExportResult ExportPlssTownships(const PlssTownships& townships, const std::vector<bool>& ticked,
                                 const PlssExportOptions& options, Services& services, GridSystems* grids);

}  // namespace korvexa
