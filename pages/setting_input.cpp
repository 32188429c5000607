#include "pages/setting_input.h"

#include <cstdint>

namespace tamlo {
namespace {

// Next code point of UTF-8 text, advancing `pos`; none for malformed bytes.
std::optional<char32_t> NextCodePoint(std::string_view text, size_t& pos) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(pos);
  size_t extra = 0;
  char32_t ch = 0;
  if (lead < 0x80) {
    ch = lead;
  } else if ((lead & 0xE0) == 0xC0) {
    extra = 1;
    ch = lead & 0x1F;
  } else if ((lead & 0xF0) == 0xE0) {
    extra = 2;
    ch = lead & 0x0F;
  } else if ((lead & 0xF8) == 0xF0) {
    extra = 3;
    ch = lead & 0x07;
  } else {
    return std::nullopt;
  }
  if (pos + extra >= text.size()) return std::nullopt;
  for (size_t i = 1; i <= extra; ++i) {
    if ((byte(pos + i) & 0xC0) != 0x80) return std::nullopt;
    ch = ch << 6 | (byte(pos + i) & 0x3F);
  }
  pos += extra + 1;
  return ch;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::optional<std::string> TypingRefusal(std::string_view value, int max_length, bool (*filter)(char32_t),
                                         std::string_view current) {
  if (value == current) return std::nullopt;
  size_t characters = 0;
  for (size_t pos = 0; pos < value.size(); ++characters) {
    const size_t start = pos;
    const std::optional<char32_t> ch = NextCodePoint(value, pos);
    if (!ch) return "'" + std::string(value) + "' is not UTF-8 text";
    // The filters let control codes through because they are editing keys,
    // not characters an edit can hold.
    if (*ch < 32 || (filter && !filter(*ch)))
      return "'" + std::string(value.substr(start, pos - start)) + "' cannot be typed into this edit";
  }
  if (max_length > 0 && characters > static_cast<size_t>(max_length))
    return "'" + std::string(value) + "' is longer than the " + std::to_string(max_length) +
           " characters this edit takes";
  return std::nullopt;
}

std::optional<std::string> TimeFieldRefusal(std::string_view value) {
  bool ok = value.size() == 5 && value[2] == ':';
  for (size_t i : {0, 1, 3, 4}) ok = ok && (IsDigit(value[i]) || value[i] == ' ');
  if (ok) return std::nullopt;
  return "'" + std::string(value) + "' is not a time field text HH:MM";
}

std::optional<bool> ParseTick(std::string_view value) {
  if (value == "on") return true;
  if (value == "off") return false;
  return std::nullopt;
}

SettingApply RefusedTick(std::string_view value) {
  return SettingApply::Refused("'" + std::string(value) + "' is neither on nor off");
}

bool TakePrefix(std::string_view& name, std::string_view prefix) {
  if (name.substr(0, prefix.size()) != prefix) return false;
  name.remove_prefix(prefix.size());
  return true;
}

std::optional<int> TakeNumber(std::string_view& name, int max) {
  size_t digits = 0;
  int number = 0;
  while (digits < name.size() && IsDigit(name[digits]) && number <= max) number = number * 10 + (name[digits++] - '0');
  if (digits == 0 || name[0] == '0' || number < 1 || number > max || digits >= name.size() || name[digits] != '.')
    return std::nullopt;
  name.remove_prefix(digits + 1);
  return number;
}

}  // namespace tamlo
