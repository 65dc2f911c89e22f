#include "ui/desktop/window_platform.h"

#include "app/export/garmin_unit.h"

namespace korvexa {

WindowPlatform MakeDesktopWindowPlatform() {
  return {std::make_shared<LxFileDialog>(),
          std::make_shared<MessageBoxSink>(),
          DesktopSystemInfoPlatform(),
          std::make_shared<QtSaveFileDialog>(),
          std::make_shared<QtPrintDialog>(),
          std::make_shared<QtExportChoices>(),
          MountedVolumes};
}

}  // namespace korvexa
