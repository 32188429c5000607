#include "pages/input_rules.h"

#include <cstdio>

#include "config/config_tree.h"
#include "config/cp1251.h"

namespace tamlo {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexDigit(char c) {
  if (IsDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The unsigned number at the start of the text after leading blanks, like
// atoi; 0 when there is none. Stops growing past nine digits.
int LeadingNumber(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  int value = 0;
  for (int digits = 0; i < text.size() && IsDigit(text[i]) && digits < 9; ++i, ++digits)
    value = value * 10 + (text[i] - '0');
  return value;
}

}  // namespace

bool DigitsOnlyFilter(char32_t ch) { return ch < 32 || (ch >= U'0' && ch <= U'9'); }

bool ContactIdDigitFilter(char32_t ch) {
  return ch < 32 || (ch >= U'0' && ch <= U'9') || (ch >= U'B' && ch <= U'F') || (ch >= U'b' && ch <= U'f');
}

int32_t EditIntValue(std::string_view text, int32_t fallback) {
  text = TrimText(text);
  bool negative = false;
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return fallback;
  int64_t value = 0;
  for (char c : text) {
    if (!IsDigit(c)) return fallback;
    value = value * 10 + (c - '0');
    if (value > int64_t{INT32_MAX} + 1) return fallback;
  }
  if (negative) value = -value;
  if (value > INT32_MAX || value < INT32_MIN) return fallback;
  return static_cast<int32_t>(value);
}

std::string ZeroToDefault(std::string_view text, std::string_view default_text) {
  return std::string(EditIntValue(text, 0) == 0 ? default_text : text);
}

int ParseTimeField(std::string_view text) {
  const int hours = LeadingNumber(text);
  const int minutes = text.size() > 3 ? LeadingNumber(text.substr(3)) : 0;
  return hours * 60 + minutes;
}

std::string FormatTimeField(int minutes) {
  if (minutes < 0) return "00:00";
  if (minutes / 60 >= 100) return "99:59";
  char text[8];
  std::snprintf(text, sizeof text, "%02d:%02d", minutes / 60, minutes % 60);
  return text;
}

uint32_t ParseHexField(std::string_view text, uint32_t default_value) {
  text = TrimText(text);
  if (text.empty() || HexDigit(text[0]) < 0) return default_value;
  uint64_t value = 0;
  for (size_t i = 0; i < text.size() && HexDigit(text[i]) >= 0; ++i) {
    value = value * 16 + static_cast<uint64_t>(HexDigit(text[i]));
    if (value > 0xFFFFFFFFu) return 0xFFFFFFFFu;
  }
  return static_cast<uint32_t>(value);
}

std::string FieldText(const uint8_t* data, size_t length) {
  const std::string_view raw(reinterpret_cast<const char*>(data), length);
  return Cp1251ToUtf8(raw.substr(0, raw.find('\0')));
}

}  // namespace tamlo
