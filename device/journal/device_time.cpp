#include "device/journal/device_time.h"

#include <cstdio>

namespace tamlo::journal {

std::string FormatDeviceTime(std::uint32_t seconds) {
  constexpr std::uint32_t kDay = 86400;
  constexpr std::uint32_t kCycle = 1461 * kDay;     // four years, leap year first
  constexpr std::uint32_t kLeapYear = 366 * kDay;
  constexpr std::uint32_t kYear = 365 * kDay;

  unsigned year = 2012 + 4 * (seconds / kCycle);
  std::uint32_t rest = seconds % kCycle;
  if (rest >= kLeapYear) {
    rest -= kLeapYear;
    year += 1 + rest / kYear;
    rest %= kYear;
  }
  unsigned day = rest / kDay;  // day of the year, from 0
  const unsigned time = rest % kDay;

  static const unsigned kMonthDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  unsigned month = 0;
  for (; month < 11; ++month) {
    const unsigned length = kMonthDays[month] + ((month == 1 && year % 4 == 0) ? 1 : 0);
    if (day < length) break;
    day -= length;
  }
  char text[32];
  std::snprintf(text, sizeof text, "%02u.%02u.%02u %02u:%02u:%02u", day + 1, month + 1, year % 100, time / 3600,
                time / 60 % 60, time % 60);
  return text;
}

}  // namespace tamlo::journal
