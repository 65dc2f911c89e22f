// What the windows need from the desktop besides the conversion services:
// the file-open dialog, the message boxes, the System Info platform, and the
// map window's save and print dialogs. Tests put fakes in its place.
#pragma once

#include <memory>

#include "ui/export_dialogs.h"
#include "ui/file_dialog.h"
#include "ui/message_sink.h"
#include "ui/system_info.h"

namespace korvexa {

struct WindowPlatform {
  std::shared_ptr<OpenFileDialog> fileDialog;
  std::shared_ptr<MessageSink> messages;
  SystemInfoPlatform systemInfo;
  std::shared_ptr<SaveFileDialog> saveDialog;
  std::shared_ptr<PrintDialog> printDialog;
};

// Qt's file dialogs, print dialog, modal message boxes and this computer's
// System Info platform.
WindowPlatform MakeDesktopWindowPlatform();

}  // namespace korvexa
