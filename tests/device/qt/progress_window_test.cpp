// The exchange progress window: one cancel per exchange whether through the
// button, the close box or Esc, steps shown on the bar, and a cancel click
// delivered by the link's message pump while the main window is disabled.
#include "device/qt/progress_window.h"

#include <QDialog>
#include <QImage>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include "device_qt_test_app.h"
#include "link/qt/qt_message_pump.h"

namespace tamlo {
namespace {

class ProgressWindowTest : public testing::DeviceQtTest {
 protected:
  TF_UpdateProgress window{&main_window};
  int cancels = 0;
  QPushButton* button = testing::Child<QPushButton>(window, "B_UpdateClose");
  QProgressBar* gauge = testing::Child<QProgressBar>(window, "PB_UpdateGauge");
  QLabel* status = testing::Child<QLabel>(window, "L_UpdateStatus");

  void Begin() {
    window.Begin([this] { ++cancels; });
  }
};

TEST_F(ProgressWindowTest, EveryWayOfCancellingActsOncePerExchange) {
  const std::function<void(TF_UpdateProgress&, QPushButton&)> ways[] = {
      [](TF_UpdateProgress&, QPushButton& b) { QTest::mouseClick(&b, Qt::LeftButton); },
      [](TF_UpdateProgress& w, QPushButton&) { w.close(); },
      [](TF_UpdateProgress& w, QPushButton&) { QTest::keyClick(&w, Qt::Key_Escape); },
  };
  for (size_t i = 0; i < std::size(ways); ++i) {
    SCOPED_TRACE(i);
    cancels = 0;
    Begin();
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(button->isEnabled());
    ways[i](window, *button);
    ways[i](window, *button);
    EXPECT_EQ(cancels, 1);
    EXPECT_FALSE(button->isEnabled());
    // Closing is refused while the exchange runs, however asked for.
    window.close();
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(cancels, 1);
    window.End();
    EXPECT_FALSE(window.isVisible());
  }
}

TEST_F(ProgressWindowTest, StepsSetTheBar_ReadableOnBothSidesOfItsPosition) {
  Begin();
  window.SetStep("Запись", 0);  // a step without a size counts in percent
  EXPECT_EQ(gauge->maximum(), 100);
  window.SetStep("Чтение журнала", 1000);
  window.SetPosition(500);
  const QImage bar = gauge->grab().toImage();
  const int y = bar.height() / 2;
  EXPECT_NE(bar.pixelColor(bar.width() / 4, y), bar.pixelColor(bar.width() * 3 / 4, y));
  window.SetStep("Обновление", 4096);
  window.SetPosition(5000);  // past the end shows full, not the last position
  EXPECT_EQ(gauge->value(), 4096);
  auto* wait = testing::Child<QLabel>(window, "L_WaitTime");
  window.SetWaitText("Ожидание ответа: 9 из 30 с");
  EXPECT_EQ(wait->text(), "Ожидание ответа: 9 из 30 с");
  window.End();
  Begin();  // the next exchange starts afresh
  EXPECT_EQ(status->text(), "...");
  EXPECT_EQ(gauge->value(), 0);
  EXPECT_EQ(wait->text(), "");
  window.End();
}

TEST_F(ProgressWindowTest, PumpDeliversCancelWhileMainWindowIsDisabled) {
  Begin();
  main_window.setEnabled(false);  // as for the length of an exchange
  EXPECT_TRUE(button->isEnabled());
  // The click arrives as an event while the exchange waits in the pump.
  QMetaObject::invokeMethod(button, &QPushButton::click, Qt::QueuedConnection);
  link::QtMessagePump pump;
  for (int i = 0; i < 10 && cancels == 0; ++i) pump.DispatchPending();
  EXPECT_EQ(cancels, 1);
  window.End();
  main_window.setEnabled(true);
}

// An exchange started from a modal window (the key window): the click on
// "Отмена" comes from the window system, which the modal window would block
// for any window not above it.
TEST_F(ProgressWindowTest, CancelReachesTheExchangeStartedFromAModalWindow) {
  QDialog modal(&main_window);
  modal.setWindowModality(Qt::ApplicationModal);
  modal.show();
  Begin();
  QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, button->mapTo(&window, button->rect().center()));
  EXPECT_EQ(cancels, 1);
  window.End();
  modal.hide();
}

}  // namespace
}  // namespace tamlo
