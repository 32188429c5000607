// The GSM status window: what a reply shows, the ways the user closes it
// (each cancels the polling once) and the device window's own close after
// the exchange, which must not leave a cancel behind for the next exchange.
#include "device/qt/gsm_status_window.h"

#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include "device_qt_test_app.h"

namespace tamlo {
namespace {

class GsmStatusWindowTest : public testing::DeviceQtTest {
 protected:
  void Show() {
    window.Show([this] { ++cancels; });
  }
  QString Text(const char* name) { return testing::Child<QLabel>(window, name)->text(); }

  TF_GSM_Status window{&main_window};
  int cancels = 0;
};

TEST_F(GsmStatusWindowTest, ReplyFillsBothSims_ShowingAgainResetsTheLevels) {
  Show();
  EXPECT_EQ(Text("L_GSM_Level_dB"), QStringLiteral("- - -"));
  const uint8_t reply[] = {2, 0, 0xA1, 15, 0xC1, 99};
  window.ShowStatus(reply, sizeof reply);
  EXPECT_EQ(testing::Child<QGroupBox>(window, "GroupBox1")->title(), QStringLiteral(" SIM 1: используется "));
  EXPECT_EQ(Text("L_GSM_Level_dB"), QStringLiteral("-83 dB"));
  EXPECT_EQ(Text("L_GSM_Level_Percent"), QStringLiteral("48%"));
  EXPECT_EQ(testing::Child<QProgressBar>(window, "PB_GSM_Level_Gauge")->value(), 48);
  EXPECT_EQ(Text("L_TextState"), QStringLiteral("Активна"));
  EXPECT_EQ(testing::Child<QGroupBox>(window, "GroupBox2")->title(), QStringLiteral(" SIM 2: ошибка "));
  EXPECT_EQ(Text("L_GSM_Level_Percent_SIM2"), QStringLiteral("- - -"));
  EXPECT_EQ(Text("L_TextState_SIM2"), QStringLiteral("Нет SIM-карты"));

  window.Close();
  EXPECT_FALSE(window.isVisible());
  EXPECT_EQ(cancels, 0);  // the exchange is over: nothing left to cancel
  Show();
  EXPECT_EQ(Text("L_GSM_Level_dB"), QStringLiteral("- - -"));
  EXPECT_EQ(testing::Child<QProgressBar>(window, "PB_GSM_Level_Gauge")->value(), 0);
  EXPECT_EQ(Text("L_TextState"), QStringLiteral("Активна"));
  window.Close();
}

TEST_F(GsmStatusWindowTest, CloseButtonEscAndCloseBox_EachCancelOnce) {
  const std::function<void()> ways[] = {
      [this] { QTest::mouseClick(testing::Child<QPushButton>(window, "B_GSM_Close"), Qt::LeftButton); },
      [this] { QTest::keyClick(&window, Qt::Key_Escape); },
      [this] { window.close(); },
  };
  for (size_t i = 0; i < std::size(ways); ++i) {
    SCOPED_TRACE(i);
    cancels = 0;
    Show();
    ways[i]();
    EXPECT_FALSE(window.isVisible());
    window.Close();  // the exchange returns and the device window closes it too
    EXPECT_EQ(cancels, 1);
  }
}

}  // namespace
}  // namespace tamlo
