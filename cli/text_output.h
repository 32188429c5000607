#pragma once
// How the console tool writes texts that came from a file or a device: as
// JSON strings, or on one line of plain output with control characters
// escaped so that a value can never break the line format.
#include <string>
#include <string_view>

namespace tamlo::cli {

// A JSON string literal of UTF-8 text: quotes, backslashes and control
// characters escaped.
std::string JsonString(std::string_view utf8);

// One-line form of a text: "\\" for a backslash, "\n", "\r", "\t", and
// "\xNN" for any other control character (codes below 32 and 127).
std::string EscapeControls(std::string_view utf8);

}  // namespace tamlo::cli
