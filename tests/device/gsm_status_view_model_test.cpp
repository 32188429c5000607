// What the GSM status window keeps from reply to reply: the bar of a level
// that is not known, the captions and states across a new showing.
#include "device/gsm_status_view_model.h"

#include <gtest/gtest.h>

namespace tamlo::device {
namespace {

TEST(GsmStatusWindowModel, UnknownLevelKeepsTheBar_ShowingAgainResetsLevelsOnly) {
  GsmStatusWindowModel window;
  EXPECT_EQ(window.sims()[0].caption, " SIM 1 ");
  EXPECT_EQ(window.sims()[1].level_db, "- - -");

  const uint8_t first[] = {2, 0, 0xA1, 15, 0x41, 31};
  window.ShowGsmStatus(first, sizeof first);
  EXPECT_EQ(window.sims()[0].bar, 48);
  EXPECT_EQ(window.sims()[1].caption, " SIM 2: ошибка ");
  EXPECT_EQ(window.sims()[1].bar, 100);

  // SIM 1 loses its level, SIM 2 its record: both bars stay where they were.
  const uint8_t second[] = {1, 0, 0xA1, 99};
  window.ShowGsmStatus(second, sizeof second);
  EXPECT_EQ(window.sims()[0].level_percent, "- - -");
  EXPECT_EQ(window.sims()[0].bar, 48);
  EXPECT_EQ(window.sims()[1].caption, " SIM 2 ");
  EXPECT_EQ(window.sims()[1].state, "- - -");
  EXPECT_EQ(window.sims()[1].bar, 100);

  window.FormShow();
  EXPECT_EQ(window.sims()[0].bar, 0);
  EXPECT_EQ(window.sims()[0].level_db, "- - -");
  EXPECT_EQ(window.sims()[0].caption, " SIM 1: используется ");
  EXPECT_EQ(window.sims()[0].state, "Активна");
}

}  // namespace
}  // namespace tamlo::device
