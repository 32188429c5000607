#pragma once
// TF_ExtLan, the page "Расширитель LAN": the IPv4 settings of the device's
// LAN extender, the address by DHCP or fixed (address, mask, gateway) and
// the DNS servers by DHCP or fixed (two servers), in TIPAddress fields.
#include <array>

#include "pages/lan_extender.h"
#include "pages/qt/page_view.h"

class QCheckBox;
class QLabel;

namespace tamlo {

class TIPAddress;

class TF_ExtLan final : public PageView {
  Q_OBJECT
 public:
  // The model outlives the view.
  explicit TF_ExtLan(LanExtenderModel& model, QWidget* parent = nullptr);

  void ShowModel() override;

 private:
  // One row of an address field: its label and the field, in page order.
  struct AddressRow {
    LanAddress field;
    QLabel* label = nullptr;
    TIPAddress* edit = nullptr;
  };

  LanExtenderModel& m_model;
  QCheckBox* m_use_dhcp = nullptr;
  QCheckBox* m_dns_by_dhcp = nullptr;
  std::array<AddressRow, 5> m_rows{};
};

}  // namespace tamlo
