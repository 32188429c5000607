// The GSM status window's texts from the device's reply: captions, levels
// and states at the display's edges.
#include "device/gsm_status_text.h"

#include <gtest/gtest.h>

namespace tamlo::device {
namespace {

TEST(GsmStatusText, LevelsAndStatesAsShown) {
  const uint8_t reply[] = {2, 0, 0xA1, 15, 0xC1, 0};
  const auto v = GsmStatusText(reply, sizeof reply);
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

TEST(GsmStatusText, LevelClampUnknownLevelAndMissingRecord) {
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
    const auto v = GsmStatusText(reply, sizeof reply);
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
}  // namespace tamlo::device
