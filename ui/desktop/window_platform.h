// What the windows need from the desktop besides the conversion services:
// the file-open dialog, the message boxes, the System Info platform, and the
// map window's save and print dialogs, the choices of File > Export, the
// mounted volumes where a GPS unit may be and a yes-or-no question. Tests
// put fakes in its place.
#pragma once

#include <QSettings>
#include <QString>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "app/export/garmin_unit.h"
#include "ui/convert/township_chooser.h"
#include "ui/desktop/file_dialog.h"
#include "ui/desktop/message_sink.h"
#include "ui/export/csv_dialog.h"
#include "ui/help/system_info.h"
#include "ui/map/export_dialogs.h"

namespace korvexa {

struct WindowPlatform {
  std::shared_ptr<OpenFileDialog> fileDialog;
  std::shared_ptr<MessageSink> messages;
  SystemInfoPlatform systemInfo;
  std::shared_ptr<SaveFileDialog> saveDialog;
  std::shared_ptr<PrintDialog> printDialog;
  std::shared_ptr<ExportChoices> exportChoices;
  std::function<std::vector<MountedVolume>()> volumes;  // where to look for a GPS unit
  // Asks `question` over `parent`; true when the user answers yes.
  std::function<bool(QWidget* parent, const QString& question)> confirm;
  std::shared_ptr<TownshipChooser> townshipChooser;  // of a PLSS data set
};

// Qt's file dialogs, print dialog, modal message boxes, this computer's
// System Info platform, its mounted volumes (MountedVolumes) and a modal
// question box whose default is no.
WindowPlatform MakeDesktopWindowPlatform();

// Where the windows remember choices between runs: organisation and program
// "Korvexa".
QSettings ProgramSettings();

}  // namespace korvexa
