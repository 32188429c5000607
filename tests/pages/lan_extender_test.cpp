#include "pages/lan_extender.h"

#include <gtest/gtest.h>

#include <functional>

#include "config/config_tree.h"
#include "config/tagged_encoding.h"
#include "config/test_pages.h"

namespace tamlo {
namespace {

using testing::Hex;
using Puts = std::function<void(ConfigTree&)>;

constexpr uint32_t kIp = 0xC0A8010A;       // 192.168.1.10
constexpr uint32_t kMask16 = 0xFFFF0000;   // 255.255.0.0
constexpr uint32_t kGateway = 0xC0A80101;  // 192.168.1.1
constexpr uint32_t kDns1 = 0x08080808;     // 8.8.8.8
constexpr uint32_t kDns2 = 0x4D580808;     // 77.88.8.8

int32_t I(uint32_t address) { return static_cast<int32_t>(address); }

int Load(LanExtenderModel& page, const std::vector<uint8_t>& bytes) {
  return WalkConfig(bytes.data(), bytes.size(), [&](uint32_t code, int32_t v, const uint8_t* d, size_t n, uint32_t r) {
    return page.LoadFromConfig(static_cast<int>(FieldCodeKind(code)), FieldCodeId(code), v, d, n, r);
  });
}

std::vector<uint8_t> Store(LanExtenderModel& page) {
  ConfigTree tree;
  page.StoreToConfig(tree);
  EXPECT_EQ(tree.size(), 1u);  // the group, even when empty
  return EncodeConfig(tree);
}

// The encoding of group 5 holding these puts.
std::vector<uint8_t> Group5(const Puts& put) {
  ConfigTree group;
  put(group);
  ConfigTree tree;
  tree.PutGroup(5, std::move(group));
  return EncodeConfig(tree);
}

// Every parameter away from its default, in the order the page stores them.
void PutEverything(ConfigTree& t) {
  for (auto [id, v] : {std::pair{1, 1}, {2, I(kIp)}, {3, I(kMask16)}, {4, I(kGateway)}, {5, 1}, {6, I(kDns1)},
                       {6, I(kDns2)}})
    t.PutInt(id, v);
}

TEST(IPv4Text, DottedQuad_FirstOctetMostSignificant) {
  for (auto [address, text] : {std::pair{0u, "0.0.0.0"}, {kLanDefaultNetmask, "255.255.255.0"},
                               {kIp, "192.168.1.10"}, {0x01020304u, "1.2.3.4"}}) {
    EXPECT_EQ(FormatIPv4(address), text);
    uint32_t parsed = 7;
    EXPECT_TRUE(ParseIPv4(text, parsed) && parsed == address) << text;
  }
  for (auto [text, address] : {std::pair{" 10.0.0.1 ", 0x0A000001u}, {"010.001.0.255", 0x0A0100FFu}}) {
    uint32_t parsed = 7;
    EXPECT_TRUE(ParseIPv4(text, parsed) && parsed == address) << text;
  }
  for (const char* bad : {"", "1.2.3", "1.2.3.4.5", "256.1.1.1", "1..2.3", "1.2.3.4x", "1.2.3.0004", "-1.2.3.4",
                          "1. 2.3.4", ".1.2.3", "1.2.3."}) {
    uint32_t parsed = 7;
    EXPECT_FALSE(ParseIPv4(bad, parsed)) << '"' << bad << '"';
    EXPECT_EQ(parsed, 7u) << '"' << bad << '"';
  }
}

TEST(LanExtender, ResetAndClickRule_VisibilityOfEveryLabelAndField) {
  LanExtenderModel page;
  page.SetUseDhcp(false);
  page.SetDnsByDhcp(false);
  for (auto f : {LanAddress::Ip, LanAddress::Netmask, LanAddress::Gateway, LanAddress::Dns1, LanAddress::Dns2})
    page.SetAddress(f, 0x01010101);
  page.ResetToDefaults();
  EXPECT_EQ(page.state(), LanExtenderState{});  // DHCP: only the DNS check box shown
  EXPECT_EQ(page.state().netmask, 0xFFFFFF00u);
  EXPECT_TRUE(Store(page).empty());  // an empty group alone leaves no bytes

  struct Case {
    bool use_dhcp, dns_by_dhcp, dns_box, address_rows, dns_rows;
  } cases[] = {
      {true, true, true, false, false},
      {true, false, true, false, true},
      {false, true, false, true, true},  // the DNS tick is hidden, the DNS rows shown
      {false, false, false, true, true},
  };
  for (const Case& c : cases) {
    for (bool dns_first : {false, true}) {  // each box's click, in both orders
      SCOPED_TRACE(::testing::Message() << c.use_dhcp << c.dns_by_dhcp << dns_first);
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
    Puts expected;
  } cases[] = {
      {"blank mask", [](auto& p) { p.SetAddress(LanAddress::Netmask, 0); }, [](ConfigTree&) {}},
      {"address typed, DHCP still on", [](auto& p) { p.SetAddress(LanAddress::Ip, kIp); },
       [](ConfigTree& t) { t.PutInt(2, I(kIp)); }},
      {"fixed address, DNS tick kept", [](auto& p) { p.SetUseDhcp(false); }, [](ConfigTree& t) { t.PutInt(1, 1); }},
      {"DNS 2 alone", [](auto& p) { p.SetAddress(LanAddress::Dns2, kDns2); },
       [](ConfigTree& t) { t.PutInt(6, I(kDns2)); }},
      {"everything",
       [](auto& p) {
         p.SetDnsByDhcp(false);
         p.SetUseDhcp(false);
         p.SetAddress(LanAddress::Dns2, kDns2);
         p.SetAddress(LanAddress::Dns1, kDns1);
         p.SetAddress(LanAddress::Gateway, kGateway);
         p.SetAddress(LanAddress::Netmask, kMask16);
         p.SetAddress(LanAddress::Ip, kIp);
       },
       PutEverything},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LanExtenderModel page;
    c.edit(page);
    EXPECT_EQ(Store(page), Group5(c.expected));
  }
}

TEST(LanExtender, Load_IntegersInGroup5Only_ZeroKeepsTheDefault_ThirdDnsNotTaken) {
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    int result;
    LanExtenderState after;  // visibility not compared here
  } cases[] = {
      {"fixed address 0", Group5([](ConfigTree& t) { t.PutInt(1, 0); }), 1, {}},
      {"fixed address and DNS", Group5([](ConfigTree& t) { t.PutInt(1, 2); t.PutInt(5, 1); }), 1,
       {.CB_UseDHCP = false, .CB_DnsByDhcp = false}},
      {"mask 0", Group5([](ConfigTree& t) { t.PutInt(3, 0); }), 1, {}},
      {"addresses",
       Group5([](ConfigTree& t) {
         t.PutInt(2, I(kIp));
         t.PutInt(3, I(kMask16));
         t.PutInt(4, I(kGateway));
       }),
       1, {.ip = kIp, .netmask = kMask16, .gateway = kGateway}},
      {"one DNS is DNS 1", Group5([](ConfigTree& t) { t.PutInt(6, I(kDns2)); }), 1, {.dns1 = kDns2}},
      {"DNS 0 then DNS", Group5([](ConfigTree& t) { t.PutInt(6, 0); t.PutInt(6, I(kDns2)); }), 1, {.dns2 = kDns2}},
      {"third DNS", Group5([](ConfigTree& t) { for (uint32_t a : {kDns1, kDns2, kIp}) t.PutInt(6, I(a)); }), 0,
       {.dns1 = kDns1, .dns2 = kDns2}},
      {"address as text", Group5([](ConfigTree& t) { t.PutString(2, "192.168.1.10"); }), 0, {}},
      {"unknown id", Group5([](ConfigTree& t) { t.PutInt(7, 1); }), 0, {}},
      {"integer 5 at the top level", Hex({0x50, 0x01}), 0, {}},
      {"group 3 at the top level", Hex({0x35, 0x02, 0x10, 0x01}), 0, {}},
      {"second group 5", Hex({0x55, 0x00, 0x55, 0x02, 0x10, 0x01}), 1, {.CB_UseDHCP = false}},
      {"truncated content", Hex({0x55, 0x03, 0x22, 0x01, 0x02}), kWalkMalformed, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LanExtenderModel page;
    EXPECT_EQ(Load(page, c.bytes), c.result);
    LanExtenderState got = page.state();
    got.visible = {};
    EXPECT_EQ(got, c.after);
  }
}

TEST(LanExtender, RoundTrip_EveryParameterSet_ByteIdentical) {
  const auto bytes = Group5(PutEverything);
  LanExtenderModel page;
  EXPECT_EQ(Load(page, bytes), 1);
  EXPECT_TRUE(page.state().visible.ip);  // loading ran the click rule
  EXPECT_EQ(Store(page), bytes);

  std::vector<SettingValue> listed;
  page.ListSettings(listed);
  EXPECT_EQ(listed, (std::vector<SettingValue>{{"lan.CB_UseDHCP", "off"},
                                               {"lan.ip", "192.168.1.10"},
                                               {"lan.netmask", "255.255.0.0"},
                                               {"lan.gateway", "192.168.1.1"},
                                               {"lan.CB_DnsByDhcp", "off"},
                                               {"lan.dns1", "8.8.8.8"},
                                               {"lan.dns2", "77.88.8.8"}}));
}

}  // namespace
}  // namespace tamlo
