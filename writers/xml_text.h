// Record text as XML character data in UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace korvexa {

// Appends the 8-bit `text` of a record (Windows-1252, the code page of GCDB
// files) to `out` as UTF-8 character data: "&", "<", ">" and '"' become
// entities, bytes from 0x80 up are converted to UTF-8, and the control
// characters XML forbids (all below 0x20 except tab, line feed and carriage
// return) are dropped.
void AppendXmlText(std::string& out, std::string_view text);

}  // namespace korvexa
