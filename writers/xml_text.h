// Record text as XML character data in UTF-8, and times as XML writes them.
#pragma once

#include <string>
#include <string_view>

#include "core/clock.h"

namespace korvexa {

// Appends the 8-bit `text` of a record (Windows-1252, the code page of GCDB
// files) to `out` as UTF-8 character data: "&", "<", ">" and '"' become
// entities, bytes from 0x80 up are converted to UTF-8, and the control
// characters XML forbids (all below 0x20 except tab, line feed and carriage
// return) are dropped.
void AppendXmlText(std::string& out, std::string_view text);

// Appends `t`, a UTC time, as an XML Schema dateTime: "2026-12-06T21:03:27Z",
// with the milliseconds before the Z (".250") when there are any.
void AppendXmlTime(std::string& out, const CivilTime& t, int milliseconds = 0);

}  // namespace korvexa
