#pragma once
// One line of the device window's service log: "<date> <time>: <text>",
// the date and time in the user's locale, the text on one line (each CR LF
// pair and each remaining LF become one space).
// Example: ("08.12.2026", "17:35:02", "Связь\r\nустановлена") gives
// "08.12.2026 17:35:02: Связь установлена".
#include <string>
#include <string_view>

namespace tamlo::device {

// The text with CR LF and LF folded to single spaces (a lone CR stays).
std::string FoldLineBreaks(std::string_view text);

std::string ServiceLogLine(std::string_view date_time, std::string_view text);

}  // namespace tamlo::device
