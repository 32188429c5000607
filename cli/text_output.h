#pragma once
// How the console tool writes texts that came from a file or a device: as
// JSON strings, or on one line of plain output with control characters
// escaped so that a value can never break the line format.
#include <optional>
#include <string>
#include <string_view>

namespace tamlo::cli {

// A JSON string literal of UTF-8 text: quotes, backslashes and control
// characters escaped.
std::string JsonString(std::string_view utf8);

// One-line form of a text: "\\" for a backslash, "\n", "\r", "\t", and
// "\xNN" for any other control character (codes below 32 and 127).
std::string EscapeControls(std::string_view utf8);

// The inverse of EscapeControls: none when a backslash starts no escape it
// writes ("\\", "\n", "\r", "\t", "\x" and two hexadecimal digits).
std::optional<std::string> UnescapeControls(std::string_view line);

}  // namespace tamlo::cli
