// TF_DelivOptions: typing reaches the model, the model reaches the fields,
// leaving the passes edit applies its rule, labels name their controls.
#include "pages/qt/delivery_options_view.h"

#include <QLineEdit>

#include "config/tagged_encoding.h"

#include "view_test_support.h"
#include "widgets/time_field_edit.h"

namespace tamlo {
namespace {

class DelivOptionsViewTest : public testing::PageViewTest {
 protected:
  DeliveryOptionsModel m_model;
  TF_DelivOptions m_page{m_model};
};

TEST_F(DelivOptionsViewTest, Typing_ReachesTheModel_ThroughFilterAndLimit) {
  const struct {
    const char* control;
    const char* keys;
    std::string DeliveryOptionsState::*field;
    const char* expected;
  } cases[] = {
      {"E_OneSimLoops", "5x", &DeliveryOptionsState::E_OneSimLoops, "5"},
      {"E_OneSimLoops", "123", &DeliveryOptionsState::E_OneSimLoops, "12"},
      {"ME_ReturnTime", "0130", &DeliveryOptionsState::ME_ReturnTime, "01:30"},
      {"ME_ReturnTime", "2", &DeliveryOptionsState::ME_ReturnTime, "2 :  "},
      {"ME_BackTestTime", "0075", &DeliveryOptionsState::ME_BackTestTime, "00:75"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.control) + " " + c.keys);
    m_model.ResetToDefaults();
    m_page.ShowModel();
    auto* edit = testing::Child<QLineEdit>(m_page, c.control);
    edit->selectAll();
    edit->del();
    QTest::keyClicks(edit, c.keys);
    EXPECT_EQ(m_model.state().*c.field, c.expected);
  }
}

TEST_F(DelivOptionsViewTest, LoadedConfig_ShowsWhole_AndResetShowsDefaults) {
  // 123 passes exceed the typing limit of two characters and show all the same.
  ASSERT_EQ(m_model.LoadFromConfig(kFieldInteger, 263, 123, nullptr, 0, 0), 1);
  ASSERT_EQ(m_model.LoadFromConfig(kFieldInteger, 264, 135, nullptr, 0, 0), 1);
  ASSERT_EQ(m_model.LoadFromConfig(kFieldInteger, 267, 6000, nullptr, 0, 0), 1);
  m_page.ShowModel();
  auto* loops = testing::Child<QLineEdit>(m_page, "E_OneSimLoops");
  auto* return_time = testing::Child<TimeFieldEdit>(m_page, "ME_ReturnTime");
  auto* back_test = testing::Child<TimeFieldEdit>(m_page, "ME_BackTestTime");
  EXPECT_EQ(loops->text(), "123");
  EXPECT_EQ(return_time->FieldText(), "02:15");
  EXPECT_EQ(back_test->FieldText(), "99:59");

  m_model.ResetToDefaults();
  m_page.ShowModel();
  EXPECT_EQ(loops->text(), "3");
  EXPECT_EQ(return_time->FieldText(), "12:00");
  EXPECT_EQ(back_test->FieldText(), "00:00");
}

TEST_F(DelivOptionsViewTest, LeavingPasses_EmptyOrZeroBecomesThree) {
  testing::ShowActive(m_page);
  testing::ExpectLeavingRule(m_page, "E_OneSimLoops", "ME_ReturnTime",
                             {{"", "3"}, {"0", "3"}, {"00", "3"}, {"1", "1"}, {"12", "12"}},
                             [this] { return m_model.state().E_OneSimLoops; });
}

TEST_F(DelivOptionsViewTest, EveryControl_NamedAndHintedByItsLabel) {
  const testing::LabelledControl controls[] = {
      {"E_OneSimLoops", "L_OneSimLoops", DeliveryOptionsTexts::E_OneSimLoopsHint.data()},
      {"ME_ReturnTime", "L_ReturnTime", DeliveryOptionsTexts::ME_ReturnTimeHint.data()},
      {"ME_BackTestTime", "L_BackTestTime", DeliveryOptionsTexts::ME_BackTestTimeHint.data()},
  };
  for (const auto& c : controls) testing::ExpectLabelled(m_page, c);
}

}  // namespace
}  // namespace tamlo
