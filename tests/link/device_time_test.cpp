// Device time both ways: known values at the calendar's edges.
#include <gtest/gtest.h>

#include "link/device_time.h"

namespace tamlo::link {
namespace {

TEST(DeviceTime, CalendarEdges_FormatAndConvertExactly_BeforeEpochIsZero) {
  EXPECT_EQ(FormatDeviceTime(0), "01.01.12 00:00:00");
  EXPECT_EQ(FormatDeviceTime(31536000), "31.12.12 00:00:00");   // 2012 is a leap year
  EXPECT_EQ(FormatDeviceTime(31622400), "01.01.13 00:00:00");
  EXPECT_EQ(FormatDeviceTime(31622399), "31.12.12 23:59:59");
  EXPECT_EQ(FormatDeviceTime(126230400), "01.01.16 00:00:00");  // the next four-year cycle
  EXPECT_EQ(DeviceTimeFromLocal({2013, 3, 1, 0, 0, 0}), 36720000u);
  EXPECT_EQ(DeviceTimeFromLocal({2012, 1, 1, 0, 0, 0}), 0u);
  EXPECT_EQ(DeviceTimeFromLocal({2011, 12, 31, 23, 59, 59}), 0u);
}

TEST(DeviceTime, RoundTripsOverCenturyOfDays) {
  for (int year : {2012, 2015, 2016, 2024, 2099}) {
    for (int month = 1; month <= 12; ++month) {
      for (int day : {1, 28, 29, 30, 31}) {
        static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
        const int last = month == 2 && year % 4 == 0 ? 29 : kDays[month - 1];
        if (day > last) continue;
        char expected[32];
        std::snprintf(expected, sizeof expected, "%02d.%02d.%02d 13:07:59", day, month, year % 100);
        EXPECT_EQ(FormatDeviceTime(DeviceTimeFromLocal({year, month, day, 13, 7, 59})), expected);
      }
    }
  }
}

}  // namespace
}  // namespace tamlo::link
