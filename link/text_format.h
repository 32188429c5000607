#pragma once
// printf-style formatting into a std::string, for the link's log and error
// texts. The link's messages are printf formats with arguments; the callback
// receives the finished UTF-8 text.
#include <cstdarg>
#include <string>

namespace tamlo::link {

#if defined(__GNUC__)
__attribute__((format(printf, 1, 2)))
#endif
std::string Format(const char* format, ...);

std::string FormatV(const char* format, va_list args);

}  // namespace tamlo::link
