// Until the GSM window exists, the first status reply goes into the service
// log and ends the polling, which nothing else could cancel.
#include "app/gsm_status_to_log.h"

#include <gtest/gtest.h>

#include <vector>

namespace tamlo {
namespace {

struct Lines final : ServiceLog {
  void LogInfo(std::string_view text) override { lines.emplace_back(text); }
  std::vector<std::string> lines;
};

TEST(GsmStatusToLog, FirstReplyIsLoggedPerSimAndCancelsThePollingOnce) {
  Lines log;
  GsmStatusToLog view;
  view.SetLog(log);
  int cancels = 0;
  view.Show([&cancels] { ++cancels; });
  const uint8_t reply[] = {0x02, 0x00, 0xA1, 0x0F, 0x01, 0x63};
  view.ShowStatus(reply, sizeof reply);
  view.ShowStatus(reply, sizeof reply);  // a reply already on its way
  EXPECT_EQ(cancels, 1);
  ASSERT_EQ(log.lines.size(), 4u);
  EXPECT_EQ(log.lines[0], "SIM 1: используется - Активна, уровень -83 dB (48%)");
  EXPECT_EQ(log.lines[1], "SIM 2 - Нет SIM-карты, уровень - - - (- - -)");
}

}  // namespace
}  // namespace tamlo
