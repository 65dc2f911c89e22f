// The corner layer of BLM's standardized PLSS data set (CadNSDI), read with
// GDAL: a file geodatabase (a .gdb folder, or a zip holding one at its first
// level, read in place through /vsizip/), a shapefile or a zip of one, or a
// GeoPackage. Opened read-only: the file is never written to.
//
// The layer is PLSSPoint or BLM_CO_PLSS_Point, else the first point layer
// with a PLSSID field and a POINTLAB or POINTID field (field and layer names
// in any case). Its corners come out in degrees on the layer's own
// geographic datum, unprojected by PROJ (through OGR) from the layer's CRS
// and never moved to another datum here: NAD27 ones are shifted with the
// NADCON grids above this layer, as an LX file's are; NAD83(HARN),
// NAD83(2011) and the other NAD83 realisations, and WGS 84, are taken as
// NAD83, which datumNotice says.
#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/geo_position.h"

namespace korvexa {

struct PlssTownshipCount {
  std::string plssId;  // as the layer holds it, without surrounding blanks
  std::size_t corners = 0;
};

struct PlssCorner {
  std::string plssId;
  // POINTLAB, or the part of POINTID after its last "_" when POINTLAB is
  // empty; empty when neither is given.
  std::string name;
  // On the layer's geographic datum (Nad27 or Nad83); nothing when the
  // feature has no point.
  std::optional<GeoPosition> position;
  // ZCOORD when it is set (not null and not 0), else ELEV; feet.
  std::optional<double> elevationFeet;
  // RELYTXT and the horizontal error estimate: "Good ±3.2 ft".
  std::string reliability;
};

// Whether `path` names a data set for PlssLayer rather than an .LX file: it
// ends in .gdb (the folder of a file geodatabase), .zip, .shp or .gpkg, in
// any case.
bool IsPlssDatasetPath(const std::filesystem::path& path);

class PlssReader;

class PlssLayer {
 public:
  // Opens the corner layer of the data set at `path`. Throws KorvexaError
  // with GDAL's own message for a file it cannot read, naming the layers
  // held when none is a corner layer, and for a layer without a CRS or on a
  // datum other than NAD27 and NAD83.
  explicit PlssLayer(const std::filesystem::path& path);
  ~PlssLayer();
  PlssLayer(PlssLayer&&) noexcept;
  PlssLayer& operator=(PlssLayer&&) noexcept;

  const std::string& LayerName() const;
  Datum GeographicDatum() const;
  // "The layer's datum NAD83 (High Accuracy Reference Network) is taken as
  // NAD83"; empty for NAD27 and NAD83(1986).
  const std::string& DatumNotice() const;

  // Every township of the layer with its number of corners, by PLSSID.
  std::vector<PlssTownshipCount> Townships();

  // The corners of the townships `plssIds`, township by township in that
  // order, each township's by name. Reads only those features (an
  // attribute filter on PLSSID, served by the file's index when it has one).
  // Throws KorvexaError for a read that fails.
  std::vector<PlssCorner> Corners(std::span<const std::string> plssIds);

  // The boundaries of the sections of `plssIds` from the data set's
  // PLSSFirstDivision polygons, each ring one line, on GeographicDatum();
  // nothing when the data set has no such layer.
  std::optional<std::vector<std::vector<GeoPosition>>> SectionLines(std::span<const std::string> plssIds);

 private:
  std::unique_ptr<PlssReader> reader_;
};

}  // namespace korvexa
