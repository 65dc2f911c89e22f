#include "core/printable_text.h"

#include <gtest/gtest.h>

#include <string>

namespace korvexa {
namespace {

using namespace std::string_literals;

struct PrintableCase {
  const char* name;
  std::string text;
  Printable kind;
  std::string printed;
};

class PrintableTextTest : public ::testing::TestWithParam<PrintableCase> {};

TEST_P(PrintableTextTest, EscapesWhatATerminalWouldTakeForControl) {
  EXPECT_EQ(PrintableText(GetParam().text, GetParam().kind), GetParam().printed);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PrintableTextTest,
    ::testing::Values(
        PrintableCase{"EscapeSequence", "10\x1B[2J0100", Printable::Utf8, "10\\x1B[2J0100"},
        PrintableCase{"LineOfItsOwn", "eTrex\nerror: x\r", Printable::Utf8, "eTrex\\x0Aerror: x\\x0D"},
        PrintableCase{"NulAndDelete", "a\0b\x7F"s, Printable::Utf8, "a\\x00b\\x7F"},
        PrintableCase{"BackslashDoubled", "C:\\x1B", Printable::Utf8, "C:\\\\x1B"},
        PrintableCase{"Utf8Kept", "Oregon\xC2\xAE 750 \xE2\x80\x94 \xF0\x9F\x97\xBA", Printable::Utf8,
                      "Oregon\xC2\xAE 750 \xE2\x80\x94 \xF0\x9F\x97\xBA"},
        PrintableCase{"C1ControlCsi", "a\xC2\x9B" "2J", Printable::Utf8, "a\\xC2\\x9B2J"},
        PrintableCase{"Latin1Byte", "caf\xE9", Printable::Utf8, "caf\\xE9"},
        PrintableCase{"Overlong", "\xC0\xAF", Printable::Utf8, "\\xC0\\xAF"},
        PrintableCase{"Surrogate", "\xED\xA0\x80", Printable::Utf8, "\\xED\\xA0\\x80"},
        PrintableCase{"CutShort", "ab\xE2\x80", Printable::Utf8, "ab\\xE2\\x80"},
        PrintableCase{"AsciiOnly", "caf\xC3\xA9,1", Printable::Ascii, "caf\\xC3\\xA9,1"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace korvexa
