// The entry dialog in its three modes: the edit takes what the mode allows,
// Enter closes with the mode's result or keeps the dialog for a new entry,
// Esc gives nothing; usable while the main window is disabled.
#include "device/qt/entry_dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <functional>

#include "config/test_pages.h"
#include "device_qt_test_app.h"

namespace tamlo {
namespace {

class EntryDialogTest : public testing::DeviceQtTest {
 protected:
  testing::ScriptedDialogs dialogs;
  TF_PassInput dialog{&main_window, dialogs};
  QLineEdit* edit = testing::Child<QLineEdit>(dialog, "E_Password");
  bool left_open = false;

  // Shows the dialog for `request` and runs `user` inside its modal loop;
  // a dialog the user's keys did not close is closed afterwards (left_open).
  std::optional<std::string> Ask(const device::EntryRequest& request, std::function<void()> user) {
    left_open = false;
    QTimer::singleShot(0, &dialog, [&] {
      user();
      if (dialog.isVisible()) {
        left_open = true;
        dialog.reject();
      }
    });
    return dialog.Ask(request);
  }
};

TEST_F(EntryDialogTest, ModesFilterTypingAndGiveTheirResult) {
  struct Case {
    device::EntryRequest request;
    const char* typed;
    const char* edit_text;
    std::optional<std::string> result;
  } cases[] = {
      {device::SerialNumberRequest(), "40a06-381333931", "4006381333931", "400638133393"},
      {device::KeyRequest(), "0123456789abcdefABCDEFxyz0123456789", "0123456789abcdefABCDEF0123456789",
       "0123456789abcdefABCDEF0123456789"},
      {device::KeyRequest(), "0123456789abcdefABCDEF012345678", "0123456789abcdefABCDEF012345678",
       std::nullopt},  // 31 characters: Enter keeps the dialog, silently
      {device::PasswordRequest(6, "12"), "34 x-5678", "1234 x", "1234 x"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    QString shown;
    QRect geometry;
    const auto result = Ask(c.request, [&] {
      geometry = edit->geometry();
      QTest::keyClick(edit, Qt::Key_End);
      QTest::keyClicks(edit, c.typed);
      shown = edit->text();
      QTest::keyClick(edit, Qt::Key_Return);
    });
    EXPECT_EQ(shown, QString::fromLatin1(c.edit_text));
    EXPECT_EQ(result, c.result);
    EXPECT_EQ(left_open, !c.result.has_value());
    if (c.request.mode == device::EntryMode::Key) {  // the key's own width, in the middle
      EXPECT_EQ(geometry.width(), 300);
      EXPECT_EQ(geometry.x(), (dialog.width() - 300) / 2);
    }
    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8(c.request.caption));
    EXPECT_EQ(testing::Child<QLabel>(dialog, "L_Password")->text(), QString::fromUtf8(c.request.prompt));
  }
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(EntryDialogTest, RefusedScanStaysOpenForANewOneAndEscGivesNothing) {
  const auto result = Ask(device::SerialNumberRequest(), [&] {
    QTest::keyClicks(edit, "400638133393");
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_TRUE(dialog.isVisible());
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
  });
  EXPECT_EQ(result, std::nullopt);
  EXPECT_FALSE(left_open);
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].text, device::kSerialLengthMessage);
  EXPECT_EQ(dialogs.messages[0].caption, device::kSerialNumberCaption);
}

TEST_F(EntryDialogTest, PasswordAskedDuringAnExchangeIsPrefilledAndUsable) {
  main_window.setEnabled(false);
  bool enabled = false;
  QString prefill;
  const auto result = Ask(device::PasswordRequest(8, "0000"), [&] {
    enabled = dialog.isEnabled() && edit->isEnabled();
    prefill = edit->text();
    QTest::keyClicks(edit, "4321");  // the prefill is selected: typing replaces it
    QTest::keyClick(edit, Qt::Key_Enter);
  });
  main_window.setEnabled(true);
  EXPECT_TRUE(enabled);
  EXPECT_EQ(prefill, "0000");
  EXPECT_EQ(result, "4321");
}

}  // namespace
}  // namespace tamlo
