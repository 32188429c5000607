// The phone book window binds its model: the rows in the list, "Вызов" per
// current row, cell edits and row keys back into the model, the result and
// the file written however the window closes.
#include "device/qt/phone_book_window.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include "config/system_file_system.h"
#include "config/test_pages.h"
#include "device_qt_test_app.h"
#include "support/temp_dir.h"

namespace tamlo {
namespace {

using tamlo::testing::ReadFileBytes;
using tamlo::testing::WriteFileBytes;

class PhoneBookWindowTest : public testing::DeviceQtTest {
 protected:
  PhoneBookWindowTest() { WriteFileBytes(path, "shop=letters only\r\n+7 (1) 2=first\r\n"); }

  // Shows the window and runs `user` inside its modal loop; a window still
  // open afterwards is closed by its close box.
  std::optional<device::DialTarget> Choose(TF_Phonebook& window, std::function<void()> user) {
    QTimer::singleShot(0, &window, [&] {
      user();
      if (window.isVisible()) window.close();
    });
    return window.ChooseNumber();
  }

  tamlo::testing::TempDir dir;
  std::string path = (dir / link::kPhoneBookFileName).string();
  testing::ScriptedDialogs dialogs;
};

TEST_F(PhoneBookWindowTest, ListShowsRowsAndCallFollowsTheCurrentRow) {
  device::PhoneBookModel model(path, SystemFileSystem(), dialogs);
  TF_Phonebook window(model, &main_window);
  auto* list = testing::Child<QTableWidget>(window, "GR_Phones");
  auto* call = testing::Child<QPushButton>(window, "B_Connect");
  auto* fast = testing::Child<QCheckBox>(window, "CB_FastConnect");
  EXPECT_EQ(list->horizontalHeaderItem(0)->text(), QString::fromUtf8("Телефон"));
  EXPECT_EQ(list->columnWidth(0), 150);
  EXPECT_EQ(list->columnWidth(1), 421);
  EXPECT_TRUE(fast->isChecked());

  const auto chosen = Choose(window, [&] {
    ASSERT_EQ(list->rowCount(), 2);
    EXPECT_EQ(list->item(1, 1)->text(), "first");
    list->setCurrentCell(0, 0);
    EXPECT_FALSE(call->isEnabled());
    list->setCurrentCell(1, 0);
    EXPECT_TRUE(call->isEnabled());
    fast->setChecked(false);
    QTest::mouseClick(call, Qt::LeftButton);
  });
  EXPECT_EQ(chosen, (device::DialTarget{"+712", false}));

  // Closed without a call: nothing to dial; the check box kept its state.
  EXPECT_EQ(Choose(window, [] {}), std::nullopt);
  EXPECT_FALSE(fast->isChecked());
}

TEST_F(PhoneBookWindowTest, EditsAndRowKeysReachTheFileOnCancel) {
  device::PhoneBookModel model(path, SystemFileSystem(), dialogs);
  TF_Phonebook window(model, &main_window);
  auto* list = testing::Child<QTableWidget>(window, "GR_Phones");
  auto* call = testing::Child<QPushButton>(window, "B_Connect");
  const auto chosen = Choose(window, [&] {
    list->setCurrentCell(0, 0);
    QTest::keyClick(list, Qt::Key_Delete, Qt::ControlModifier);  // "shop" goes
    ASSERT_EQ(list->rowCount(), 1);
    QTest::keyClick(list, Qt::Key_Down);  // a filled last row: one more row
    ASSERT_EQ(list->rowCount(), 2);
    EXPECT_EQ(list->currentRow(), 1);
    EXPECT_FALSE(call->isEnabled());
    list->item(1, 0)->setText("8=12");  // as the cell's editor commits it
    EXPECT_EQ(list->item(1, 0)->text(), "812");
    EXPECT_TRUE(call->isEnabled());
    QTest::mouseClick(testing::Child<QPushButton>(window, "B_Cancel"), Qt::LeftButton);
  });
  EXPECT_EQ(chosen, std::nullopt);
  EXPECT_EQ(ReadFileBytes(path), "+7 (1) 2=first\r\n812=\r\n");
  EXPECT_TRUE(dialogs.messages.empty());
}

}  // namespace
}  // namespace tamlo
