#include "core/printable_text.h"

namespace korvexa {
namespace {

// The length of the well-formed UTF-8 sequence at the start of `text` (RFC
// 3629: no overlong form, no surrogate, nothing above U+10FFFF), or 0.
std::size_t Utf8Length(std::string_view text) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(0);
  const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
  if (lead < 0xC2 || lead > 0xF4 || text.size() < length) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;
  }
  const unsigned char second = byte(1);
  if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) || (lead == 0xF0 && second < 0x90) ||
      (lead == 0xF4 && second > 0x8F)) {
    return 0;
  }
  if (lead == 0xC2 && second < 0xA0) return 0;  // U+0080 to U+009F, the C1 controls
  return length;
}

void AppendEscaped(std::string& out, unsigned char byte) {
  constexpr char kHex[] = "0123456789ABCDEF";
  out += "\\x";
  out += kHex[byte >> 4];
  out += kHex[byte & 0xF];
}

}  // namespace

std::string PrintableText(std::string_view text, Printable kind) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    const auto byte = static_cast<unsigned char>(text[at]);
    if (byte >= 0x80) {
      const std::size_t length = kind == Printable::Utf8 ? Utf8Length(text.substr(at)) : 0;
      if (length == 0) {
        AppendEscaped(out, byte);
        ++at;
      } else {
        out += text.substr(at, length);
        at += length;
      }
      continue;
    }
    if (byte < 0x20 || byte == 0x7F) {
      AppendEscaped(out, byte);
    } else {
      if (byte == '\\') out += '\\';
      out += static_cast<char>(byte);
    }
    ++at;
  }
  return out;
}

}  // namespace korvexa
