// File > Open and the outputs of a PLSS data set in the main window: the
// data set opened read-only, its townships offered in the chooser (those
// chosen last time in this file chosen already, kept in QSettings), the
// chosen townships' corners read once; every output asks where to write,
// offering the data set's folder and the PLSSID's name, and goes through
// ExportPlssTownships (app/convert/plss_township.h).
#pragma once

#include <memory>
#include <optional>

#include "app/convert/plss_township.h"
#include "app/services.h"
#include "ui/convert/township_chooser.h"
#include "ui/desktop/window_platform.h"

class QWidget;

namespace korvexa {

struct OpenDataset {
  std::filesystem::path path;  // absolute
  PlssTownships townships;
};

// Opens the data set at `path` and reads the townships the user chooses in
// `chooser`; nothing when the user cancelled. Throws KorvexaError as
// PlssLayer and ReadPlssTownships do.
std::optional<OpenDataset> OpenDatasetCommand(QWidget* window, TownshipChooser& chooser,
                                              const std::filesystem::path& path);

// Writes the corners of `dataset` that `ticks` marks in `format` (with the
// drawing beside it when `drawing`), to the file the user chooses in
// `platform`'s save dialog; nothing when the user cancelled. Throws as
// ExportPlssTownships.
std::optional<ExportResult> WriteDatasetCommand(QWidget* window, WindowPlatform& platform, Services& services,
                                                const OpenDataset& dataset, const std::vector<bool>& ticks,
                                                PlssFormat format, bool drawing, GridSystems& grids);

}  // namespace korvexa
