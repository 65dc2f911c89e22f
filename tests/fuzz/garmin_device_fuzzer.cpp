// libFuzzer target: any bytes as the GarminDevice.xml of a mounted volume,
// read by expat and then found on the volume as Send to GPS finds it. A
// crash, a sanitizer report or a broken promise (a GPX folder off the
// volume, a model longer than its limit) stops the fuzzer with the input.
//
// Seeds: tests/data/garmin, the descriptions the tests hold. Run as
// README.md ("Fuzzing") says.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/export/garmin_device.h"
#include "app/export/garmin_unit.h"
#include "core/korvexa_error.h"

namespace {

using namespace korvexa;

void Require(bool promise) {
  if (!promise) std::abort();
}

// A volume of the fuzzer's own, with its folder Garmin; in memory where
// there is /dev/shm (ext4 flushes a file rewritten in place, which makes
// each run milliseconds).
const std::filesystem::path& Volume() {
  static const std::filesystem::path volume = [] {
    std::error_code error;
    const std::filesystem::path base =
        std::filesystem::is_directory("/dev/shm", error) ? "/dev/shm" : std::filesystem::temp_directory_path();
    std::string pattern = (base / "korvexa-fuzz-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    std::filesystem::create_directory(std::filesystem::path(pattern) / "Garmin");
    return std::filesystem::path(pattern);
  }();
  static const int removal = std::atexit([] {
    std::error_code error;
    std::filesystem::remove_all(Volume(), error);
  });
  (void)removal;
  return volume;
}

void CheckDevice(const std::string& xml) {
  GarminDevice device;
  try {
    device = ReadGarminDevice(xml);
  } catch (const KorvexaError&) {
    return;  // refused with its reason
  }
  Require(device.model.size() <= 100);
  for (const std::string& part : device.gpxFolder) {
    Require(!part.empty() && part != "." && part != "..");
    Require(std::none_of(part.begin(), part.end(), [](char c) {
      return c == '/' || c == '\\' || c == ':' || static_cast<unsigned char>(c) < 0x20;
    }));
  }
}

void CheckUnit(const std::string& xml) {
  std::ofstream(Volume() / "Garmin" / "GarminDevice.xml", std::ios::binary | std::ios::trunc) << xml;
  try {
    const std::optional<GarminUnit> unit = ReadGarminUnit(Volume());
    Require(unit.has_value());
    const std::filesystem::path relative = unit->gpxFolder.lexically_relative(Volume());
    Require(!relative.empty() && *relative.begin() != "..");
  } catch (const KorvexaError&) {
    // Refused by name.
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string xml(reinterpret_cast<const char*>(data), size);
  CheckDevice(xml);
  CheckUnit(xml);
  return 0;
}
