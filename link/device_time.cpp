#include "link/device_time.h"

#include <cstdio>

namespace tamlo::link {
namespace {

constexpr uint32_t kDay = 86400;
constexpr uint32_t kYear = 365 * kDay;        // 31536000
constexpr uint32_t kLeapYear = 366 * kDay;    // 31622400
constexpr uint32_t kCycle = 1461 * kDay;      // 126230400: four years, a leap year first
constexpr int kMonthDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

int MonthDays(int month_index, int year) { return month_index == 1 && year % 4 == 0 ? 29 : kMonthDays[month_index]; }

}  // namespace

uint32_t DeviceTimeFromLocal(const LocalDateTime& t) {
  if (t.year < 2012) return 0;
  const uint32_t years = static_cast<uint32_t>(t.year - 2012);
  uint32_t days = (years + 3) / 4;  // leap days of the years before this one
  for (int m = 0; m < t.month - 1 && m < 12; ++m) days += static_cast<uint32_t>(MonthDays(m, t.year));
  days += static_cast<uint32_t>(t.day - 1);
  return years * kYear + days * kDay + static_cast<uint32_t>(t.hour * 3600 + t.minute * 60 + t.second);
}

std::string FormatDeviceTime(uint32_t seconds) {
  int year = 2012 + 4 * static_cast<int>(seconds / kCycle);
  uint32_t r = seconds % kCycle;
  if (r >= kLeapYear) {
    r -= kLeapYear;
    year += 1 + static_cast<int>(r / kYear);
    r %= kYear;
  }
  int day = static_cast<int>(r / kDay);
  int month = 0;
  while (month < 11 && day >= MonthDays(month, year)) day -= MonthDays(month++, year);
  const uint32_t s = r % kDay;
  // Room for six full ints: the values never exceed two digits, but the
  // compiler cannot see that and would otherwise warn of a truncation.
  char text[6 * 12];
  std::snprintf(text, sizeof text, "%02d.%02d.%02d %02d:%02d:%02d", day + 1, month + 1, year % 100,
                static_cast<int>(s / 3600), static_cast<int>(s / 60 % 60), static_cast<int>(s % 60));
  return text;
}

}  // namespace tamlo::link
