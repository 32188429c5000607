// Device time both ways and the GSM status decoding: known values at the
// calendar's and the display's edges.
#include <gtest/gtest.h>

#include "link/device_time.h"
#include "link/gsm_status.h"

namespace tamlo::link {
namespace {

TEST(DeviceTime, KnownValues) {
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

TEST(GsmStatus, LevelsAndStatesAsShown) {
  const uint8_t reply[] = {2, 0, 0xA1, 15, 0xC1, 0};
  const auto v = DecodeGsmStatus(reply, sizeof reply);
  EXPECT_EQ(v[0].caption, " SIM 1: используется ");
  EXPECT_EQ(v[0].level_db, "-83 dB");
  EXPECT_EQ(v[0].level_percent, "48%");
  EXPECT_EQ(v[0].bar, 48);
  EXPECT_EQ(v[0].state, "Активна");
  EXPECT_EQ(v[1].caption, " SIM 2: ошибка ");  // failure wins over "in use"
  EXPECT_EQ(v[1].level_db, "-113 dB");
  EXPECT_EQ(v[1].level_percent, "0%");
  EXPECT_EQ(v[1].bar, 0);
  EXPECT_EQ(v[1].state, "Нет SIM-карты");
}

TEST(GsmStatus, LevelClampUnknownLevelAndMissingRecord) {
  struct Case {
    uint8_t level;
    const char* db;
    const char* percent;
    int bar;  // -1: keeps its position
  } cases[] = {{31, "-51 dB", "100%", 100}, {40, "-51 dB", "100%", 100}, {56, "-51 dB", "100%", 100},
               {57, "- - -", "- - -", -1},  {99, "- - -", "- - -", -1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.level);
    const uint8_t reply[] = {1, 0, 0x07, c.level};
    const auto v = DecodeGsmStatus(reply, sizeof reply);
    EXPECT_EQ(v[0].level_db, c.db);
    EXPECT_EQ(v[0].level_percent, c.percent);
    EXPECT_EQ(v[0].bar.value_or(-1), c.bar);
    EXPECT_EQ(v[0].state, "Неизвестный статус 7");
    EXPECT_EQ(v[0].caption, " SIM 1 ");
    EXPECT_EQ(v[1].caption, " SIM 2 ");  // N = 1: no record for SIM 2
    EXPECT_EQ(v[1].state, "- - -");
    EXPECT_EQ(v[1].level_db, "- - -");
    EXPECT_FALSE(v[1].bar.has_value());
  }
}

}  // namespace
}  // namespace tamlo::link
