#include "app/navigate/receiver_choice.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <optional>

#include "core/korvexa_error.h"

namespace korvexa {
namespace {

constexpr std::string_view kSerialPrefix = "serial:";
constexpr std::string_view kGpsdName = "gpsd";
constexpr std::string_view kLogPrefix = "file:";
constexpr int kLargestPort = 65535;

[[noreturn]] void Refuse(std::string_view text, const std::string& why) {
  throw KorvexaError("the GPS receiver \"" + std::string(text) + "\" " + why +
                     " (expected serial:DEVICE[@BAUD], gpsd[:HOST[:PORT]] or file:LOG)");
}

std::optional<int> WholeNumber(std::string_view digits) {
  int value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (digits.empty() || error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
  return value;
}

ReceiverChoice ParseSerial(std::string_view text, std::string_view rest) {
  ReceiverChoice choice;
  choice.kind = ReceiverKind::Serial;
  const std::size_t at = rest.rfind('@');
  choice.device = std::string(rest.substr(0, at));
  if (choice.device.empty()) Refuse(text, "names no serial device");
  if (at == std::string_view::npos) return choice;
  const std::optional<int> baud = WholeNumber(rest.substr(at + 1));
  if (!baud || std::find(kSerialSpeeds.begin(), kSerialSpeeds.end(), *baud) == kSerialSpeeds.end()) {
    Refuse(text, "has a speed other than 4800, 9600, 19200, 38400, 57600 or 115200 baud");
  }
  choice.baud = *baud;
  return choice;
}

// "HOST", "HOST:PORT", "[v6]" or "[v6]:PORT".
ReceiverChoice ParseGpsd(std::string_view text, std::string_view rest) {
  ReceiverChoice choice;
  choice.kind = ReceiverKind::Gpsd;
  std::string_view host = rest;
  std::optional<std::string_view> port;
  if (rest.starts_with('[')) {
    const std::size_t close = rest.find(']');
    if (close == std::string_view::npos) Refuse(text, "has no ']' after its IPv6 address");
    host = rest.substr(1, close - 1);
    const std::string_view after = rest.substr(close + 1);
    if (!after.empty() && !after.starts_with(':')) Refuse(text, "has text after its IPv6 address");
    if (!after.empty()) port = after.substr(1);
  } else if (const std::size_t colon = rest.find(':'); colon != std::string_view::npos) {
    host = rest.substr(0, colon);
    port = rest.substr(colon + 1);
  }
  if (host.empty()) Refuse(text, "names no gpsd host");
  choice.host = std::string(host);
  if (port) {
    const std::optional<int> number = WholeNumber(*port);
    if (!number || *number < 1 || *number > kLargestPort) Refuse(text, "has a port other than 1 to 65535");
    choice.port = *number;
  }
  return choice;
}

// The host, an IPv6 address in brackets.
std::string HostText(const ReceiverChoice& choice) {
  if (choice.host.find(':') == std::string::npos) return choice.host;
  std::string text = "[";
  return text.append(choice.host).append("]");
}

}  // namespace

ReceiverChoice ParseReceiverChoice(std::string_view text) {
  if (text.starts_with(kSerialPrefix)) return ParseSerial(text, text.substr(kSerialPrefix.size()));
  if (text == kGpsdName) return ReceiverChoice{};
  if (text.starts_with(kGpsdName) && text.size() > kGpsdName.size() && text[kGpsdName.size()] == ':') {
    return ParseGpsd(text, text.substr(kGpsdName.size() + 1));
  }
  if (text.starts_with(kLogPrefix)) {
    ReceiverChoice choice;
    choice.kind = ReceiverKind::Log;
    choice.log = std::string(text.substr(kLogPrefix.size()));
    if (choice.log.empty()) Refuse(text, "names no log file");
    return choice;
  }
  Refuse(text, "is of no known kind");
}

// Written by appending: GCC 12 warns wrongly about "@" + std::string in
// optimised builds.
std::string ReceiverChoiceText(const ReceiverChoice& choice) {
  std::string text;
  switch (choice.kind) {
    case ReceiverKind::Serial:
      text.append(kSerialPrefix).append(choice.device);
      if (choice.baud != kNmeaSerialSpeed) text.append("@").append(std::to_string(choice.baud));
      return text;
    case ReceiverKind::Log:
      return text.append(kLogPrefix).append(choice.log);
    case ReceiverKind::Gpsd:
      break;
  }
  text.append(kGpsdName);
  if (choice.host != ReceiverChoice{}.host || choice.port != kGpsdPort) text.append(":").append(HostText(choice));
  if (choice.port != kGpsdPort) text.append(":").append(std::to_string(choice.port));
  return text;
}

std::string DescribeReceiver(const ReceiverChoice& choice) {
  std::string text;
  switch (choice.kind) {
    case ReceiverKind::Serial:
      return text.append(choice.device).append(" at ").append(std::to_string(choice.baud)).append(" baud");
    case ReceiverKind::Log:
      return text.append("the log ").append(std::filesystem::path(choice.log).filename().string());
    case ReceiverKind::Gpsd:
      break;
  }
  return text.append("gpsd on ").append(HostText(choice)).append(":").append(std::to_string(choice.port));
}

}  // namespace korvexa
