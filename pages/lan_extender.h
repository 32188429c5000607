#pragma once
// The LAN extender page (TF_ExtLan, tree node "Расширитель LAN") as plain
// C++: the IPv4 settings of the device's LAN extender, the address by DHCP or
// fixed (address, network mask, gateway) and the DNS servers by DHCP or fixed
// (two servers).
//
// An address is packed into 32 bits with the first octet in the most
// significant byte: 255.255.255.0 is 0xFFFFFF00. A blank address field reads
// 0, and the view's address field keeps an address set before it is shown.
//
// All settings form one group, id 5 at the top level, always put (an empty
// group encodes to nothing). Inside it, in this order (absent means the
// default); integers, addresses packed as above:
//   id  value                       default          put when
//   1   1: fixed address            DHCP (ticked)    CB_UseDHCP not ticked
//   2   address                     0 (blank)        not 0
//   3   network mask                255.255.255.0    not 0 and not 255.255.255.0
//   4   gateway                     0 (blank)        not 0
//   5   1: fixed DNS servers        DHCP (ticked)    CB_DnsByDhcp not ticked
//   6   DNS 1, then DNS 2           0 (blank)        each that is not 0
// Hidden fields are stored all the same. Since a blank DNS 1 is not stored, a
// DNS 2 alone comes back as DNS 1; a blank mask comes back as 255.255.255.0.
// No setting carries a firmware version; the page shows no warnings.
#include <cstdint>
#include <string>
#include <string_view>

#include "pages/page_model.h"

namespace tamlo {

inline constexpr uint32_t kLanDefaultNetmask = 0xFFFFFF00;  // 255.255.255.0

// "192.168.1.10" for 0xC0A8010A; "0.0.0.0" for a blank field.
std::string FormatIPv4(uint32_t address);
// A dotted quad: four decimal octets 0..255 of one to three digits, blanks
// allowed around the whole text only. On success stores the packed address
// and returns true; otherwise leaves `address` alone and returns false (an
// empty text too: the view decides what a blank field means).
bool ParseIPv4(std::string_view text, uint32_t& address);

// Fixed captions of the page.
struct LanExtenderTexts {
  static constexpr std::string_view CB_UseDHCP = "Получить IP-адрес автоматически (от DHCP-сервера)";
  static constexpr std::string_view L_IP = "IP-адрес:";
  static constexpr std::string_view L_Netmask = "Маска сети:";
  static constexpr std::string_view L_Gateway = "Адрес шлюза:";
  static constexpr std::string_view CB_DnsByDhcp = "Получить адреса DNS-серверов автоматически (от DHCP-сервера)";
  static constexpr std::string_view L_DNS1 = "Сервер DNS №1:";
  static constexpr std::string_view L_DNS2 = "Сервер DNS №2:";
};

// The five address fields, in page order.
enum class LanAddress { Ip, Netmask, Gateway, Dns1, Dns2 };

struct LanExtenderState {
  bool CB_UseDHCP = true;    // obtain the address from a DHCP server
  uint32_t ip = 0;           // beside L_IP
  uint32_t netmask = kLanDefaultNetmask;  // beside L_Netmask
  uint32_t gateway = 0;      // beside L_Gateway
  bool CB_DnsByDhcp = true;  // obtain the DNS servers from a DHCP server
  uint32_t dns1 = 0;         // beside L_DNS1
  uint32_t dns2 = 0;         // beside L_DNS2
  // Set by CB_UseDHCPClick. DHCP address: the DNS check box shown, the
  // address, mask and gateway rows hidden, the DNS rows shown only when the
  // DNS servers are fixed. Fixed address: the DNS check box hidden (its tick
  // kept and stored as it is), every address row shown.
  struct Visible {
    bool CB_DnsByDhcp = true;
    bool L_IP = false;
    bool ip = false;
    bool L_Netmask = false;
    bool netmask = false;
    bool L_Gateway = false;
    bool gateway = false;
    bool L_DNS1 = false;
    bool dns1 = false;
    bool L_DNS2 = false;
    bool dns2 = false;
    bool operator==(const Visible&) const = default;
  } visible;
  bool operator==(const LanExtenderState&) const = default;
};

class LanExtenderModel : public PageModel {
 public:
  LanExtenderModel() = default;

  const LanExtenderState& state() const { return m_state; }

  // Tick or untick a check box; both run CB_UseDHCPClick.
  void SetUseDhcp(bool ticked);
  void SetDnsByDhcp(bool ticked);
  // The click rule of both check boxes: the visibility above.
  void CB_UseDHCPClick();

  // An address field's new address (0 clears it).
  void SetAddress(LanAddress field, uint32_t address);
  uint32_t Address(LanAddress field) const;

  void ResetToDefaults() override;
  // Takes every group field with id 5, whatever its repeat index, and returns
  // the result of walking its content; anything else gives 0. Inside the
  // group only integers are taken: ids 1 and 5 untick their check box when
  // not 0, ids 2 to 4 and the first two ids 6 set their field when not 0; a
  // third id 6 is not taken.
  int LoadFromConfig(int kind, uint32_t id, int32_t value, const uint8_t* data, size_t length,
                     uint32_t repeat) override;
  void StoreToConfig(ConfigTree& tree) override;
  // lan.CB_UseDHCP, lan.ip, lan.netmask, lan.gateway, lan.CB_DnsByDhcp,
  // lan.dns1, lan.dns2; addresses as dotted quads.
  void ListSettings(std::vector<SettingValue>& out) const override;
  // The boxes "on"/"off" with their click rule, the addresses dotted quads.
  SettingApply ApplySetting(std::string_view name, std::string_view value) override;

 private:
  int LoadGroupField(uint32_t code, int32_t value, uint32_t repeat);

  LanExtenderState m_state;
};

}  // namespace tamlo
