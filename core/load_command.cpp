#include "load_command.h"

#include "converters.h"
#include "lx_file.h"

namespace korvexa {

LoadedFile OpenLxFile(const std::filesystem::path& fullPath, Converters* converters) {
  LoadedFile loaded;
  loaded.title = fullPath.filename().string();
  if (converters != nullptr) converters->ConvertLineEnds(loaded.title);
  loaded.lines = LoadLxFile(fullPath);
  return loaded;
}

}  // namespace korvexa
