#pragma once
// The UTF-8 text of the program at the wide-character (UTF-16) boundary of
// the Win32 API, and the system's words for its error numbers. Shared by the
// win32/ folders.
#include <cstdint>
#include <string>

namespace tamlo {

// UTF-16 of UTF-8 text; invalid bytes become U+FFFD.
std::wstring WideOf(const std::string& utf8);
// UTF-8 of UTF-16 text; a lone surrogate becomes U+FFFD.
std::string Utf8Of(const std::wstring& wide);
std::string Utf8Of(const wchar_t* wide);

// FormatMessageW's text of a system error number, in the system's default
// language, without the line end it carries ("The system cannot find the
// file specified."); "Error N" when the system has no text for it.
std::string SystemErrorText(uint32_t error);

}  // namespace tamlo
