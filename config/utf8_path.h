#pragma once
// std::filesystem::path and the program's UTF-8 text. On Windows
// path(std::string) reads the bytes in the ANSI code page, so a Cyrillic
// folder comes out as mojibake (and path::string() writes UTF-8 with MinGW
// but the ANSI code page with other compilers); these keep the bytes UTF-8
// both ways on every system.
#include <filesystem>
#include <string>
#include <string_view>

namespace tamlo {

inline std::filesystem::path PathOfUtf8(std::string_view utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

inline std::string Utf8OfPath(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

}  // namespace tamlo
