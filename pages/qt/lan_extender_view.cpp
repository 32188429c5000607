#include "pages/qt/lan_extender_view.h"

#include <QCheckBox>
#include <QLabel>

#include "pages/qt/page_controls.h"
#include "widgets/ip_address_edit.h"

namespace tamlo {
namespace {

constexpr int kLeft = 16;
constexpr int kRowWidth = 505;
constexpr int kRowHeight = 16;
constexpr int kLabelWidth = 130;
// The address fields stand at one left edge, 3 pixels above their label.
constexpr int kFieldLeft = 150;
constexpr int kFieldRaise = 3;
constexpr int kFieldWidth = 140;
constexpr int kFieldHeight = 24;

// The page's rows from the top, 32 pixels apart: the address check box,
// three address rows, the DNS check box, two DNS rows.
constexpr int RowTop(int row) { return 16 + 32 * row; }

struct AddressText {
  LanAddress field;
  const char* control;  // the field's name, as the settings listing has it
  const char* label_control;
  std::string_view caption;
  int row;
};
constexpr std::array<AddressText, 5> kAddressTexts{{
    {LanAddress::Ip, "ip", "L_IP", LanExtenderTexts::L_IP, 1},
    {LanAddress::Netmask, "netmask", "L_Netmask", LanExtenderTexts::L_Netmask, 2},
    {LanAddress::Gateway, "gateway", "L_Gateway", LanExtenderTexts::L_Gateway, 3},
    {LanAddress::Dns1, "dns1", "L_DNS1", LanExtenderTexts::L_DNS1, 5},
    {LanAddress::Dns2, "dns2", "L_DNS2", LanExtenderTexts::L_DNS2, 6},
}};
constexpr int kDnsByDhcpRow = 4;

QCheckBox* AddCheckBox(QWidget& page, const char* control, std::string_view caption, int row) {
  auto* box = new QCheckBox(ToQString(caption), &page);
  box->setObjectName(QString::fromLatin1(control));
  box->setGeometry(kLeft, RowTop(row), kRowWidth, kRowHeight + 4);
  return box;
}

}  // namespace

TF_ExtLan::TF_ExtLan(LanExtenderModel& model, QWidget* parent) : PageView(parent), m_model(model) {
  // Created top to bottom, which is also the Tab order.
  m_use_dhcp = AddCheckBox(*this, "CB_UseDHCP", LanExtenderTexts::CB_UseDHCP, 0);
  for (size_t i = 0; i < kAddressTexts.size(); ++i) {
    const AddressText& text = kAddressTexts[i];
    if (text.field == LanAddress::Dns1)
      m_dns_by_dhcp = AddCheckBox(*this, "CB_DnsByDhcp", LanExtenderTexts::CB_DnsByDhcp, kDnsByDhcpRow);
    AddressRow& row = m_rows[i];
    row.field = text.field;
    row.label = AddLabel(*this, text.label_control, text.caption, {kLeft, RowTop(text.row), kLabelWidth, kRowHeight});
    row.edit = new TIPAddress(this);
    row.edit->setObjectName(QString::fromLatin1(text.control));
    row.edit->setGeometry(kFieldLeft, RowTop(text.row) - kFieldRaise, kFieldWidth, kFieldHeight);
    TieToLabel(*row.label, *row.edit, {});
    connect(row.edit, &TIPAddress::addressEdited, this, [this, &row] {
      m_model.SetAddress(row.field, row.edit->GetAddress());
      ShowModel();
    });
  }

  connect(m_use_dhcp, &QCheckBox::clicked, this, [this](bool ticked) {
    m_model.SetUseDhcp(ticked);
    ShowModel();
  });
  connect(m_dns_by_dhcp, &QCheckBox::clicked, this, [this](bool ticked) {
    m_model.SetDnsByDhcp(ticked);
    ShowModel();
  });
  ShowModel();
}

void TF_ExtLan::ShowModel() {
  const LanExtenderState& state = m_model.state();
  const auto& visible = state.visible;
  ShowTicked(*m_use_dhcp, state.CB_UseDHCP);
  ShowTicked(*m_dns_by_dhcp, state.CB_DnsByDhcp);
  m_dns_by_dhcp->setVisible(visible.CB_DnsByDhcp);
  const std::array<bool, 5> shown{visible.ip, visible.netmask, visible.gateway, visible.dns1, visible.dns2};
  const std::array<bool, 5> label_shown{visible.L_IP, visible.L_Netmask, visible.L_Gateway, visible.L_DNS1,
                                        visible.L_DNS2};
  for (size_t i = 0; i < m_rows.size(); ++i) {
    const AddressRow& row = m_rows[i];
    ShowAddress(*row.edit, m_model.Address(row.field));
    row.label->setVisible(label_shown[i]);
    row.edit->setVisible(shown[i]);
  }
}

}  // namespace tamlo
