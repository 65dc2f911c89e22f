#include "app/convert/open_file.h"

#include "core/converters.h"
#include "core/korvexa_error.h"
#include "core/lx_file.h"

namespace korvexa {
namespace {

void EnterFolder(const std::filesystem::path& folder) {
  std::error_code entering;
  std::filesystem::current_path(folder, entering);
  if (entering) throw KorvexaError("cannot enter the folder \"" + folder.string() + "\": " + entering.message());
}

// Enters the file's folder, has `converters` (when given) convert the line
// ends and reads the file; the folder before is restored on failure.
LoadedFile Open(const std::filesystem::path& path, Converters* converters) {
  const std::filesystem::path file = std::filesystem::absolute(path);
  RequireLxFile(file);  // before the line-end converter rewrites it
  const std::filesystem::path previousFolder = std::filesystem::current_path();
  EnterFolder(file.parent_path());
  try {
    LoadedFile loaded;
    loaded.fName = file.filename().string();
    if (converters != nullptr) converters->ConvertLineEnds(loaded.fName);
    loaded.lines = LoadLxFile(file);
    return loaded;
  } catch (...) {
    std::error_code ignored;
    std::filesystem::current_path(previousFolder, ignored);
    throw;
  }
}

}  // namespace

LoadedFile OpenLxFile(const std::filesystem::path& path, Converters& converters) {
  return Open(path, &converters);
}

LoadedFile OpenLxFileUnchanged(const std::filesystem::path& path) {
  return Open(path, nullptr);
}

}  // namespace korvexa
