#include "app/export/garmin_device.h"

#include <expat.h>

#include <algorithm>
#include <cctype>
#include <memory>
#include <optional>
#include <span>
#include <utility>

#include "core/korvexa_error.h"

namespace korvexa {
namespace {

// Expat gives a namespaced element as "URI local": a URI holds no blank.
constexpr char kNamespaceSeparator = ' ';
constexpr std::string_view kGarminDeviceNamespace = "http://www.garmin.com/xmlschemas/GarminDevice/v";
constexpr std::size_t kModelLimit = 100;   // bytes; a unit's is about 20
constexpr std::size_t kValueLimit = 4096;  // bytes kept of any value, far more than a unit writes
constexpr std::size_t kQuoteLimit = 100;   // bytes of a refused Path quoted in the message

// The elements the reader looks at, by their local names in the namespace
// above; any other element is "".
using ElementPath = std::span<const std::string_view>;
constexpr std::string_view kModelDescription[] = {"Device", "Model", "Description"};
constexpr std::string_view kFile[] = {"Device", "MassStorageMode", "DataType", "File"};
constexpr std::string_view kTransferDirection[] = {"Device", "MassStorageMode", "DataType", "File",
                                                   "TransferDirection"};
constexpr std::string_view kFileExtension[] = {"Device", "MassStorageMode", "DataType",
                                               "File",   "Location",        "FileExtension"};
constexpr std::string_view kPath[] = {"Device", "MassStorageMode", "DataType", "File", "Location", "Path"};

bool AllDigits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The local name of `name`, or "" when it is not in Garmin's namespace.
std::string LocalName(std::string_view name) {
  const std::size_t separator = name.find(kNamespaceSeparator);
  if (separator == std::string_view::npos) return {};
  const std::string_view uri = name.substr(0, separator);
  if (!uri.starts_with(kGarminDeviceNamespace) || !AllDigits(uri.substr(kGarminDeviceNamespace.size()))) return {};
  return std::string(name.substr(separator + 1));
}

bool XmlBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// `text` as an XML Schema token: blanks around it dropped, each run of them
// inside made one space.
std::string Collapsed(std::string_view text) {
  std::string out;
  bool blank = false;
  for (const char c : text) {
    if (XmlBlank(c)) {
      blank = !out.empty();
      continue;
    }
    if (blank) out += ' ';
    blank = false;
    out += c;
  }
  return out;
}

// At most `limit` bytes of UTF-8 `text`, never ending inside a character.
std::string Cut(std::string text, std::size_t limit) {
  if (text.size() <= limit) return text;
  std::size_t end = limit;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  text.resize(end);
  return text;
}

bool SameLetters(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

// The folders of a GPX Path below the volume. Throws KorvexaError for one
// that would lead elsewhere.
std::vector<std::string> FolderParts(const std::string& path) {
  std::string slashed = path;
  std::replace(slashed.begin(), slashed.end(), '\\', '/');
  const auto outside = [&path]() {
    return KorvexaError("names a GPX folder outside the unit: \"" + Cut(path, kQuoteLimit) + "\"");
  };
  if (slashed.starts_with('/')) throw outside();
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= slashed.size()) {
    const std::size_t end = std::min(slashed.find('/', start), slashed.size());
    std::string part = slashed.substr(start, end - start);
    start = end + 1;
    const bool control =
        std::any_of(part.begin(), part.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
    if (part == ".." || control || part.find(':') != std::string::npos) throw outside();
    if (!part.empty() && part != ".") parts.push_back(std::move(part));
  }
  return parts;
}

struct ParserFree {
  void operator()(XML_ParserStruct* parser) const { XML_ParserFree(parser); }
};

// The file type of one File element.
struct FileType {
  std::string extension, direction;
  std::optional<std::string> path;
};

// Follows the elements with a stack of what is open, and keeps the values
// of the few it needs; stops the parser with a reason at the first thing it
// refuses.
class DeviceReader {
 public:
  GarminDevice Read(std::string_view xml) {
    const std::unique_ptr<XML_ParserStruct, ParserFree> parser(XML_ParserCreateNS("UTF-8", kNamespaceSeparator));
    if (!parser) throw KorvexaError("is not readable: out of memory");
    parser_ = parser.get();
    XML_SetUserData(parser_, this);
    XML_SetElementHandler(parser_, &DeviceReader::OnStart, &DeviceReader::OnEnd);
    XML_SetCharacterDataHandler(parser_, &DeviceReader::OnText);
    XML_SetEntityDeclHandler(parser_, &DeviceReader::OnEntity);
    if (XML_Parse(parser_, xml.data(), static_cast<int>(xml.size()), XML_TRUE) != XML_STATUS_OK) {
      if (refusal_.empty()) {
        refusal_ = std::string(XML_ErrorString(XML_GetErrorCode(parser_))) + " at line " +
                   std::to_string(XML_GetCurrentLineNumber(parser_)) + ", column " +
                   std::to_string(XML_GetCurrentColumnNumber(parser_) + 1);
      }
      throw KorvexaError("is not readable: " + refusal_);
    }
    if (gpxPath_) device_.gpxFolder = FolderParts(*gpxPath_);
    if (!gpxPath_ || device_.gpxFolder.empty()) device_.gpxFolder = FolderParts(std::string(kDefaultGpxFolder));
    return device_;
  }

 private:
  static DeviceReader& Of(void* data) { return *static_cast<DeviceReader*>(data); }

  static void XMLCALL OnStart(void* data, const XML_Char* name, const XML_Char**) { Of(data).Start(name); }
  static void XMLCALL OnEnd(void* data, const XML_Char*) { Of(data).End(); }
  static void XMLCALL OnText(void* data, const XML_Char* text, int size) {
    Of(data).Text(std::string_view(text, static_cast<std::size_t>(size)));
  }
  static void XMLCALL OnEntity(void* data, const XML_Char*, int, const XML_Char*, int, const XML_Char*, const XML_Char*,
                               const XML_Char*, const XML_Char*) {
    Of(data).Refuse("it declares an entity, which is refused");
  }

  void Refuse(std::string reason) {
    if (refusal_.empty()) refusal_ = std::move(reason);
    XML_StopParser(parser_, XML_FALSE);
  }

  bool At(ElementPath path) const { return std::equal(open_.begin(), open_.end(), path.begin(), path.end()); }

  void Start(std::string_view name) {
    if (static_cast<int>(open_.size()) >= kGarminDeviceDepthLimit) {
      return Refuse("it nests deeper than " + std::to_string(kGarminDeviceDepthLimit) + " levels");
    }
    open_.push_back(LocalName(name));
    if (open_.size() == 1 && open_.back() != "Device") {
      return Refuse("it is no description of a Garmin unit (no Device of Garmin's GarminDevice namespace)");
    }
    if (At(kFile)) file_ = FileType{};
    const bool value = At(kModelDescription) || At(kTransferDirection) || At(kPath) || At(kFileExtension);
    if (value && valueDepth_ == 0) {
      valueDepth_ = open_.size();
      value_.clear();
    }
  }

  void Text(std::string_view text) {
    if (open_.size() == valueDepth_ && value_.size() < kValueLimit) value_.append(text);
  }

  void End() {
    if (open_.size() == valueDepth_) {
      Value(Collapsed(value_));
      valueDepth_ = 0;
    }
    if (At(kFile)) EndFile();
    open_.pop_back();
  }

  void Value(std::string value) {
    if (At(kModelDescription) && device_.model.empty()) device_.model = Cut(std::move(value), kModelLimit);
    if (At(kTransferDirection)) file_.direction = std::move(value);
    if (At(kFileExtension)) file_.extension = std::move(value);
    if (At(kPath)) file_.path = std::move(value);
  }

  void EndFile() {
    if (device_.takesGpx || !SameLetters(file_.extension, "gpx")) return;
    if (file_.direction != "InputToUnit" && file_.direction != "InputOutput") return;
    device_.takesGpx = true;
    gpxPath_ = file_.path;
  }

  XML_Parser parser_ = nullptr;
  std::vector<std::string> open_;
  std::size_t valueDepth_ = 0;  // the depth of the element whose value is being read, or 0
  std::string value_;
  FileType file_;
  std::optional<std::string> gpxPath_;
  GarminDevice device_;
  std::string refusal_;
};

}  // namespace

GarminDevice ReadGarminDevice(std::string_view xml) {
  if (xml.size() > kGarminDeviceSizeLimit) throw KorvexaError("is not readable: it is larger than 1 MiB");
  if (xml.starts_with("\xFF\xFE") || xml.starts_with("\xFE\xFF")) {
    throw KorvexaError("is not readable: it is UTF-16, not UTF-8");
  }
  if (xml.find('\0') != std::string_view::npos) {
    throw KorvexaError("is not readable: it holds a NUL byte (it is not UTF-8 text)");
  }
  return DeviceReader().Read(xml);
}

}  // namespace korvexa
