// What the windows need from the desktop besides the conversion services:
// the file-open dialog, the message boxes, the System Info platform, and the
// map window's save and print dialogs, the choices of File > Export and the
// mounted volumes where a GPS unit may be. Tests put fakes in its place.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "ui/export/csv_dialog.h"
#include "ui/map/export_dialogs.h"
#include "ui/desktop/file_dialog.h"
#include "ui/desktop/message_sink.h"
#include "ui/help/system_info.h"

namespace korvexa {

struct WindowPlatform {
  std::shared_ptr<OpenFileDialog> fileDialog;
  std::shared_ptr<MessageSink> messages;
  SystemInfoPlatform systemInfo;
  std::shared_ptr<SaveFileDialog> saveDialog;
  std::shared_ptr<PrintDialog> printDialog;
  std::shared_ptr<ExportChoices> exportChoices;
  std::function<std::vector<std::filesystem::path>()> volumes;  // where to look for a GPS unit
};

// Qt's file dialogs, print dialog, modal message boxes, this computer's
// System Info platform and its mounted volumes (MountedVolumes).
WindowPlatform MakeDesktopWindowPlatform();

}  // namespace korvexa
