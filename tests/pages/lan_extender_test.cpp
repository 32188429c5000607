#include "pages/lan_extender.h"

#include <gtest/gtest.h>

#include <functional>

#include "config/config_tree.h"
#include "config/tagged_encoding.h"
#include "config/test_pages.h"

namespace tamlo {
namespace {

using testing::Hex;

// An integer inside the LAN group (the only kind the group holds).
struct Field {
  uint32_t id = 0;
  uint32_t value = 0;
  bool operator==(const Field&) const = default;
};

constexpr uint32_t kIp = 0xC0A8010A;       // 192.168.1.10
constexpr uint32_t kMask16 = 0xFFFF0000;   // 255.255.0.0
constexpr uint32_t kGateway = 0xC0A80101;  // 192.168.1.1
constexpr uint32_t kDns1 = 0x08080808;     // 8.8.8.8
constexpr uint32_t kDns2 = 0x4D580808;     // 77.88.8.8

int Load(ConfigPage& page, const std::vector<uint8_t>& bytes) {
  return WalkConfig(bytes.data(), bytes.size(), [&](uint32_t code, int32_t v, const uint8_t* d, size_t n, uint32_t r) {
    return page.LoadFromConfig(static_cast<int>(FieldCodeKind(code)), FieldCodeId(code), v, d, n, r);
  });
}

std::vector<uint8_t> Store(ConfigPage& page) {
  ConfigTree tree;
  page.StoreToConfig(tree);
  return EncodeConfig(tree);
}

std::vector<Field> StoredGroup(LanExtenderModel& page) {
  ConfigTree tree;
  page.StoreToConfig(tree);
  EXPECT_EQ(tree.size(), 1u);
  std::vector<Field> out;
  if (tree.empty() || tree.entries()[0].id != 5 || !tree.entries()[0].group) {
    ADD_FAILURE() << "no group 5";
    return out;
  }
  const auto bytes = EncodeConfig(*tree.entries()[0].group);
  EXPECT_EQ(WalkConfig(bytes.data(), bytes.size(),
                       [&](uint32_t code, int32_t v, const uint8_t*, size_t, uint32_t) {
                         out.push_back({FieldCodeId(code), static_cast<uint32_t>(v)});
                         return FieldCodeKind(code) == kFieldInteger ? 1 : 0;
                       }),
            1);
  return out;
}

// A top-level configuration holding group 5 with these fields.
std::vector<uint8_t> InGroup5(const std::function<void(ConfigTree&)>& put) {
  ConfigTree group;
  put(group);
  ConfigTree tree;
  tree.PutGroup(5, std::move(group));
  return EncodeConfig(tree);
}

int32_t I(uint32_t address) { return static_cast<int32_t>(address); }

TEST(IPv4Text, DottedQuad_FirstOctetMostSignificant) {
  const std::pair<uint32_t, const char*> formats[] = {
      {0, "0.0.0.0"}, {kLanDefaultNetmask, "255.255.255.0"}, {kIp, "192.168.1.10"}, {0x01020304, "1.2.3.4"},
      {0xFFFFFFFF, "255.255.255.255"}};
  for (const auto& [address, text] : formats) {
    EXPECT_EQ(FormatIPv4(address), text);
    uint32_t parsed = 7;
    EXPECT_TRUE(ParseIPv4(text, parsed)) << text;
    EXPECT_EQ(parsed, address) << text;
  }

  const std::pair<const char*, uint32_t> more[] = {{" 10.0.0.1 ", 0x0A000001}, {"010.001.0.0", 0x0A010000}};
  for (const auto& [text, address] : more) {
    uint32_t parsed = 7;
    EXPECT_TRUE(ParseIPv4(text, parsed)) << text;
    EXPECT_EQ(parsed, address) << text;
  }

  for (const char* bad : {"", "   ", "1.2.3", "1.2.3.4.5", "256.1.1.1", "1.2.3.999", "1..2.3", "1.2.3.4x",
                          "1.2.3.0004", "-1.2.3.4", "1. 2.3.4", "a.b.c.d", ".1.2.3", "1.2.3."}) {
    uint32_t parsed = 7;
    EXPECT_FALSE(ParseIPv4(bad, parsed)) << '"' << bad << '"';
    EXPECT_EQ(parsed, 7u) << '"' << bad << '"';
  }
}

TEST(LanExtender, Reset_DhcpBlankFieldsDefaultMask_StoresAnEmptyGroup) {
  LanExtenderModel page;
  page.SetUseDhcp(false);
  page.SetDnsByDhcp(false);
  for (LanAddress f : {LanAddress::Ip, LanAddress::Netmask, LanAddress::Gateway, LanAddress::Dns1, LanAddress::Dns2})
    page.SetAddress(f, 0x01010101);
  page.ResetToDefaults();

  const LanExtenderState& s = page.state();
  EXPECT_TRUE(s.CB_UseDHCP);
  EXPECT_TRUE(s.CB_DnsByDhcp);
  EXPECT_EQ(s.ip, 0u);
  EXPECT_EQ(s.netmask, 0xFFFFFF00u);
  EXPECT_EQ(s.gateway, 0u);
  EXPECT_EQ(s.dns1, 0u);
  EXPECT_EQ(s.dns2, 0u);
  EXPECT_EQ(s, LanExtenderModel().state());
  EXPECT_TRUE(StoredGroup(page).empty());
  EXPECT_TRUE(Store(page).empty());
}

TEST(LanExtender, ClickRule_VisibilityOfEachLabelAndField) {
  struct Case {
    bool use_dhcp;
    bool dns_by_dhcp;
    bool dns_box;
    bool address_rows;
    bool dns_rows;
  } cases[] = {
      {true, true, true, false, false},
      {true, false, true, false, true},
      {false, true, false, true, true},  // the DNS tick is hidden, the DNS rows shown
      {false, false, false, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.use_dhcp) + std::to_string(c.dns_by_dhcp));
    // Reach the state by each box's click, in both orders.
    for (bool dns_first : {false, true}) {
      LanExtenderModel page;
      if (dns_first) page.SetDnsByDhcp(c.dns_by_dhcp);
      page.SetUseDhcp(c.use_dhcp);
      if (!dns_first) page.SetDnsByDhcp(c.dns_by_dhcp);
      const auto& v = page.state().visible;
      EXPECT_EQ(v.CB_DnsByDhcp, c.dns_box);
      for (bool shown : {v.L_IP, v.ip, v.L_Netmask, v.netmask, v.L_Gateway, v.gateway})
        EXPECT_EQ(shown, c.address_rows);
      for (bool shown : {v.L_DNS1, v.dns1, v.L_DNS2, v.dns2}) EXPECT_EQ(shown, c.dns_rows);
    }
  }
}

TEST(LanExtender, Store_PutWhenRules_InOrder1To5ThenDns1Dns2) {
  struct Case {
    const char* name;
    std::function<void(LanExtenderModel&)> edit;
    std::vector<Field> stored;
  } cases[] = {
      {"blank mask", [](LanExtenderModel& p) { p.SetAddress(LanAddress::Netmask, 0); }, {}},
      {"other mask", [](LanExtenderModel& p) { p.SetAddress(LanAddress::Netmask, kMask16); }, {{3, kMask16}}},
      {"address typed, DHCP still on", [](LanExtenderModel& p) { p.SetAddress(LanAddress::Ip, kIp); }, {{2, kIp}}},
      {"fixed address, DNS tick kept", [](LanExtenderModel& p) { p.SetUseDhcp(false); }, {{1, 1}}},
      {"fixed DNS", [](LanExtenderModel& p) { p.SetDnsByDhcp(false); }, {{5, 1}}},
      {"DNS 2 alone", [](LanExtenderModel& p) { p.SetAddress(LanAddress::Dns2, kDns2); }, {{6, kDns2}}},
      {"everything",
       [](LanExtenderModel& p) {
         p.SetDnsByDhcp(false);
         p.SetUseDhcp(false);
         p.SetAddress(LanAddress::Dns2, kDns2);
         p.SetAddress(LanAddress::Dns1, kDns1);
         p.SetAddress(LanAddress::Gateway, kGateway);
         p.SetAddress(LanAddress::Netmask, kMask16);
         p.SetAddress(LanAddress::Ip, kIp);
       },
       {{1, 1}, {2, kIp}, {3, kMask16}, {4, kGateway}, {5, 1}, {6, kDns1}, {6, kDns2}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LanExtenderModel page;
    c.edit(page);
    EXPECT_EQ(StoredGroup(page), c.stored);
  }
}

TEST(LanExtender, LoadGroup_IntegersOnly_ZeroKeepsTheDefault_ThirdDnsNotTaken) {
  struct Case {
    const char* name;
    std::function<void(ConfigTree&)> put;
    int result;
    LanExtenderState after;  // visibility checked separately
  } cases[] = {
      {"fixed address 0 keeps DHCP", [](ConfigTree& t) { t.PutInt(1, 0); }, 1, {}},
      {"fixed address", [](ConfigTree& t) { t.PutInt(1, 2); }, 1, {.CB_UseDHCP = false}},
      {"fixed DNS", [](ConfigTree& t) { t.PutInt(5, 1); }, 1, {.CB_DnsByDhcp = false}},
      {"mask 0 keeps the default", [](ConfigTree& t) { t.PutInt(3, 0); }, 1, {}},
      {"addresses",
       [](ConfigTree& t) {
         t.PutInt(2, I(kIp));
         t.PutInt(3, I(kMask16));
         t.PutInt(4, I(kGateway));
       },
       1, {.ip = kIp, .netmask = kMask16, .gateway = kGateway}},
      {"one DNS is DNS 1", [](ConfigTree& t) { t.PutInt(6, I(kDns2)); }, 1, {.dns1 = kDns2}},
      {"DNS 0 then DNS", [](ConfigTree& t) {
         t.PutInt(6, 0);
         t.PutInt(6, I(kDns2));
       },
       1, {.dns2 = kDns2}},
      {"third DNS", [](ConfigTree& t) {
         for (uint32_t a : {kDns1, kDns2, kIp}) t.PutInt(6, I(a));
       },
       0, {.dns1 = kDns1, .dns2 = kDns2}},
      {"address as text", [](ConfigTree& t) { t.PutString(2, "192.168.1.10"); }, 0, {}},
      {"unknown id", [](ConfigTree& t) { t.PutInt(7, 1); }, 0, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LanExtenderModel page;
    EXPECT_EQ(Load(page, InGroup5(c.put)), c.result);
    LanExtenderState got = page.state();
    got.visible = {};
    EXPECT_EQ(got, c.after);
  }

  // Loading the check boxes runs the click rule.
  LanExtenderModel page;
  EXPECT_EQ(Load(page, InGroup5([](ConfigTree& t) { t.PutInt(1, 1); })), 1);
  EXPECT_TRUE(page.state().visible.ip);
  EXPECT_FALSE(page.state().visible.CB_DnsByDhcp);
}

TEST(LanExtender, LoadTopLevel_OnlyGroup5_NestedFaultsPassedOn) {
  LanExtenderModel page;
  const uint8_t content[] = {0x10, 0x01};  // id 1 = 1
  EXPECT_EQ(page.LoadFromConfig(kFieldInteger, 5, 1, nullptr, 0, 0), 0);
  EXPECT_EQ(page.LoadFromConfig(kFieldGroup, 3, 0, content, sizeof content, 0), 0);
  EXPECT_TRUE(page.state().CB_UseDHCP);
  EXPECT_EQ(page.LoadFromConfig(kFieldGroup, 5, 0, content, sizeof content, 1), 1);
  EXPECT_FALSE(page.state().CB_UseDHCP);
  const uint8_t truncated[] = {0x22, 0x01, 0x02};
  EXPECT_EQ(page.LoadFromConfig(kFieldGroup, 5, 0, truncated, sizeof truncated, 0), kWalkMalformed);
}

TEST(LanExtender, RoundTrip_EveryParameterSet_ByteIdentical) {
  const auto bytes = InGroup5([](ConfigTree& t) {
    t.PutInt(1, 1);
    t.PutInt(2, I(kIp));
    t.PutInt(3, I(kMask16));
    t.PutInt(4, I(kGateway));
    t.PutInt(5, 1);
    t.PutInt(6, I(kDns1));
    t.PutInt(6, I(kDns2));
  });
  LanExtenderModel page;
  EXPECT_EQ(Load(page, bytes), 1);
  EXPECT_EQ(page.Address(LanAddress::Dns2), kDns2);
  EXPECT_EQ(Store(page), bytes);

  // A blank DNS 1 moves DNS 2 up; a blank mask comes back as the default one.
  LanExtenderModel shifted;
  shifted.SetAddress(LanAddress::Dns2, kDns2);
  shifted.SetAddress(LanAddress::Netmask, 0);
  LanExtenderModel reloaded;
  EXPECT_EQ(Load(reloaded, Store(shifted)), 1);
  EXPECT_EQ(reloaded.state().dns1, kDns2);
  EXPECT_EQ(reloaded.state().dns2, 0u);
  EXPECT_EQ(reloaded.state().netmask, kLanDefaultNetmask);
}

TEST(LanExtender, ListSettings_ChecksAndDottedQuadsInPageOrder) {
  LanExtenderModel page;
  page.SetUseDhcp(false);
  page.SetAddress(LanAddress::Ip, kIp);
  page.SetAddress(LanAddress::Dns2, kDns2);
  std::vector<SettingValue> listed;
  page.ListSettings(listed);
  EXPECT_EQ(listed, (std::vector<SettingValue>{{"lan.CB_UseDHCP", "off"},
                                               {"lan.ip", "192.168.1.10"},
                                               {"lan.netmask", "255.255.255.0"},
                                               {"lan.gateway", "0.0.0.0"},
                                               {"lan.CB_DnsByDhcp", "on"},
                                               {"lan.dns1", "0.0.0.0"},
                                               {"lan.dns2", "77.88.8.8"}}));
}

}  // namespace
}  // namespace tamlo
