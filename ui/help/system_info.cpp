#include "ui/help/system_info.h"

#include <QProcess>
#include <QScopeGuard>
#include <QString>
#include <filesystem>
#include <string_view>

#include "core/korvexa_error.h"

namespace korvexa {
namespace {

// The code of every byte from the last to the first, in upper-case
// hexadecimal without leading zeros: bytes 78 56 34 12 give "12345678",
// bytes 0A 00 give "0A".
std::string HexBytesLastFirst(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (auto it = bytes.rbegin(); it != bytes.rend(); ++it) {
    const auto code = static_cast<unsigned char>(*it);
    if (code >= 16) text += kDigits[code / 16];
    text += kDigits[code % 16];
  }
  return text;
}

bool IsNormalFile(const std::string& path) {
  const std::filesystem::path file(path);
  std::error_code ec;
  const std::string name = file.filename().string();
  return std::filesystem::is_regular_file(file, ec) && !name.empty() && name.front() != '.';
}

bool StartDetached(const std::string& path) {
  return QProcess::startDetached(QString::fromLocal8Bit(path), {});
}

}  // namespace

SystemInfoPlatform DesktopSystemInfoPlatform() {
  return {std::make_shared<EmptyRegistry>(), IsNormalFile, StartDetached};
}

bool GetKeyValue(Registry& registry, RegistryRoot KeyRoot, const std::string& KeyName, const std::string& SubKeyRef,
                 std::string& KeyVal) {
  const std::optional<Registry::Key> key = registry.OpenKey(KeyRoot, KeyName);
  if (!key) {
    KeyVal.clear();
    return false;
  }
  const auto closer = qScopeGuard([&] { registry.CloseKey(*key); });  // on every way out
  const std::optional<RegistryValue> value = registry.QueryValue(*key, SubKeyRef);
  if (!value || value->data.size() > kRegistryValueLimit) {
    KeyVal.clear();
    return false;
  }
  if (value->data.empty()) {
    throw KorvexaError("the registry value \"" + SubKeyRef + "\" of \"" + KeyName + "\" holds no data");
  }
  std::string_view data = value->data;
  if (data.back() == '\0') data.remove_suffix(1);
  if (value->type == kRegSz) {
    KeyVal = data;
  } else if (value->type == kRegDword) {
    KeyVal = "&h" + KeyVal + HexBytesLastFirst(data);
  }
  return true;
}

bool StartSystemInformationTool(const SystemInfoPlatform& platform) {
  try {
    std::string path;
    if (!GetKeyValue(*platform.registry, kHkeyLocalMachine, "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH",
                     path)) {
      if (!GetKeyValue(*platform.registry, kHkeyLocalMachine, "SOFTWARE\\Microsoft\\Shared Tools Location", "MSINFO",
                       path)) {
        return false;
      }
      path += "\\MSINFO32.EXE";
      if (!platform.fileExists(path)) return false;
    }
    return platform.startProgram(path);
  } catch (const KorvexaError&) {
    return false;
  }
}

}  // namespace korvexa
