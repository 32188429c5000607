#pragma once
// Windows-1251 <-> UTF-8 at the edges of the program: configuration strings,
// the event code list, the phone book and journal exports are 1251 bytes; the
// source code and the Qt user interface speak UTF-8.
//
// Every one of the 256 byte values round-trips: the byte 0x98, which has no
// character in the code page, maps to U+0098 and back.
// Rule for the way into 1251: a character with no 1251 form, and every byte of
// malformed UTF-8, becomes one '?' (0x3F). The result never contains more
// bytes than the input.
#include <string>
#include <string_view>

namespace tamlo {

std::string Cp1251ToUtf8(std::string_view cp1251);
std::string Utf8ToCp1251(std::string_view utf8);

// The Unicode code point of one 1251 byte.
char32_t Cp1251ToCodePoint(unsigned char byte);

// The one-line form of a text from outside (a device's answer, a file):
// "\\" for a backslash, "\n", "\r", "\t", and "\xNN" for any other control
// character (codes below 32 and 127), so that a value can never break a line
// of output nor drive the terminal with an escape sequence. A C1 control
// (U+0080 to U+009F, such as U+009B, a terminal's one-character CSI) is
// escaped byte by byte as its UTF-8 form, "\xC2\x9B", which reads back as
// the same character.
std::string EscapeControls(std::string_view utf8);

// Text a device sent (1251 bytes) as it is shown: converted and escaped.
inline std::string DeviceText(std::string_view cp1251) { return EscapeControls(Cp1251ToUtf8(cp1251)); }

}  // namespace tamlo
