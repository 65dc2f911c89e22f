// What reads a PLSS data set for PlssLayer (plss_layer.h, which says what
// each call does). GDAL's reader is a module of its own, loaded on the first
// data set opened: a run that converts .LX files never loads GDAL and the
// hundred libraries it stands on.
#pragma once

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "transform/plss_layer.h"

namespace korvexa {

class PlssReader {
 public:
  virtual ~PlssReader() = default;
  virtual const std::string& LayerName() const = 0;
  virtual Datum GeographicDatum() const = 0;
  virtual const std::string& DatumNotice() const = 0;
  virtual std::vector<PlssTownshipCount> Townships() = 0;
  virtual std::vector<PlssCorner> Corners(std::span<const std::string> plssIds) = 0;
  virtual std::optional<std::vector<std::vector<GeoPosition>>> SectionLines(std::span<const std::string> plssIds) = 0;
};

// The module's one entry: opens the data set at `path` (a new reader, or
// KorvexaError as PlssLayer's constructor says).
using OpenPlssReader = PlssReader* (*)(const std::filesystem::path& path);
inline constexpr const char* kOpenPlssReaderName = "KorvexaOpenPlssReader";

}  // namespace korvexa
