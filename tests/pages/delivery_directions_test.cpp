#include "pages/delivery_directions.h"

#include <gtest/gtest.h>

#include <functional>

#include "config/config_tree.h"
#include "config/settings_registry.h"
#include "config/tagged_encoding.h"
#include "config/test_pages.h"

namespace tamlo {
namespace {

using testing::Hex;
using Edit = DirectionFrameModel::Edit;
using Visible = DirectionFrameModel::Visible;

std::vector<uint8_t> StoredGroup(const DirectionFrameModel& frame) {
  ConfigTree group;
  frame.StoreTo(group);
  return EncodeConfig(group);
}

std::vector<uint8_t> StoredPage(DeliveryDirectionsModel& page) {
  ConfigTree tree;
  page.StoreToConfig(tree);
  return EncodeConfig(tree);
}

int LoadPage(DeliveryDirectionsModel& page, const std::vector<uint8_t>& bytes) {
  page.ResetToDefaults();
  return WalkConfig(bytes.data(), bytes.size(), [&page](uint32_t code, int32_t v, const uint8_t* d, size_t n,
                                                        uint32_t rep) {
    return page.LoadFromConfig(static_cast<int>(FieldCodeKind(code)), FieldCodeId(code), v, d, n, rep);
  });
}

TEST(DirectionFrame, ProtocolChange_ShowsFirstRowByProtocolAndKeepsHiddenValues) {
  struct Case {
    int protocol;
    const char* label;
    Visible visible;  // first row only; the frame is folded
  } cases[] = {
      {1, "Телефон", {true, true, true, false}},  {3, "Адрес", {true, true, true, true}},
      {5, "Телефон", {true, false, true, false}}, {8, "Адрес", {true, false, true, true}},
      {10, "Телефон", {true, true, true, false}}, {0, "Телефон", {}},  // "Нет" leaves the hidden label as it was
  };
  DirectionFrameModel frame(1);
  frame.SetText(Edit::E_Port, "7000");
  frame.SetText(Edit::E_Tel, "10.0.0.1");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.protocol);
    frame.C_ProtoChange(c.protocol);
    EXPECT_EQ(frame.state().C_Proto, c.protocol);
    EXPECT_EQ(frame.state().L_Tel, c.label);
    EXPECT_EQ(frame.state().visible, c.visible);
    EXPECT_EQ(frame.Shown(Edit::E_Try), c.visible.E_Try);
    EXPECT_EQ(frame.Shown(Edit::E_Port), c.visible.E_Port);
    EXPECT_EQ(frame.state().E_Port, "7000");
  }
  frame.C_ProtoChange(4);
  frame.C_ProtoChange(0);
  EXPECT_EQ(frame.state().L_Tel, "Адрес");
  for (int bad : {-1, 11}) frame.C_ProtoChange(bad);
  EXPECT_EQ(frame.state().C_Proto, 0);
  // Hidden by "Нет", still stored: address and port.
  EXPECT_EQ(StoredGroup(frame), Hex({0x34, 0x09, '1', '0', '.', '0', '.', '0', '.', '1', 0, 0x40, 0xD8, 0x36}));
}

TEST(DirectionFrame, SecondRow_ShowsWhenUnfoldedByProtocolAndTick) {
  struct Case {
    int protocol;
    bool expanded;
    bool local_period;
    bool crypto_box, period_box, period_time;
  } cases[] = {
      {0, true, true, false, false, false}, {1, true, false, false, true, false}, {6, true, true, false, true, true},
      {7, true, true, true, true, true},    {9, true, false, true, true, false},  {4, false, true, false, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.protocol << (c.expanded ? " unfolded" : " folded")
                                      << (c.local_period ? " ticked" : ""));
    DirectionFrameModel frame(2);
    frame.C_ProtoChange(c.protocol);
    if (c.expanded) frame.L_MoreClick();
    frame.CB_LocalPeriodClick(c.local_period);
    EXPECT_EQ(frame.state().visible.CB_UseCrypto, c.crypto_box);
    EXPECT_EQ(frame.state().visible.CB_LocalPeriod, c.period_box);
    EXPECT_EQ(frame.state().visible.ME_LocalPeriod, c.period_time);
    EXPECT_EQ(frame.Shown(Edit::ME_LocalPeriod), c.period_time);
  }
}

TEST(DirectionFrame, MoreLabel_TogglesCaptionAndRow_ResetKeepsIt) {
  DirectionFrameModel frame(3);
  EXPECT_EQ(frame.state().GroupBox1, "Направление 3");
  EXPECT_EQ(frame.state().L_More, "Ещё...");
  frame.C_ProtoChange(3);
  frame.L_MoreClick();
  EXPECT_TRUE(frame.state().Expanded);
  EXPECT_EQ(frame.state().L_More, "Скрыть");
  EXPECT_TRUE(frame.state().visible.CB_UseCrypto);
  frame.L_MoreClick();
  EXPECT_FALSE(frame.state().Expanded);
  EXPECT_EQ(frame.state().L_More, "Ещё...");
  EXPECT_FALSE(frame.state().visible.CB_UseCrypto);

  // A reset puts every setting back but leaves the frame unfolded.
  frame.L_MoreClick();
  frame.SetText(Edit::E_Tel, "x");
  frame.SetText(Edit::E_Try, "3");
  frame.SetText(Edit::E_Port, "1");
  frame.SetText(Edit::ME_LocalPeriod, "01:00");
  EXPECT_EQ(frame.Text(Edit::E_Tel) + frame.Text(Edit::E_Try) + frame.Text(Edit::E_Port), "x31");
  EXPECT_EQ(frame.Text(Edit::ME_LocalPeriod), "01:00");
  frame.SetSim(2);
  frame.CB_LocalPeriodClick(true);
  frame.CB_UseCryptoClick(true);
  frame.ResetToDefaults();
  DirectionFrameModel::State expected = DirectionFrameModel(3).state();
  expected.Expanded = true;
  expected.L_More = "Скрыть";
  expected.L_Tel = "Адрес";
  const DirectionFrameModel::State& s = frame.state();
  EXPECT_EQ(s, expected);
  EXPECT_EQ(s.E_Try, "5");
  EXPECT_EQ(s.ME_LocalPeriod, "  :  ");
  EXPECT_EQ(s.visible, Visible{});
}

TEST(DirectionFrame, LeavingTries_EmptyOrZeroBecomesOne_OtherEditsUntouched) {
  struct Case {
    const char* typed;
    const char* left;
  } cases[] = {{"", "1"}, {"0", "1"}, {"00", "1"}, {"7", "7"}, {"10", "10"}};
  for (const Case& c : cases) {
    DirectionFrameModel frame(1);
    frame.SetText(Edit::E_Try, c.typed);
    frame.LeaveEdit(Edit::E_Try);
    EXPECT_EQ(frame.state().E_Try, c.left) << c.typed;
  }
  DirectionFrameModel frame(1);
  frame.SetText(Edit::E_Port, "0");
  frame.LeaveEdit(Edit::E_Port);
  frame.LeaveEdit(Edit::E_Tel);
  EXPECT_EQ(frame.state().E_Port, "0");
  EXPECT_EQ(frame.state().E_Tel, "");
}

TEST(DirectionFrame, DirectionVisitor_TakesKnownFieldsAndRefusesOutOfRange) {
  const std::vector<uint8_t> tel = Hex({0xC4, 0xEE, 0xEC, ' ', '5', 0x00});  // "Дом 5" in Windows-1251
  const std::vector<uint8_t> tel_with_tail = Hex({'1', '2', 0x00, '9', 0x00});
  struct Case {
    const char* name;
    int kind;
    uint32_t id;
    int32_t value;
    const std::vector<uint8_t>* data;
    int result;
    std::function<bool(const DirectionFrameModel::State&)> check;
  } cases[] = {
      {"protocol", kFieldInteger, 1, 7, nullptr, 1,
       [](auto& s) { return s.C_Proto == 7 && s.L_Tel == "Адрес" && s.visible.E_Port && !s.visible.C_SIM; }},
      {"protocol 11", kFieldInteger, 1, 11, nullptr, 0, [](auto& s) { return s.C_Proto == 2; }},
      {"protocol -1", kFieldInteger, 1, -1, nullptr, 0, [](auto& s) { return s.C_Proto == 2; }},
      {"sim 2", kFieldInteger, 2, 2, nullptr, 1, [](auto& s) { return s.C_SIM == 2; }},
      {"sim 3", kFieldInteger, 2, 3, nullptr, 0, [](auto& s) { return s.C_SIM == 1; }},
      {"tel", kFieldText, 3, 0, &tel, 1, [](auto& s) { return s.E_Tel == "Дом 5"; }},
      {"tel up to its zero", kFieldText, 3, 0, &tel_with_tail, 1, [](auto& s) { return s.E_Tel == "12"; }},
      {"port 0", kFieldInteger, 4, 0, nullptr, 1, [](auto& s) { return s.E_Port == "99"; }},
      {"port", kFieldInteger, 4, 24333, nullptr, 1, [](auto& s) { return s.E_Port == "24333"; }},
      {"tries 0", kFieldInteger, 5, 0, nullptr, 1, [](auto& s) { return s.E_Try == "5"; }},
      {"tries", kFieldInteger, 5, 12, nullptr, 1, [](auto& s) { return s.E_Try == "12"; }},
      {"own period 0", kFieldInteger, 6, 0, nullptr, 1, [](auto& s) { return !s.CB_LocalPeriod; }},
      {"own period on", kFieldInteger, 6, 1, nullptr, 1,
       [](auto& s) { return s.CB_LocalPeriod && s.visible.ME_LocalPeriod; }},
      {"own period time", kFieldInteger, 7, 90, nullptr, 1, [](auto& s) { return s.ME_LocalPeriod == "01:30"; }},
      {"own period 0 min", kFieldInteger, 7, 0, nullptr, 1, [](auto& s) { return s.ME_LocalPeriod == "00:00"; }},
      {"crypto", kFieldInteger, 8, 5, nullptr, 1, [](auto& s) { return s.CB_UseCrypto; }},
      {"unknown id", kFieldInteger, 9, 1, nullptr, 0, [](auto&) { return true; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DirectionFrameModel frame(1);
    frame.C_ProtoChange(2);
    frame.SetSim(1);
    frame.SetText(Edit::E_Tel, "old");
    frame.SetText(Edit::E_Port, "99");
    frame.L_MoreClick();
    const uint8_t* data = c.data ? c.data->data() : nullptr;
    const size_t length = c.data ? c.data->size() : 0;
    EXPECT_EQ(frame.LoadField(c.kind, c.id, c.value, data, length), c.result);
    EXPECT_TRUE(c.check(frame.state()));
  }
}

TEST(DirectionFrame, Store_PutsEachParameterOnlyWhenItDiffersFromItsDefault) {
  struct Case {
    const char* name;
    std::function<void(DirectionFrameModel&)> edit;
    std::vector<uint8_t> bytes;
    std::vector<NotedSetting> noted;
  } cases[] = {
      {"defaults", [](auto&) {}, {}, {}},
      {"tries empty", [](auto& f) { f.SetText(Edit::E_Try, ""); }, {}, {}},
      {"tries 3", [](auto& f) { f.SetText(Edit::E_Try, "3"); }, Hex({0x50, 0x03}), {}},
      {"port", [](auto& f) { f.SetText(Edit::E_Port, "24333"); }, Hex({0x40, 0x8D, 0xBE, 0x01}), {}},
      {"tel trimmed", [](auto& f) { f.SetText(Edit::E_Tel, " 8 (900) ");},
       Hex({0x34, 0x08, '8', ' ', '(', '9', '0', '0', ')', 0}), {}},
      {"tel Cyrillic", [](auto& f) { f.SetText(Edit::E_Tel, "Дом"); }, Hex({0x34, 0x04, 0xC4, 0xEE, 0xEC, 0}), {}},
      {"sim", [](auto& f) { f.SetSim(2); }, Hex({0x20, 0x02}), {}},
      {"Ademco notes nothing", [](auto& f) { f.C_ProtoChange(1); }, Hex({0x10, 0x01}), {}},
      {"Kam-Net/LAN", [](auto& f) { f.C_ProtoChange(7); }, Hex({0x10, 0x07}), {{"Протокол Kam-Net/LAN", 306}}},
      {"Kam-M", [](auto& f) { f.C_ProtoChange(9); }, Hex({0x10, 0x09}), {{"Протокол Kam-M", 308}}},
      {"own period ticked at 00:00", [](auto& f) { f.CB_LocalPeriodClick(true); }, Hex({0x60, 0x01}),
       {{"Индивидуальный период тестов", 304}}},
      {"own period time unticked", [](auto& f) { f.SetText(Edit::ME_LocalPeriod, "02:05"); }, Hex({0x70, 0x7D}), {}},
      {"crypto on Kam-Net", [](auto& f) { f.C_ProtoChange(3); f.CB_UseCryptoClick(true); },
       Hex({0x10, 0x03, 0x80, 0x01, 0x01}), {{"Шифрование", 311}}},
      {"crypto left over on Ademco",
       [](auto& f) { f.C_ProtoChange(3); f.CB_UseCryptoClick(true); f.C_ProtoChange(1); },
       Hex({0x10, 0x01, 0x80, 0x01, 0x01}), {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DirectionFrameModel frame(1);
    c.edit(frame);
    ClearNotedSettings();
    EXPECT_EQ(StoredGroup(frame), c.bytes);
    EXPECT_EQ(NotedSettings(), c.noted);
  }
}

TEST(DeliveryDirections, Store_SixGroupsInDirectionOrder_EmptyOnesKeepTheRepeatIndex) {
  DeliveryDirectionsModel page;
  EXPECT_TRUE(StoredPage(page).empty());
  page.frame(3).C_ProtoChange(1);
  // Directions 1 and 2 are empty groups (25 00) so direction 3 keeps repeat index 2;
  // 4 to 6 leave nothing.
  const std::vector<uint8_t> bytes = StoredPage(page);
  EXPECT_EQ(bytes, Hex({0x25, 0x00, 0x25, 0x00, 0x25, 0x02, 0x10, 0x01}));

  DeliveryDirectionsModel loaded;
  EXPECT_EQ(LoadPage(loaded, bytes), 1);
  for (int n = 1; n <= kDirectionCount; ++n) EXPECT_EQ(loaded.frame(n).state().C_Proto, n == 3 ? 1 : 0) << n;
}

TEST(DeliveryDirections, Load_TakesOnlyDirectionGroupsOneToSix_ResultOfTheNestedWalk) {
  DeliveryDirectionsModel page;
  const std::vector<uint8_t> good = Hex({0x10, 0x04});               // protocol SIA IP
  const std::vector<uint8_t> half_bad = Hex({0x10, 0x0B, 0x20, 0x01});  // protocol 11, SIM 1
  const std::vector<uint8_t> malformed = Hex({0x10});
  EXPECT_EQ(page.LoadFromConfig(kFieldGroup, 2, 0, good.data(), good.size(), 5), 1);
  EXPECT_EQ(page.frame(6).state().C_Proto, 4);
  EXPECT_EQ(page.LoadFromConfig(kFieldGroup, 2, 0, good.data(), good.size(), 6), 0);
  EXPECT_EQ(page.LoadFromConfig(kFieldGroup, 3, 0, good.data(), good.size(), 0), 0);
  EXPECT_EQ(page.LoadFromConfig(kFieldInteger, 2, 4, nullptr, 0, 0), 0);
  EXPECT_EQ(page.frame(1).state().C_Proto, 0);
  EXPECT_EQ(page.LoadFromConfig(kFieldGroup, 2, 0, half_bad.data(), half_bad.size(), 1), 0);
  EXPECT_EQ(page.frame(2).state().C_Proto, 0);
  EXPECT_EQ(page.frame(2).state().C_SIM, 1);
  EXPECT_EQ(page.LoadFromConfig(kFieldGroup, 2, 0, malformed.data(), malformed.size(), 2), kWalkMalformed);

  // The reset before a load clears what the previous configuration set.
  page.ResetToDefaults();
  EXPECT_EQ(page.frame(6).state().C_Proto, 0);
  EXPECT_EQ(page.frame(2).state().C_SIM, 0);
}

TEST(DeliveryDirections, RoundTrip_EveryParameterOfEveryDirectionComesBackByteIdentical) {
  ConfigTree tree;
  for (int n = 1; n <= kDirectionCount; ++n) {
    ConfigTree group;
    group.PutInt(1, n + 4);  // protocols 5..10
    group.PutInt(2, n % 2 + 1);
    group.PutString(3, n == 1 ? "Пост №1" : "192.168.0." + std::to_string(n));
    group.PutInt(4, 24000 + n);
    group.PutInt(5, n == 5 ? 4 : 10 + n);
    group.PutInt(6, 1);
    group.PutInt(7, 60 * n + 1);
    group.PutInt(8, 1);
    tree.PutGroup(2, std::move(group));
  }
  const std::vector<uint8_t> bytes = EncodeConfig(tree);
  DeliveryDirectionsModel page;
  page.frame(4).L_MoreClick();
  ASSERT_EQ(LoadPage(page, bytes), 1);
  EXPECT_EQ(page.frame(1).state().E_Tel, "Пост №1");
  EXPECT_EQ(page.frame(5).state().E_Try, "4");
  EXPECT_TRUE(page.frame(4).state().visible.ME_LocalPeriod);
  EXPECT_EQ(StoredPage(page), bytes);
}

TEST(DeliveryDirections, Layout_UnfoldingMovesOnlyTheFramesBelow) {
  DeliveryDirectionsModel page;
  const DirectionsLayout folded = page.Layout();
  for (int i = 0; i < kDirectionCount; ++i) {
    EXPECT_EQ(folded.frames[i], (DirectionFrameGeometry{73 * i, 74, 72})) << i;
  }
  EXPECT_EQ(folded.content_height, 5 * 73 + 74);

  page.frame(2).L_MoreClick();
  DirectionsLayout one = page.Layout();
  EXPECT_EQ(one.frames[0], folded.frames[0]);
  EXPECT_EQ(one.frames[1], (DirectionFrameGeometry{73, 107, 105}));
  for (int i = 2; i < kDirectionCount; ++i) EXPECT_EQ(one.frames[i].top, folded.frames[i].top + 33) << i;
  EXPECT_EQ(one.content_height, folded.content_height + 33);

  page.frame(4).L_MoreClick();
  DirectionsLayout two = page.Layout();
  EXPECT_EQ(two.frames[2].top, folded.frames[2].top + 33);
  EXPECT_EQ(two.frames[3].top, folded.frames[3].top + 33);
  EXPECT_EQ(two.frames[4].top, folded.frames[4].top + 66);
  EXPECT_EQ(two.content_height, folded.content_height + 66);

  page.frame(6).L_MoreClick();  // the last frame grows the scroll range by itself
  EXPECT_EQ(page.Layout().content_height, folded.content_height + 99);

  for (int n : {2, 4, 6}) page.frame(n).L_MoreClick();
  EXPECT_EQ(page.Layout().frames, folded.frames);
}

TEST(DeliveryDirections, LocalPeriodAnswer_AndSettingsListing) {
  DeliveryDirectionsModel page;
  page.frame(2).CB_LocalPeriodClick(true);  // ticked while its box is hidden
  page.frame(5).C_ProtoChange(3);
  page.frame(5).CB_LocalPeriodClick(true);
  for (int n = 1; n <= kDirectionCount; ++n) EXPECT_EQ(page.LocalPeriodTicked(n), n == 2 || n == 5) << n;
  EXPECT_THROW(page.frame(0), std::out_of_range);
  EXPECT_THROW(page.LocalPeriodTicked(7), std::out_of_range);

  page.frame(5).SetSim(1);
  page.frame(5).SetText(Edit::E_Tel, "10.1.1.1");
  page.frame(5).SetText(Edit::ME_LocalPeriod, "01:00");
  std::vector<SettingValue> list;
  page.ListSettings(list);
  ASSERT_EQ(list.size(), 48u);
  const std::vector<SettingValue> fifth(list.begin() + 32, list.begin() + 40);
  EXPECT_EQ(fifth, (std::vector<SettingValue>{{"directions.5.C_Proto", "Kam-Net"},
                                              {"directions.5.E_Tel", "10.1.1.1"},
                                              {"directions.5.C_SIM", "Sim 1"},
                                              {"directions.5.E_Try", "5"},
                                              {"directions.5.E_Port", ""},
                                              {"directions.5.CB_LocalPeriod", "on"},
                                              {"directions.5.ME_LocalPeriod", "01:00"},
                                              {"directions.5.CB_UseCrypto", "off"}}));
  EXPECT_EQ(list[0], (SettingValue{"directions.1.C_Proto", "Нет"}));
  EXPECT_EQ(list[2], (SettingValue{"directions.1.C_SIM", "любая"}));
  EXPECT_EQ(list[6], (SettingValue{"directions.1.ME_LocalPeriod", "  :  "}));
}

}  // namespace
}  // namespace tamlo
