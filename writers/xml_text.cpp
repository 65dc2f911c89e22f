#include "writers/xml_text.h"

#include <cstdint>

#include "core/number_text.h"

namespace korvexa {
namespace {

// Unicode code points of Windows-1252 bytes 0x80 to 0x9F. The five bytes the
// code page leaves undefined keep their own value, as Windows does.
constexpr std::uint16_t kWindows1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                                0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& out, std::uint32_t codePoint) {
  if (codePoint < 0x800) {
    out += static_cast<char>(0xC0 | (codePoint >> 6));
  } else {
    out += static_cast<char>(0xE0 | (codePoint >> 12));
    out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
  }
  out += static_cast<char>(0x80 | (codePoint & 0x3F));
}

bool IsForbiddenInXml(unsigned char c) {
  return c < 0x20 && c != '\t' && c != '\n' && c != '\r';
}

}  // namespace

void AppendXmlText(std::string& out, std::string_view text) {
  for (const char byte : text) {
    const auto c = static_cast<unsigned char>(byte);
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        if (c >= 0x80) {
          AppendUtf8(out, c < 0xA0 ? kWindows1252High[c - 0x80] : c);
        } else if (!IsForbiddenInXml(c)) {
          out += byte;
        }
    }
  }
}

void AppendXmlTime(std::string& out, const CivilTime& t, int milliseconds) {
  AppendTwoDigits(out, t.year / 100);
  AppendTwoDigits(out, t.year % 100);
  out += '-';
  AppendTwoDigits(out, t.month);
  out += '-';
  AppendTwoDigits(out, t.day);
  out += 'T';
  AppendTwoDigits(out, t.hour);
  out += ':';
  AppendTwoDigits(out, t.minute);
  out += ':';
  AppendTwoDigits(out, t.second);
  if (milliseconds > 0) {
    out += '.';
    out += static_cast<char>('0' + milliseconds / 100);
    AppendTwoDigits(out, milliseconds % 100);
  }
  out += 'Z';
}

}  // namespace korvexa
