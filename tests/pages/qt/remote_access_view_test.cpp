// TF_RemoteAccess: the click rule, the digit count, and the phone list, whose
// rows the keys and the context menu add and delete and whose cells reach the
// model as typed.
#include "pages/qt/remote_access_view.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QTableWidget>
#include <memory>

#include "view_test_support.h"

namespace tamlo {

void PrintTo(const PhoneRow& row, std::ostream* out) { *out << '{' << row.phone << " | " << row.note << '}'; }

namespace {

class RemoteAccessViewTest : public testing::PageViewTest {
 protected:
  RemoteAccessViewTest() {
    m_model.ResetToDefaults();
    m_page.ShowModel();
    m_list = testing::Child<QTableWidget>(m_page, "LIST_Phones");
  }

  void SetRows(std::initializer_list<PhoneRow> rows) {
    m_model.SetEnableAcs(true);
    for (const PhoneRow& row : rows) {
      m_model.InsertRow(m_model.RowCount());
      m_model.SetPhone(m_model.RowCount() - 1, row.phone);
      m_model.SetNote(m_model.RowCount() - 1, row.note);
    }
    m_page.ShowModel();
  }

  // Keys as the user types them: the first opens the current cell, the rest
  // go to its editor; Enter commits.
  void TypeIntoList(const char* text) {
    m_list->setFocus();
    for (const char* ch = text; *ch; ++ch) QTest::keyClick(QApplication::focusWidget(), *ch);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    // The list commits an edit closed by Enter from its event queue.
    QCoreApplication::processEvents();
  }

  std::vector<PhoneRow> ShownRows() const {
    std::vector<PhoneRow> rows;
    for (int r = 0; r < m_list->rowCount(); ++r)
      rows.push_back({m_list->item(r, 0)->text().toStdString(), m_list->item(r, 1)->text().toStdString()});
    return rows;
  }

  RemoteAccessModel m_model;
  TF_RemoteAccess m_page{m_model};
  QTableWidget* m_list = nullptr;
};

TEST_F(RemoteAccessViewTest, ClickingEnableAcs_ShowsAndHidesDigitsAndList) {
  testing::ShowActive(m_page);
  auto* enable = testing::Child<QCheckBox>(m_page, "CB_EnableAcs");
  for (const bool ticked : {true, false}) {
    SCOPED_TRACE(ticked);
    QTest::mouseClick(enable, Qt::LeftButton);
    EXPECT_EQ(m_model.state().CB_EnableAcs, ticked);
    for (const char* name : {"L_MaxPhoneLen", "E_MaxPhoneLen", "LIST_Phones"})
      EXPECT_EQ(testing::Child(m_page, name)->isVisible(), ticked) << name;
  }
}

TEST_F(RemoteAccessViewTest, ModelState_ShowsInTheWidgets_DigitsWholeBeyondTheLimit) {
  SetRows({{"+79001234567", " note "}, {"", "only a note"}});
  m_model.SetMaxPhoneLen("123");
  m_page.ShowModel();
  EXPECT_TRUE(testing::Child<QCheckBox>(m_page, "CB_EnableAcs")->isChecked());
  EXPECT_EQ(testing::Child<QLineEdit>(m_page, "E_MaxPhoneLen")->text(), "123");
  EXPECT_EQ(ShownRows(), m_model.state().LIST_Phones);

  m_model.ResetToDefaults();
  m_page.ShowModel();
  EXPECT_EQ(m_list->rowCount(), 0);
  EXPECT_EQ(testing::Child<QLineEdit>(m_page, "E_MaxPhoneLen")->text(), "10");
}

// Insert adds an empty row at the current one and makes it current, typing
// fills its phone, and deleting the current row takes it away again; the
// keys and the context menu's entries alike.
TEST_F(RemoteAccessViewTest, KeysAndMenu_InsertFillAndDeleteRows) {
  testing::ShowActive(m_page);
  auto* menu = testing::Child<QMenu>(m_page, "PopupMenu1");
  auto* insert = testing::Child<QAction>(*menu, "N_InsertRow");
  auto* remove = testing::Child<QAction>(*menu, "N_DeleteRow");
  const struct {
    const char* how;
    std::function<void()> insert_row, delete_row;
  } ways[] = {
      {"keys", [this] { QTest::keyClick(m_list, Qt::Key_Insert); },
       [this] { QTest::keyClick(m_list, Qt::Key_Delete, Qt::ShiftModifier); }},
      {"menu", [insert] { insert->trigger(); }, [remove] { remove->trigger(); }},
  };
  for (const auto& way : ways) {
    SCOPED_TRACE(way.how);
    m_model.ResetToDefaults();
    SetRows({{"1", "a"}, {"2", "b"}});
    m_list->setFocus();
    m_list->setCurrentCell(1, 0);
    way.insert_row();
    EXPECT_EQ(m_model.state().LIST_Phones, (std::vector<PhoneRow>{{"1", "a"}, {"", ""}, {"2", "b"}}));
    TypeIntoList("555");
    EXPECT_EQ(m_model.state().LIST_Phones, (std::vector<PhoneRow>{{"1", "a"}, {"555", ""}, {"2", "b"}}));
    m_list->setCurrentCell(0, 1);
    way.delete_row();
    EXPECT_EQ(m_model.state().LIST_Phones, (std::vector<PhoneRow>{{"555", ""}, {"2", "b"}}));
    EXPECT_EQ(ShownRows(), m_model.state().LIST_Phones);
  }
}

TEST_F(RemoteAccessViewTest, TypingIntoAnEmptyList_StartsItsFirstRow_NoteCellKeepsItsBlanks) {
  testing::ShowActive(m_page);
  SetRows({});
  TypeIntoList("12");
  m_list->setCurrentCell(0, 1);
  TypeIntoList(" x ");
  EXPECT_EQ(m_model.state().LIST_Phones, (std::vector<PhoneRow>{{"12", " x "}}));
}

TEST_F(RemoteAccessViewTest, PageDestroyedWhileACellIsBeingEdited_EditReachesNoModel) {
  RemoteAccessModel model;
  model.SetEnableAcs(true);
  auto page = std::make_unique<TF_RemoteAccess>(model);
  testing::ShowActive(*page);
  auto* list = testing::Child<QTableWidget>(*page, "LIST_Phones");
  list->setFocus();
  QTest::keyClick(list, '7');  // opens the first row's phone with "7"
  ASSERT_NE(QApplication::focusWidget(), list);
  page.reset();
  EXPECT_EQ(model.state().LIST_Phones, (std::vector<PhoneRow>{{"", ""}}));
}

TEST_F(RemoteAccessViewTest, LeavingDigits_EmptyOrZeroBecomesTen) {
  SetRows({});
  testing::ShowActive(m_page);
  testing::ExpectLeavingRule(m_page, "E_MaxPhoneLen", "LIST_Phones", {{"", "10"}, {"0", "10"}, {"7", "7"}},
                             [this] { return m_model.state().E_MaxPhoneLen; });
}

TEST_F(RemoteAccessViewTest, DigitsNamedByTheirLabel_ListHasAName) {
  testing::ExpectLabelled(m_page, {"E_MaxPhoneLen", "L_MaxPhoneLen", nullptr});
  EXPECT_FALSE(m_list->accessibleName().isEmpty());
}

}  // namespace
}  // namespace tamlo
