// TIPAddress: the packed address (first octet most significant, blank = 0),
// an address set before the first show, and the keys that move between the
// octets.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

#include "widget_test_app.h"
#include "widgets/ip_address_edit.h"

namespace tamlo {
namespace {

TEST(TIPAddressTest, Packing_FirstOctetMostSignificant_BlankOctetsReadZero) {
  struct Case {
    const char* octets[4];
    uint32_t address;
  } cases[] = {
      {{"192", "168", "1", "10"}, 0xC0A8010Au},
      {{"255", "255", "255", "0"}, 0xFFFFFF00u},
      {{"", "", "", ""}, 0u},
      {{"10", "", "", "1"}, 0x0A000001u},
      {{"0", "0", "0", "0"}, 0u},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.address);
    TIPAddress field;
    for (int i = 0; i < 4; ++i) field.Octet(i)->setText(c.octets[i]);
    EXPECT_EQ(field.GetAddress(), c.address);

    TIPAddress copy;
    copy.SetAddress(c.address);
    EXPECT_EQ(copy.GetAddress(), c.address);
    EXPECT_FALSE(copy.IsBlank());  // a set address shows all four octets, 0.0.0.0 too
  }
  TIPAddress field;
  EXPECT_TRUE(field.IsBlank());
  field.SetAddress(0xFFFFFF00u);
  EXPECT_EQ(field.Octet(0)->text() + "." + field.Octet(1)->text() + "." + field.Octet(2)->text() + "." +
                field.Octet(3)->text(),
            "255.255.255.0");
  field.ClearAddress();
  EXPECT_TRUE(field.IsBlank());
  EXPECT_EQ(field.GetAddress(), 0u);
}

TEST(TIPAddressTest, AddressSetBeforeFirstShow_IsShownAndKept) {
  QWidget page;
  auto* field = new TIPAddress(&page);
  int edits = 0;
  QObject::connect(field, &TIPAddress::addressEdited, [&edits] { ++edits; });
  field->SetAddress(0xC0A80001u);
  page.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
  EXPECT_TRUE(field->Octet(3)->isVisible());
  EXPECT_EQ(field->Octet(0)->displayText(), "192");
  EXPECT_EQ(field->Octet(3)->displayText(), "1");
  EXPECT_EQ(field->GetAddress(), 0xC0A80001u);
  EXPECT_EQ(edits, 0);  // only the user's changes are edits
}

class TIPAddressKeysTest : public ::testing::Test {
 protected:
  TIPAddressKeysTest() {
    auto* layout = new QVBoxLayout(&page);
    before = new QLineEdit(&page);
    field = new TIPAddress(&page);
    after = new QLineEdit(&page);
    layout->addWidget(before);
    layout->addWidget(field);
    layout->addWidget(after);
    QObject::connect(field, &TIPAddress::addressEdited, [this] { ++edits; });
    page.show();
    page.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&page));
    field->setFocus();
  }
  int Focused() const {
    for (int i = 0; i < 4; ++i)
      if (field->Octet(i)->hasFocus()) return i;
    return -1;
  }

  QWidget page;
  QLineEdit* before;
  TIPAddress* field;
  QLineEdit* after;
  int edits = 0;
};

TEST_F(TIPAddressKeysTest, DotsAfterDigitsAndFullOctetsMoveOn_OverRangeDigitsAreRefused) {
  testing::TypeIntoFocus("192.168.1.10");
  EXPECT_EQ(field->GetAddress(), 0xC0A8010Au);
  EXPECT_GT(edits, 0);

  field->ClearAddress();
  field->setFocus();
  testing::TypeIntoFocus("10025");  // three digits complete an octet
  EXPECT_EQ(field->Octet(0)->text(), "100");
  EXPECT_EQ(field->Octet(1)->text(), "25");
  testing::TypeIntoFocus("6");  // 256 is no octet
  EXPECT_EQ(field->Octet(1)->text(), "25");
  EXPECT_EQ(Focused(), 1);
  // Typed over an old address (Tab selects the first octet): the dot after
  // three digits makes no second move, whatever the next octet holds.
  for (const uint32_t old_address : {0xFFFFFF00u, 0xC0A8010Au}) {
    field->SetAddress(old_address);
    before->setFocus();
    QTest::keyClick(before, Qt::Key_Tab);
    testing::TypeIntoFocus("255.255.100.200");
    EXPECT_EQ(field->GetAddress(), 0xFFFF64C8u);
  }
}

TEST_F(TIPAddressKeysTest, ArrowsAtTheEdges_BackspaceInAnEmptyOctet_OneTabStop) {
  testing::TypeIntoFocus("12");
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Left);
  EXPECT_EQ(Focused(), 0);  // inside the octet: the cursor moves
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_End);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
  EXPECT_EQ(Focused(), 1);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);  // empty octet: at its end
  EXPECT_EQ(Focused(), 2);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Left);
  EXPECT_EQ(Focused(), 1);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
  EXPECT_EQ(Focused(), 0);
  EXPECT_EQ(field->Octet(0)->text(), "12");  // going back deletes nothing

  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Period);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Period);  // in an empty octet: stays
  EXPECT_EQ(Focused(), 1);
  testing::TypeIntoFocus("5.");
  EXPECT_EQ(Focused(), 2);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  EXPECT_TRUE(after->hasFocus());
  after->setFocus();
  QTest::keyClick(after, Qt::Key_Backtab);
  EXPECT_EQ(Focused(), 0);
  // "12" selected: the first Right goes to its end, the second over the dot
  // to the start of "5", the third past the 5, the fourth over the next dot.
  for (int i = 0; i < 3; ++i) QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
  EXPECT_EQ(Focused(), 1);
  EXPECT_EQ(field->Octet(1)->cursorPosition(), 1);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
  EXPECT_EQ(Focused(), 2);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
  EXPECT_TRUE(before->hasFocus());
}

TEST(TIPAddressTest, AccessibleNames_OfTheFieldAndEachOctet) {
  TIPAddress field;
  field.SetAccessibleName("IP-адрес расширителя");
  EXPECT_EQ(field.accessibleName(), "IP-адрес расширителя");
  EXPECT_EQ(field.Octet(0)->accessibleName(), "IP-адрес расширителя октет 1");
  EXPECT_EQ(field.Octet(3)->accessibleName(), "IP-адрес расширителя октет 4");
}

}  // namespace
}  // namespace tamlo
