// What the windows need from the desktop besides the conversion services:
// the file-open dialog, the message boxes and the System Info platform.
// Tests put fakes in its place.
#pragma once

#include <memory>

#include "file_dialog.h"
#include "message_sink.h"
#include "system_info.h"

namespace korvexa {

struct WindowPlatform {
  std::shared_ptr<OpenFileDialog> fileDialog;
  std::shared_ptr<MessageSink> messages;
  SystemInfoPlatform systemInfo;
};

// Qt's file dialog, modal message boxes and this computer's System Info
// platform.
WindowPlatform MakeDesktopWindowPlatform();

}  // namespace korvexa
