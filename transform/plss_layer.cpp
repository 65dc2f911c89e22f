#include "transform/plss_layer.h"

#include <dlfcn.h>

#include <algorithm>
#include <cctype>
#include <mutex>

#include "core/korvexa_error.h"
#include "transform/plss_reader.h"

namespace korvexa {
namespace {

namespace fs = std::filesystem;

// The reader's entry, from the module at its place relative to the program
// (the same in the build folder and the installed tree), loaded once and
// kept for the life of the process.
OpenPlssReader ReaderEntry() {
  static std::once_flag once;
  static OpenPlssReader entry = nullptr;
  static std::string failure;
  std::call_once(once, [] {
    std::error_code error;
    const fs::path program = fs::read_symlink("/proc/self/exe", error);
    const fs::path module = (program.parent_path() / KORVEXA_PLSS_READER_FROM_BIN).lexically_normal();
    void* handle = ::dlopen(module.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle != nullptr) entry = reinterpret_cast<OpenPlssReader>(::dlsym(handle, kOpenPlssReaderName));
    if (entry == nullptr) {
      // dlerror names the module and what is missing.
      failure = "cannot read PLSS data sets: ";
      failure += handle != nullptr ? module.string() + " holds no PLSS reader" : std::string(::dlerror());
    }
  });
  if (entry == nullptr) throw KorvexaError(failure);
  return entry;
}

}  // namespace

bool IsPlssDatasetPath(const fs::path& path) {
  std::string extension = path.extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension == ".gdb" || extension == ".zip" || extension == ".shp" || extension == ".gpkg";
}

PlssLayer::PlssLayer(const fs::path& path) : reader_(ReaderEntry()(path)) {}
PlssLayer::~PlssLayer() = default;
PlssLayer::PlssLayer(PlssLayer&&) noexcept = default;
PlssLayer& PlssLayer::operator=(PlssLayer&&) noexcept = default;

const std::string& PlssLayer::LayerName() const {
  return reader_->LayerName();
}
Datum PlssLayer::GeographicDatum() const {
  return reader_->GeographicDatum();
}
const std::string& PlssLayer::DatumNotice() const {
  return reader_->DatumNotice();
}
std::vector<PlssTownshipCount> PlssLayer::Townships() {
  return reader_->Townships();
}
std::vector<PlssCorner> PlssLayer::Corners(std::span<const std::string> plssIds) {
  return reader_->Corners(plssIds);
}
std::optional<std::vector<std::vector<GeoPosition>>> PlssLayer::SectionLines(std::span<const std::string> plssIds) {
  return reader_->SectionLines(plssIds);
}

}  // namespace korvexa
