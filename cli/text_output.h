#pragma once
// How the console tool writes texts that came from a file or a device: as
// JSON strings, or on one line of plain output with control characters
// escaped so that a value can never break the line format.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tamlo::cli {

// A JSON string literal of UTF-8 text: quotes, backslashes and control
// characters escaped.
std::string JsonString(std::string_view utf8);

// The one-line form of a text is EscapeControls of config/cp1251.h, which
// the device link uses for what a device says as well.

// The inverse of EscapeControls (config/cp1251.h): none when a backslash starts no escape it
// writes ("\\", "\n", "\r", "\t", "\x" and two hexadecimal digits).
std::optional<std::string> UnescapeControls(std::string_view line);

// `text` without its outer spaces, padded with spaces to `width` characters
// (not bytes: UTF-8 Cyrillic takes two per letter), on the left when
// `right_aligned`: a column of a table on the terminal.
std::string Column(const std::string& text, size_t width, bool right_aligned);

}  // namespace tamlo::cli
