// TF_ExtLan: the click rule of both check boxes, typed addresses reaching
// the model (a partly typed field keeps its blanks), the model reaching the
// fields, the Tab order and the labels.
#include "pages/qt/lan_extender_view.h"

#include <QCheckBox>
#include <QLineEdit>

#include "view_test_support.h"
#include "widgets/ip_address_edit.h"

namespace tamlo {
namespace {

constexpr const char* kFields[] = {"ip", "netmask", "gateway", "dns1", "dns2"};

class LanViewTest : public testing::PageViewTest {
 protected:
  LanViewTest() {
    m_model.ResetToDefaults();
    m_page.ShowModel();
  }

  TIPAddress* Field(const char* name) const { return testing::Child<TIPAddress>(m_page, name); }

  LanExtenderModel m_model;
  TF_ExtLan m_page{m_model};
};

TEST_F(LanViewTest, CheckBoxClicks_ShowAndHideRowsByTheRule) {
  const struct {
    std::vector<const char*> clicks;  // from the reset page
    bool dns_box;
    bool address_rows;  // address, mask and gateway with their labels
    bool dns_rows;
  } cases[] = {
      {{}, true, false, false},
      {{"CB_DnsByDhcp"}, true, false, true},
      {{"CB_UseDHCP"}, false, true, true},
      {{"CB_UseDHCP", "CB_UseDHCP"}, true, false, false},
  };
  testing::ShowActive(m_page);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.clicks.size() ? c.clicks.back() : "none");
    m_model.ResetToDefaults();
    m_page.ShowModel();
    for (const char* box : c.clicks) QTest::mouseClick(testing::Child<QCheckBox>(m_page, box), Qt::LeftButton);
    const auto* use_dhcp = testing::Child<QCheckBox>(m_page, "CB_UseDHCP");
    const auto* dns_by_dhcp = testing::Child<QCheckBox>(m_page, "CB_DnsByDhcp");
    EXPECT_EQ(use_dhcp->isChecked(), m_model.state().CB_UseDHCP);
    EXPECT_EQ(dns_by_dhcp->isChecked(), m_model.state().CB_DnsByDhcp);
    EXPECT_EQ(dns_by_dhcp->isVisible(), c.dns_box);
    for (const char* name : {"L_IP", "ip", "L_Netmask", "netmask", "L_Gateway", "gateway"})
      EXPECT_EQ(testing::Child(m_page, name)->isVisible(), c.address_rows) << name;
    for (const char* name : {"L_DNS1", "dns1", "L_DNS2", "dns2"})
      EXPECT_EQ(testing::Child(m_page, name)->isVisible(), c.dns_rows) << name;
  }
}

TEST_F(LanViewTest, TypedAddress_ReachesTheModel_PartlyTypedFieldKeepsItsBlanks) {
  m_model.SetUseDhcp(false);
  m_page.ShowModel();
  testing::ShowActive(m_page);
  const struct {
    const char* field;
    LanAddress address;
    const char* keys;
    uint32_t expected;
    bool blank_after_first;  // octets 2 to 4 still blank
  } cases[] = {
      {"ip", LanAddress::Ip, "192.168.1.10", 0xC0A8010A, false},
      {"gateway", LanAddress::Gateway, "10", 0x0A000000, true},
      {"dns2", LanAddress::Dns2, "8.8.4.4", 0x08080404, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.field);
    TIPAddress* field = Field(c.field);
    field->setFocus();
    for (const char* ch = c.keys; *ch; ++ch) QTest::keyClick(QApplication::focusWidget(), *ch);
    EXPECT_EQ(m_model.Address(c.address), c.expected);
    EXPECT_EQ(field->GetAddress(), c.expected);
    for (int octet = 1; octet < 4; ++octet) EXPECT_EQ(field->Octet(octet)->text().isEmpty(), c.blank_after_first);
  }
}

TEST_F(LanViewTest, ModelAddresses_ShowInTheFields_ZeroAsBlank) {
  m_model.SetUseDhcp(false);
  m_model.SetAddress(LanAddress::Ip, 0xC0A8010A);
  m_model.SetAddress(LanAddress::Netmask, 0xFFFF0000);
  m_model.SetAddress(LanAddress::Dns2, 0x08080808);
  m_page.ShowModel();
  const uint32_t shown[] = {0xC0A8010A, 0xFFFF0000, 0, 0, 0x08080808};
  for (size_t i = 0; i < std::size(kFields); ++i) {
    SCOPED_TRACE(kFields[i]);
    EXPECT_EQ(Field(kFields[i])->GetAddress(), shown[i]);
    EXPECT_EQ(Field(kFields[i])->IsBlank(), shown[i] == 0);
  }

  m_model.ResetToDefaults();
  m_page.ShowModel();
  EXPECT_TRUE(Field("ip")->IsBlank());
  EXPECT_TRUE(Field("dns2")->IsBlank());
  EXPECT_EQ(Field("netmask")->GetAddress(), kLanDefaultNetmask);
  EXPECT_TRUE(testing::Child<QCheckBox>(m_page, "CB_UseDHCP")->isChecked());
}

TEST_F(LanViewTest, TabOrder_FollowsThePageTopToBottom) {
  const struct {
    bool use_dhcp;
    bool dns_by_dhcp;
    std::vector<const char*> order;  // from CB_UseDHCP on
  } cases[] = {
      {false, true, {"ip", "netmask", "gateway", "dns1", "dns2"}},
      {true, false, {"CB_DnsByDhcp", "dns1", "dns2"}},
  };
  testing::ShowActive(m_page);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.use_dhcp);
    m_model.SetUseDhcp(c.use_dhcp);
    m_model.SetDnsByDhcp(c.dns_by_dhcp);
    m_page.ShowModel();
    QWidget* at = testing::Child(m_page, "CB_UseDHCP");
    at->setFocus();
    for (const char* name : c.order) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      QWidget* focus = QApplication::focusWidget();
      ASSERT_NE(focus, nullptr);
      // An address field takes the focus in its first octet.
      const QWidget* control = qobject_cast<TIPAddress*>(focus->parentWidget()) ? focus->parentWidget() : focus;
      EXPECT_EQ(control->objectName(), name);
    }
  }
}

TEST_F(LanViewTest, EveryAddressField_NamedByItsLabel) {
  const testing::LabelledControl fields[] = {
      {"ip", "L_IP", nullptr},       {"netmask", "L_Netmask", nullptr}, {"gateway", "L_Gateway", nullptr},
      {"dns1", "L_DNS1", nullptr},   {"dns2", "L_DNS2", nullptr},
  };
  for (const auto& f : fields) testing::ExpectLabelled(m_page, f);
}

}  // namespace
}  // namespace tamlo
