#include "device/entry_rules.h"

namespace tamlo::device {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

}  // namespace

bool IsValidSerialNumber(std::string_view text) {
  if (text.size() != 13) return false;
  int sum = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (!IsDigit(text[i])) return false;
    sum += (text[i] - '0') * (i % 2 == 0 ? 1 : 3);
  }
  return sum % 10 == 0;
}

std::optional<std::string> SerialNumberFromScan(std::string_view text, std::string& error) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  if (text.size() != 13) {
    error = kSerialLengthMessage;
    return std::nullopt;
  }
  if (!IsValidSerialNumber(text)) {
    error = kSerialCheckMessage;
    return std::nullopt;
  }
  return std::string(text.substr(0, 12));
}

}  // namespace tamlo::device
