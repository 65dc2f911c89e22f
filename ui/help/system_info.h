// The System Info command of the About box: find the system information tool
// through the platform registry and start it.
//
// The registry, the file lookup and the program start are injected, so the
// rules can be checked against a fake registry. On Linux the platform
// registry is empty: every lookup fails and System Info reports that the tool
// is unavailable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace korvexa {

using RegistryRoot = std::uint32_t;
inline constexpr RegistryRoot kHkeyLocalMachine = 0x80000002;

// Value types of the registry.
inline constexpr std::uint32_t kRegSz = 1;     // text
inline constexpr std::uint32_t kRegDword = 4;  // 32-bit number, least significant byte first

// A value larger than this cannot be read.
inline constexpr std::size_t kRegistryValueLimit = 1024;

struct RegistryValue {
  std::uint32_t type = 0;
  std::string data;  // the stored bytes; texts are single-byte characters
};

// Keys holding named values under a root.
class Registry {
 public:
  using Key = std::uint64_t;
  virtual ~Registry() = default;

  // Opens `keyName` under `root` for full (read and write) access; nothing
  // when the key is missing or the access is refused.
  virtual std::optional<Key> OpenKey(RegistryRoot root, const std::string& keyName) = 0;

  // The value named `valueName` of an open key; nothing when it is missing or
  // cannot be read.
  virtual std::optional<RegistryValue> QueryValue(Key key, const std::string& valueName) = 0;

  virtual void CloseKey(Key key) = 0;
};

// A registry without keys: the platform registry on Linux.
class EmptyRegistry : public Registry {
 public:
  std::optional<Key> OpenKey(RegistryRoot, const std::string&) override { return std::nullopt; }
  std::optional<RegistryValue> QueryValue(Key, const std::string&) override { return std::nullopt; }
  void CloseKey(Key) override {}
};

// What System Info needs from the platform.
struct SystemInfoPlatform {
  std::shared_ptr<Registry> registry;
  // True when `path` names a normal file: not hidden, not a folder.
  std::function<bool(const std::string& path)> fileExists;
  // Starts the program `path` without waiting for it; false when it could
  // not be started.
  std::function<bool(const std::string& path)> startProgram;
};

// The platform registry, file lookup and program start of this computer.
SystemInfoPlatform DesktopSystemInfoPlatform();

// Reads the value `SubKeyRef` of the key `KeyName` under `KeyRoot` into
// `KeyVal` and returns true; on a failed open or query (also for a value
// larger than kRegistryValueLimit bytes) sets `KeyVal` empty and returns
// false. A last data byte of NUL is dropped. A REG_SZ value becomes `KeyVal`;
// a REG_DWORD value becomes "&h" followed by `KeyVal` as it was and by the
// upper-case hexadecimal code of every byte from the last to the first, each
// without leading zeros; any other type leaves `KeyVal` as it was. The key
// is always closed. Throws KorvexaError for a value of zero bytes.
bool GetKeyValue(Registry& registry, RegistryRoot KeyRoot, const std::string& KeyName, const std::string& SubKeyRef,
                 std::string& KeyVal);

// Starts the system information tool: the program named by the "PATH" value
// of HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Shared Tools\MSINFO, used as it
// is; failing that, the file MSINFO32.EXE in the folder named by the "MSINFO"
// value of HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Shared Tools Location when
// that file exists. False when no tool was found or it could not be started.
bool StartSystemInformationTool(const SystemInfoPlatform& platform);

}  // namespace korvexa
