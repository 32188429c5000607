#include "device/port_order.h"

#include <algorithm>

namespace tamlo::device {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The end of the run of digits that starts at `i`.
size_t RunEnd(std::string_view text, size_t i) {
  while (i < text.size() && IsDigit(text[i])) ++i;
  return i;
}

// <0, 0, >0 as the numbers written in the two runs compare; any length.
int CompareNumbers(std::string_view a, std::string_view b) {
  a.remove_prefix(std::min(a.find_first_not_of('0'), a.size()));
  b.remove_prefix(std::min(b.find_first_not_of('0'), b.size()));
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  return a.compare(b);
}

}  // namespace

bool PortNameLess(std::string_view a, std::string_view b) {
  size_t i = 0;
  size_t j = 0;
  while (i < a.size() && j < b.size()) {
    if (IsDigit(a[i]) && IsDigit(b[j])) {
      const size_t a_end = RunEnd(a, i);
      const size_t b_end = RunEnd(b, j);
      if (const int order = CompareNumbers(a.substr(i, a_end - i), b.substr(j, b_end - j)); order != 0)
        return order < 0;
      i = a_end;
      j = b_end;
      continue;
    }
    if (a[i] != b[j]) return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]);
    ++i;
    ++j;
  }
  if (i < a.size() || j < b.size()) return j < b.size();  // the shorter one first
  return a < b;
}

}  // namespace tamlo::device
