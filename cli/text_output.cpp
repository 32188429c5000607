#include "cli/text_output.h"

#include <cstdio>

namespace tamlo::cli {

std::string JsonString(std::string_view utf8) {
  std::string out = "\"";
  for (unsigned char c : utf8) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char esc[8];
      std::snprintf(esc, sizeof esc, "\\u%04x", c);
      out += esc;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

std::optional<std::string> UnescapeControls(std::string_view line) {
  const auto hex = [](char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
  };
  std::string out;
  out.reserve(line.size());
  for (size_t i = 0; i < line.size(); ++i) {
    if (line[i] != '\\') {
      out += line[i];
      continue;
    }
    if (++i >= line.size()) return std::nullopt;
    switch (line[i]) {
      case '\\': out += '\\'; break;
      case 'n': out += '\n'; break;
      case 'r': out += '\r'; break;
      case 't': out += '\t'; break;
      case 'x':
        if (i + 2 >= line.size() || hex(line[i + 1]) < 0 || hex(line[i + 2]) < 0) return std::nullopt;
        out += static_cast<char>(hex(line[i + 1]) * 16 + hex(line[i + 2]));
        i += 2;
        break;
      default: return std::nullopt;
    }
  }
  return out;
}

std::string Column(const std::string& s, size_t width, bool right_aligned) {
  const size_t b = s.find_first_not_of(' ');
  const std::string text = b == std::string::npos ? std::string() : s.substr(b, s.find_last_not_of(' ') - b + 1);
  size_t chars = 0;
  for (unsigned char c : text) chars += (c & 0xC0) != 0x80;
  const std::string pad(chars >= width ? 0 : width - chars, ' ');
  return right_aligned ? pad + text : text + pad;
}

}  // namespace tamlo::cli
