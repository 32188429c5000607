#include "pages/qt/general_settings_view.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QTest>

#include "config/tagged_encoding.h"
#include "config/test_pages.h"
#include "view_test_support.h"

namespace tamlo {
namespace {

using testing::ScriptedDialogs;

class GeneralSettingsViewTest : public testing::PageViewTest {
 protected:
  // The model's value of one setting, as the settings listing gives it.
  std::string Setting(const std::string& control) const {
    std::vector<SettingValue> all;
    model.ListSettings(all);
    for (const SettingValue& s : all)
      if (s.name == "general." + control) return s.value;
    ADD_FAILURE() << "no setting " << control;
    return {};
  }
  QLineEdit* Edit(const char* name) { return view.findChild<QLineEdit*>(name); }
  QCheckBox* Check(const char* name) { return view.findChild<QCheckBox*>(name); }

  ScriptedDialogs dialogs;
  std::array<LoopInputModel, 4> inputs{LoopInputModel(0), LoopInputModel(1), LoopInputModel(2), LoopInputModel(3)};
  GeneralSettingsModel model{dialogs, {&inputs[0], &inputs[1], &inputs[2], &inputs[3]}};
  TF_Obsh_Nastr view{model};
};

TEST_F(GeneralSettingsViewTest, Typing_ReachesModelThroughKeyFilterAndLimit) {
  const struct {
    const char* control;
    const char* typed;
    const char* stored;
  } cases[] = {
      {"E_Account", "1a2A3b45", "123b"},          // "A" is no Contact ID digit; 4 characters
      {"E_Pin1", "12x345 678901", "12345678"},    // digits only; 8 characters
      {"E_Pin2", "0000", "0000"},
      {"E_Apn1", "internet.example", "internet.example"},
      {"E_Login_Apn2", "оператор 1", "оператор 1"},  // no limit, no filter, UTF-8 in the model
      {"E_DevicePassword", " p@ss; word ", " p@ss; word "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.control);
    QLineEdit* edit = Edit(c.control);
    ASSERT_NE(edit, nullptr);
    testing::TypeText(*edit, QString::fromUtf8(c.typed));
    EXPECT_EQ(Setting(c.control), c.stored);
    EXPECT_EQ(edit->text(), QString::fromUtf8(c.stored));
  }
}

TEST_F(GeneralSettingsViewTest, TypingInsideTheText_KeepsTheCursorWhereTheUserPutIt) {
  QLineEdit* pin = Edit("E_Pin1");
  testing::TypeText(*pin, "1234");
  QTest::keyClick(pin, Qt::Key_Home);
  testing::TypeText(*pin, "9");
  QTest::keyClick(pin, Qt::Key_Right);
  testing::TypeText(*pin, "8");
  EXPECT_EQ(Setting("E_Pin1"), "918234");
}

TEST_F(GeneralSettingsViewTest, LoadedValues_ShownWhole_TypingLimitStillHolds) {
  ASSERT_EQ(model.LoadFromConfig(kFieldInteger, kAccountId, 0x12, nullptr, 0, 0), 1);
  ASSERT_EQ(model.LoadFromConfig(kFieldInteger, kOwnMessagesId, 1, nullptr, 0, 0), 1);
  model.SetText(GeneralEdit::E_Apn2, "точка.доступа");
  model.SetText(GeneralEdit::E_Pin2, "1234567890");
  view.ShowModel();
  EXPECT_EQ(Edit("E_Account")->text(), "0012");
  EXPECT_TRUE(Check("CB_OwnMessages")->isChecked());
  EXPECT_FALSE(Check("CB_ReplaceAcc")->isChecked());
  EXPECT_EQ(Edit("E_Apn2")->text(), QString::fromUtf8("точка.доступа"));
  EXPECT_EQ(Edit("E_Apn2")->cursorPosition(), 0);  // a long APN shows from its start
  EXPECT_EQ(Edit("E_Pin2")->text(), "1234567890");

  // Over the limit already: typing adds nothing until the user deletes.
  testing::TypeText(*Edit("E_Pin2"), "5");
  EXPECT_EQ(Setting("E_Pin2"), "1234567890");

  model.ResetToDefaults();
  view.ShowModel();
  for (const auto& rule : kGeneralEditRules) EXPECT_TRUE(Edit(rule.control.data())->text().isEmpty()) << rule.control;
  EXPECT_FALSE(Check("CB_OwnMessages")->isChecked());
}

TEST_F(GeneralSettingsViewTest, BoxClicks_ReachModel_AndStoreCorrectionsShowAfterwards) {
  QTest::mouseClick(Check("CB_ReplaceAcc"), Qt::LeftButton);
  QTest::mouseClick(Check("CB_OwnMessages"), Qt::LeftButton);
  EXPECT_EQ(Setting("CB_ReplaceAcc"), "on");
  EXPECT_EQ(Setting("CB_OwnMessages"), "on");

  // No account: storing warns twice and switches both options off.
  ConfigTree tree;
  model.StoreToConfig(tree);
  EXPECT_EQ(dialogs.messages.size(), 2u);
  view.ShowModel();
  EXPECT_FALSE(Check("CB_ReplaceAcc")->isChecked());
  EXPECT_FALSE(Check("CB_OwnMessages")->isChecked());

  QTest::mouseClick(Check("CB_OwnMessages"), Qt::LeftButton);
  QTest::mouseClick(Check("CB_OwnMessages"), Qt::LeftButton);
  EXPECT_EQ(Setting("CB_OwnMessages"), "off");
}

TEST_F(GeneralSettingsViewTest, Controls_NamedForScreenReaders) {
  for (const auto& rule : kGeneralEditRules) testing::ExpectLabelledByRule(view, rule);
  for (const auto& box : kGeneralCheckTexts) {
    SCOPED_TRACE(box.control);
    QCheckBox* check = Check(box.control);
    ASSERT_NE(check, nullptr);
    EXPECT_EQ(check->text(), QString::fromUtf8(box.caption));
    EXPECT_EQ(check->toolTip(), QString::fromUtf8(box.hint));
  }
  for (const char* name : {"GroupBox_APN1", "GroupBox_APN2"}) {
    auto* group = view.findChild<QGroupBox*>(name);
    ASSERT_NE(group, nullptr) << name;
    EXPECT_EQ(group->accessibleName(), group->title());
    // Each SIM's four edits sit in their own box, so screen readers tell
    // SIM 1's "Пароль" from SIM 2's.
    EXPECT_EQ(group->findChildren<QLineEdit*>().size(), 4) << name;
  }
}

}  // namespace
}  // namespace tamlo
