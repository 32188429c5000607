#include "pages/qt/event_code_picker_view.h"

#include <gtest/gtest.h>

#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <functional>

#include "config/test_pages.h"
#include "view_test_support.h"

namespace tamlo {
namespace {

using testing::ScriptedDialogs;

const std::vector<EventCodePickerRow> kRows = {{"130", "Тревога ; Восстановление"},
                                                {"130", "Тревога, второе описание"},
                                                {"602", "Периодический тест"}};

class EventCodePickerViewTest : public testing::PageViewTest {
 protected:
  ScriptedDialogs dialogs;
};

QTableWidget* List(TF_AdemcoList& dialog) { return dialog.findChild<QTableWidget*>("VL_List"); }
void Click(TF_AdemcoList& dialog, const char* button) {
  QTest::mouseClick(dialog.findChild<QPushButton*>(button), Qt::LeftButton);
}

TEST_F(EventCodePickerViewTest, List_HoldsTheRowsInOrder_ReadOnly) {
  EventCodePickerModel model(dialogs, kRows);
  TF_AdemcoList dialog(model);
  QTableWidget* list = List(dialog);
  ASSERT_NE(list, nullptr);
  ASSERT_EQ(list->rowCount(), 3);
  ASSERT_EQ(list->columnCount(), 2);
  for (int row = 0; row < 3; ++row) {
    EXPECT_EQ(list->item(row, 0)->text().toStdString(), kRows[static_cast<size_t>(row)].code);
    EXPECT_EQ(list->item(row, 1)->text().toStdString(), kRows[static_cast<size_t>(row)].value);
  }
  EXPECT_EQ(list->horizontalHeaderItem(0)->text(), QString::fromUtf8(kPickerCodeTitle));
  EXPECT_EQ(list->horizontalHeaderItem(1)->text(), QString::fromUtf8(kPickerCommentTitle));
  EXPECT_EQ(list->columnWidth(0), kPickerCodeWidth);
  EXPECT_EQ(list->columnWidth(1), kPickerCommentWidth);
  EXPECT_EQ(list->editTriggers(), QAbstractItemView::NoEditTriggers);
  EXPECT_EQ(list->currentRow(), 0);
  EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
  EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8(kPickerCaption));
}

TEST_F(EventCodePickerViewTest, EveryWayOfClosing_DecidesTheChosenCode) {
  const struct {
    const char* name;
    int row;
    std::function<void(TF_AdemcoList&)> act;
    const char* code;
  } cases[] = {
      {"B_Select", 2, [](TF_AdemcoList& d) { Click(d, "B_Select"); }, "602"},
      {"B_Cancel", 2, [](TF_AdemcoList& d) { Click(d, "B_Cancel"); }, ""},
      {"double click", 1,
       [](TF_AdemcoList& d) {
         QTableWidget* list = List(d);
         const QRect cell = list->visualRect(list->model()->index(1, 1));
         // As a mouse reports it: a click, then the second press as a double click.
         QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
         QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
       },
       "130"},
      {"Enter", 2, [](TF_AdemcoList& d) { QTest::keyClick(List(d), Qt::Key_Enter); }, "602"},
      {"Return", 0, [](TF_AdemcoList& d) { QTest::keyClick(List(d), Qt::Key_Return); }, "130"},
      {"Down, then Return", 1,
       [](TF_AdemcoList& d) {
         QTest::keyClick(List(d), Qt::Key_Down);  // other keys are the list's own
         ASSERT_TRUE(d.isVisible());
         QTest::keyClick(List(d), Qt::Key_Return);
       },
       "602"},
      {"Escape", 2, [](TF_AdemcoList& d) { QTest::keyClick(List(d), Qt::Key_Escape); }, ""},
      {"window closed", 2, [](TF_AdemcoList& d) { d.close(); }, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EventCodePickerModel model(dialogs, kRows);
    TF_AdemcoList dialog(model);
    dialog.show();
    ASSERT_TRUE(model.IsOpen());
    List(dialog)->setCurrentCell(c.row, 0);
    c.act(dialog);
    EXPECT_FALSE(model.IsOpen());
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(model.SelectedCode(), c.code);
    EXPECT_EQ(dialog.result(), *c.code ? QDialog::Accepted : QDialog::Rejected);
  }
}

TEST_F(EventCodePickerViewTest, EmptyList_WarnsAtTheFirstOpeningOnly_SelectChoosesNothing) {
  EventCodePickerModel model(dialogs, {});
  for (int opening = 0; opening < 2; ++opening) {
    TF_AdemcoList dialog(model);
    dialog.show();
    EXPECT_TRUE(dialog.isVisible());  // the picker opens all the same
    Click(dialog, "B_Select");
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(model.SelectedCode(), "");
  }
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].text, kNoEventCodeListWarning);
  EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Warning);
}

}  // namespace
}  // namespace tamlo
