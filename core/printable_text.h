// Text from outside (a file's PointIDs, a unit's description, a data set's
// names) made safe to print: a terminal must never take part of it for an
// escape sequence or a line of its own.
#pragma once

#include <string>
#include <string_view>

namespace korvexa {

enum class Printable { Utf8, Ascii };

// `text` with each control byte (C0, DEL, and C1 written as UTF-8) and each
// byte that is not part of well-formed UTF-8 written as \xHH, and each
// backslash as \\ so that an escape reads back one way. With
// Printable::Ascii every byte above 0x7F is written as \xHH too.
std::string PrintableText(std::string_view text, Printable kind = Printable::Utf8);

}  // namespace korvexa
