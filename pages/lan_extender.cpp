#include "pages/lan_extender.h"

#include <cstdio>

#include "config/config_tree.h"
#include "config/tagged_encoding.h"

namespace tamlo {
namespace {

constexpr uint32_t kIdGroup = 5;
constexpr uint32_t kIdFixedAddress = 1;
constexpr uint32_t kIdAddress = 2;
constexpr uint32_t kIdNetmask = 3;
constexpr uint32_t kIdGateway = 4;
constexpr uint32_t kIdFixedDns = 5;
constexpr uint32_t kIdDns = 6;  // repeat 0: DNS 1, repeat 1: DNS 2

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The configuration carries an address as a plain 32-bit integer.
int32_t AsInt(uint32_t address) { return static_cast<int32_t>(address); }

// The member behind an address field, for a state const or not.
template <typename State>
auto& AddressField(State& state, LanAddress field) {
  switch (field) {
    case LanAddress::Ip: return state.ip;
    case LanAddress::Netmask: return state.netmask;
    case LanAddress::Gateway: return state.gateway;
    case LanAddress::Dns1: return state.dns1;
    case LanAddress::Dns2: break;
  }
  return state.dns2;
}

}  // namespace

std::string FormatIPv4(uint32_t address) {
  char text[16];
  std::snprintf(text, sizeof text, "%u.%u.%u.%u", address >> 24, (address >> 16) & 0xFF, (address >> 8) & 0xFF,
                address & 0xFF);
  return text;
}

bool ParseIPv4(std::string_view text, uint32_t& address) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  uint32_t packed = 0;
  for (int octet = 0; octet < 4; ++octet) {
    if (octet > 0) {
      if (text.empty() || text.front() != '.') return false;
      text.remove_prefix(1);
    }
    uint32_t value = 0;
    size_t digits = 0;
    while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') {
      if (++digits > 3) return false;
      value = value * 10 + static_cast<uint32_t>(text[digits - 1] - '0');
    }
    if (digits == 0 || value > 255) return false;
    text.remove_prefix(digits);
    packed = packed << 8 | value;
  }
  if (!text.empty()) return false;
  address = packed;
  return true;
}

void LanExtenderModel::SetUseDhcp(bool ticked) {
  m_state.CB_UseDHCP = ticked;
  CB_UseDHCPClick();
}

void LanExtenderModel::SetDnsByDhcp(bool ticked) {
  m_state.CB_DnsByDhcp = ticked;
  CB_UseDHCPClick();
}

void LanExtenderModel::CB_UseDHCPClick() {
  auto& v = m_state.visible;
  const bool fixed_address = !m_state.CB_UseDHCP;
  // With a fixed address there is no DHCP server to ask for DNS servers.
  const bool fixed_dns = fixed_address || !m_state.CB_DnsByDhcp;
  v.CB_DnsByDhcp = !fixed_address;
  v.L_IP = v.ip = fixed_address;
  v.L_Netmask = v.netmask = fixed_address;
  v.L_Gateway = v.gateway = fixed_address;
  v.L_DNS1 = v.dns1 = fixed_dns;
  v.L_DNS2 = v.dns2 = fixed_dns;
}

void LanExtenderModel::SetAddress(LanAddress field, uint32_t address) { AddressField(m_state, field) = address; }

uint32_t LanExtenderModel::Address(LanAddress field) const { return AddressField(m_state, field); }

void LanExtenderModel::ResetToDefaults() {
  m_state.CB_UseDHCP = true;
  m_state.CB_DnsByDhcp = true;
  CB_UseDHCPClick();
  m_state.ip = 0;
  m_state.netmask = kLanDefaultNetmask;
  m_state.gateway = 0;
  m_state.dns1 = 0;
  m_state.dns2 = 0;
}

int LanExtenderModel::LoadFromConfig(int kind, uint32_t id, int32_t, const uint8_t* data, size_t length,
                                     uint32_t) {
  if (kind != kFieldGroup || id != kIdGroup) return 0;
  return WalkConfig(data, length, [this](uint32_t code, int32_t v, const uint8_t*, size_t, uint32_t r) {
    return LoadGroupField(code, v, r);
  });
}

int LanExtenderModel::LoadGroupField(uint32_t code, int32_t value, uint32_t repeat) {
  if (FieldCodeKind(code) != kFieldInteger) return 0;
  const auto address = static_cast<uint32_t>(value);
  switch (FieldCodeId(code)) {
    case kIdFixedAddress:
      if (value != 0) SetUseDhcp(false);
      return 1;
    case kIdAddress:
      if (value != 0) m_state.ip = address;
      return 1;
    case kIdNetmask:
      if (value != 0) m_state.netmask = address;
      return 1;
    case kIdGateway:
      if (value != 0) m_state.gateway = address;
      return 1;
    case kIdFixedDns:
      if (value != 0) SetDnsByDhcp(false);
      return 1;
    case kIdDns:
      if (repeat > 1) return 0;
      if (value != 0) (repeat == 0 ? m_state.dns1 : m_state.dns2) = address;
      return 1;
    default:
      return 0;
  }
}

void LanExtenderModel::StoreToConfig(ConfigTree& tree) {
  ConfigTree group;
  if (!m_state.CB_UseDHCP) group.PutInt(kIdFixedAddress, 1);
  if (m_state.ip != 0) group.PutInt(kIdAddress, AsInt(m_state.ip));
  if (m_state.netmask != 0 && m_state.netmask != kLanDefaultNetmask) group.PutInt(kIdNetmask, AsInt(m_state.netmask));
  if (m_state.gateway != 0) group.PutInt(kIdGateway, AsInt(m_state.gateway));
  if (!m_state.CB_DnsByDhcp) group.PutInt(kIdFixedDns, 1);
  if (m_state.dns1 != 0) group.PutInt(kIdDns, AsInt(m_state.dns1));
  if (m_state.dns2 != 0) group.PutInt(kIdDns, AsInt(m_state.dns2));
  tree.PutGroup(kIdGroup, std::move(group));
}

void LanExtenderModel::ListSettings(std::vector<SettingValue>& out) const {
  out.push_back({"lan.CB_UseDHCP", m_state.CB_UseDHCP ? "on" : "off"});
  out.push_back({"lan.ip", FormatIPv4(m_state.ip)});
  out.push_back({"lan.netmask", FormatIPv4(m_state.netmask)});
  out.push_back({"lan.gateway", FormatIPv4(m_state.gateway)});
  out.push_back({"lan.CB_DnsByDhcp", m_state.CB_DnsByDhcp ? "on" : "off"});
  out.push_back({"lan.dns1", FormatIPv4(m_state.dns1)});
  out.push_back({"lan.dns2", FormatIPv4(m_state.dns2)});
}

SettingApply LanExtenderModel::ApplySetting(std::string_view name, std::string_view value) {
  if (!TakePrefix(name, "lan.")) return SettingApply::Unknown();
  if (name == "CB_UseDHCP" || name == "CB_DnsByDhcp") {
    const std::optional<bool> tick = ParseTick(value);
    if (!tick) return RefusedTick(value);
    name == "CB_UseDHCP" ? SetUseDhcp(*tick) : SetDnsByDhcp(*tick);
    return SettingApply::Applied();
  }
  constexpr std::pair<std::string_view, LanAddress> kFields[] = {{"ip", LanAddress::Ip},
                                                                  {"netmask", LanAddress::Netmask},
                                                                  {"gateway", LanAddress::Gateway},
                                                                  {"dns1", LanAddress::Dns1},
                                                                  {"dns2", LanAddress::Dns2}};
  for (const auto& [control, field] : kFields) {
    if (name != control) continue;
    uint32_t address = 0;
    if (!ParseIPv4(value, address))
      return SettingApply::Refused("'" + std::string(value) + "' is not an address a.b.c.d");
    SetAddress(field, address);
    return SettingApply::Applied();
  }
  return SettingApply::Unknown();
}

}  // namespace tamlo
