#include "pages/loop_input.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "config/settings_registry.h"
#include "config/tagged_encoding.h"
#include "config/test_pages.h"

namespace tamlo {
namespace {

using testing::Hex;

std::vector<uint8_t> Encoded(const ConfigTree& tree) { return EncodeConfig(tree); }

ConfigTree Group(std::initializer_list<std::pair<uint32_t, int32_t>> ints) {
  ConfigTree tree;
  for (const auto& [id, value] : ints) tree.PutInt(id, value);
  return tree;
}

TEST(LoopInputReset, EachInputGetsItsOwnDefaults) {
  struct Case {
    int index;
    LoopType type;
    const char* event;
    const char* zone;
    bool repeater_button;
  } cases[] = {{0, LoopType::RB_Disabled, "120", "001", false},
               {1, LoopType::RB_Disabled, "137", "002", false},
               {2, LoopType::RB_Disabled, "301", "003", false},
               {3, LoopType::RB_Tamlo, "130", "004", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.index);
    LoopInputModel input(c.index);
    // Away from the defaults first, so the reset has something to undo.
    input.RB_LoopTypeClick(LoopType::RB_Resistance);
    input.SetText(LoopEdit::E_Event, "9");
    input.SetText(LoopEdit::E_Partition, "5");
    input.SetText(LoopEdit::E_Zone, "");
    input.ResetToDefaults();
    const LoopInputState& s = input.state();
    EXPECT_EQ(s.GrpBx_LoopType, c.type);
    EXPECT_EQ(s.E_Event, c.event);
    EXPECT_EQ(s.E_Partition, "00");
    EXPECT_EQ(s.E_Zone, c.zone);
    EXPECT_EQ(s.RB_Tamlo_Visible, c.repeater_button);
    EXPECT_FALSE(s.GrpBx_Event_Visible);  // both default types send no message
    EXPECT_TRUE(input.BuildGroup().empty());
  }
  EXPECT_THROW(LoopInputModel(-1), std::out_of_range);
  EXPECT_THROW(LoopInputModel(4), std::out_of_range);
}

TEST(LoopInputClick, EventBoxShownOnlyForContactAndLoopTypes) {
  struct Case {
    LoopType button;
    bool event_box;
  } cases[] = {{LoopType::RB_NormalOpen, true},
               {LoopType::RB_Disabled, false},
               {LoopType::RB_NormalClosed, true},
               {LoopType::RB_Tamlo, false},
               {LoopType::RB_Resistance, true}};
  LoopInputModel l4(3);
  for (const Case& c : cases) {
    l4.RB_LoopTypeClick(c.button);
    EXPECT_EQ(l4.state().GrpBx_LoopType, c.button);
    EXPECT_EQ(l4.state().GrpBx_Event_Visible, c.event_box) << static_cast<int>(c.button);
  }
  // The hidden repeater button of L1..L3 cannot be chosen.
  LoopInputModel l2(1);
  l2.RB_LoopTypeClick(LoopType::RB_NormalOpen);
  l2.RB_LoopTypeClick(LoopType::RB_Tamlo);
  EXPECT_EQ(l2.state().GrpBx_LoopType, LoopType::RB_NormalOpen);
  EXPECT_TRUE(l2.state().GrpBx_Event_Visible);
}

TEST(LoopInputLoad, GroupFieldsTakenOrRefused) {
  struct Case {
    const char* name;
    int index;
    int kind;
    uint32_t id;
    int32_t value;
    int result;
    LoopType type;  // expected afterwards
    const char* event;
    const char* partition;
    const char* zone;
  } cases[] = {
      {"type 0", 1, kFieldInteger, 1, 0, 1, LoopType::RB_Disabled, "137", "00", "002"},
      {"type 1", 1, kFieldInteger, 1, 1, 1, LoopType::RB_NormalOpen, "137", "00", "002"},
      {"type 2", 3, kFieldInteger, 1, 2, 1, LoopType::RB_NormalClosed, "130", "00", "004"},
      {"type 3", 0, kFieldInteger, 1, 3, 1, LoopType::RB_Resistance, "120", "00", "001"},
      {"type 4 on L4", 3, kFieldInteger, 1, 4, 1, LoopType::RB_Tamlo, "130", "00", "004"},
      {"type 4 on L3", 2, kFieldInteger, 1, 4, 0, LoopType::RB_Disabled, "301", "00", "003"},
      {"type 5", 3, kFieldInteger, 1, 5, 0, LoopType::RB_Tamlo, "130", "00", "004"},
      {"type -1", 0, kFieldInteger, 1, -1, 0, LoopType::RB_Disabled, "120", "00", "001"},
      {"type as text", 0, kFieldText, 1, 0, 0, LoopType::RB_Disabled, "120", "00", "001"},
      {"event", 0, kFieldInteger, 2, 0x12B, 1, LoopType::RB_Disabled, "12B", "00", "001"},
      {"short event", 0, kFieldInteger, 2, 0x5, 1, LoopType::RB_Disabled, "005", "00", "001"},
      {"long event", 0, kFieldInteger, 2, 0x12345, 1, LoopType::RB_Disabled, "12345", "00", "001"},
      {"negative event", 0, kFieldInteger, 2, -1, 1, LoopType::RB_Disabled, "FFFFFFFF", "00", "001"},
      {"partition", 2, kFieldInteger, 3, 0xA, 1, LoopType::RB_Disabled, "301", "0A", "003"},
      {"long partition", 2, kFieldInteger, 3, 0x1FF, 1, LoopType::RB_Disabled, "301", "1FF", "003"},
      {"zone", 1, kFieldInteger, 4, 0xFC, 1, LoopType::RB_Disabled, "137", "00", "0FC"},
      {"zone as group", 1, kFieldGroup, 4, 0, 0, LoopType::RB_Disabled, "137", "00", "002"},
      {"event as bytes", 1, kFieldBytes, 2, 0, 0, LoopType::RB_Disabled, "137", "00", "002"},
      {"unknown id", 1, kFieldInteger, 5, 7, 0, LoopType::RB_Disabled, "137", "00", "002"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LoopInputModel input(c.index);
    EXPECT_EQ(input.LoadGroupField(c.kind, c.id, c.value, nullptr, 0, 0), c.result);
    EXPECT_EQ(input.state().GrpBx_LoopType, c.type);
    EXPECT_EQ(input.state().E_Event, c.event);
    EXPECT_EQ(input.state().E_Partition, c.partition);
    EXPECT_EQ(input.state().E_Zone, c.zone);
  }
}

TEST(LoopInputLoad, LoadedTypeRunsTheClickRule) {
  LoopInputModel l1(0);
  ASSERT_EQ(l1.LoadGroupField(kFieldInteger, 1, 2, nullptr, 0, 0), 1);
  EXPECT_TRUE(l1.state().GrpBx_Event_Visible);
  ASSERT_EQ(l1.LoadGroupField(kFieldInteger, 1, 0, nullptr, 0, 0), 1);
  EXPECT_FALSE(l1.state().GrpBx_Event_Visible);
}

TEST(LoopInputLoad, GroupWalk_ResultOfTheNestedWalk) {
  LoopInputModel l2(1);
  // Type 1, event 0x130, partition 2, zone 0x10.
  const std::vector<uint8_t> group = Encoded(Group({{1, 1}, {2, 0x130}, {3, 2}, {4, 0x10}}));
  EXPECT_EQ(l2.LoadGroup(group.data(), group.size()), 1);
  EXPECT_EQ(l2.state().GrpBx_LoopType, LoopType::RB_NormalOpen);
  EXPECT_EQ(l2.state().E_Event, "130");
  EXPECT_EQ(l2.state().E_Partition, "02");
  EXPECT_EQ(l2.state().E_Zone, "010");

  // A field nobody takes: 0, what came before it stays.
  LoopInputModel l1(0);
  const std::vector<uint8_t> unknown = Encoded(Group({{2, 0x401}, {9, 1}}));
  EXPECT_EQ(l1.LoadGroup(unknown.data(), unknown.size()), 0);
  EXPECT_EQ(l1.state().E_Event, "401");

  // Content past the end of the group: malformed.
  const auto broken = Hex({0x20, 0x05, 0x40});
  EXPECT_EQ(l1.LoadGroup(broken.data(), broken.size()), kWalkMalformed);
  EXPECT_EQ(l1.LoadGroup(nullptr, 0), 1);
}

TEST(LoopInputStore, PutOnlyWhatDiffersFromTheInputsDefaults) {
  struct Case {
    const char* name;
    int index;
    LoopType type;
    const char* event;
    const char* partition;
    const char* zone;
    std::vector<std::pair<uint32_t, int32_t>> puts;
  } cases[] = {
      {"L1 defaults", 0, LoopType::RB_Disabled, "120", "00", "001", {}},
      {"blank edits mean defaults", 1, LoopType::RB_Disabled, "", "", "", {}},
      {"blanks around", 2, LoopType::RB_Disabled, " 301 ", " 0", "3 ", {}},
      {"event with a letter", 0, LoopType::RB_Disabled, "12B", "00", "001", {{2, 0x12B}}},
      {"another input's default", 1, LoopType::RB_Disabled, "120", "00", "001", {{2, 0x120}, {4, 1}}},
      {"partition", 3, LoopType::RB_Tamlo, "130", "1F", "004", {{3, 0x1F}}},
      {"zone", 3, LoopType::RB_Tamlo, "130", "00", "0", {{4, 0}}},
      {"type on L1", 0, LoopType::RB_NormalClosed, "120", "00", "001", {{1, 2}}},
      {"not used on L4", 3, LoopType::RB_Disabled, "130", "00", "004", {{1, 0}}},
      {"everything", 2, LoopType::RB_Resistance, "E60", "BC", "DEF", {{1, 3}, {2, 0xE60}, {3, 0xBC}, {4, 0xDEF}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LoopInputModel input(c.index);
    input.RB_LoopTypeClick(c.type);
    input.SetText(LoopEdit::E_Event, c.event);
    input.SetText(LoopEdit::E_Partition, c.partition);
    input.SetText(LoopEdit::E_Zone, c.zone);
    ConfigTree expected;
    for (const auto& [id, value] : c.puts) expected.PutInt(id, value);
    EXPECT_EQ(Encoded(input.BuildGroup()), Encoded(expected));
  }
}

TEST(LoopInputStore, InputTypeNotedForFirmware302Only) {
  LoopInputModel l1(0);
  ClearNotedSettings();
  l1.SetText(LoopEdit::E_Event, "100");
  l1.BuildGroup();
  EXPECT_TRUE(NotedSettings().empty());
  l1.RB_LoopTypeClick(LoopType::RB_NormalOpen);
  l1.BuildGroup();
  EXPECT_EQ(NotedSettings(), (std::vector<NotedSetting>{{"Тип входа", 302}}));
  ClearNotedSettings();
}

TEST(LoopInputRoundTrip, LoadedGroupStoresBackByteIdentical) {
  const std::vector<std::vector<uint8_t>> groups = {
      Encoded(Group({{1, 1}, {2, 0x12345}, {3, 0xFF}, {4, 0x999}})),
      Encoded(Group({{1, 2}, {2, 0x1}, {3, 0x1}, {4, 0x1}})),
      Encoded(Group({{1, 3}, {2, 0x0}, {3, 0x1234}, {4, 0x0}})),
      Encoded(Group({{1, 0}, {2, 0xBCD}, {3, 0x99}, {4, 0xFFF}})),
  };
  for (int index = 0; index < 4; ++index) {
    SCOPED_TRACE(index);
    LoopInputModel input(index);
    const std::vector<uint8_t>& group = groups[static_cast<size_t>(index)];
    ASSERT_EQ(input.LoadGroup(group.data(), group.size()), 1);
    EXPECT_EQ(Encoded(input.BuildGroup()), group);
  }
}

TEST(LoopInputPicker, PickedCodeReplacesOnlyTheEvent) {
  LoopInputModel l1(0);
  l1.SetText(LoopEdit::E_Partition, "01");
  l1.SetText(LoopEdit::E_Zone, "0C");
  l1.TakePickedEventCode("");  // cancelled or nothing chosen
  EXPECT_EQ(l1.state().E_Event, "120");
  l1.TakePickedEventCode("602");
  EXPECT_EQ(l1.state().E_Event, "602");
  EXPECT_EQ(l1.state().E_Partition, "01");
  EXPECT_EQ(l1.state().E_Zone, "0C");
}

TEST(LoopInputPage, TopLevelContractTakesAndPutsNothing_ListsItsControls) {
  LoopInputModel l3(2);
  l3.RB_LoopTypeClick(LoopType::RB_NormalClosed);
  l3.SetText(LoopEdit::E_Zone, "");
  EXPECT_EQ(l3.LoadFromConfig(kFieldGroup, 4, 0, nullptr, 0, 2), 0);
  EXPECT_EQ(l3.LoadFromConfig(kFieldInteger, 2, 5, nullptr, 0, 0), 0);
  ConfigTree tree;
  l3.StoreToConfig(tree);
  EXPECT_TRUE(tree.empty());

  std::vector<SettingValue> listed;
  l3.ListSettings(listed);
  EXPECT_EQ(listed, (std::vector<SettingValue>{{"inputs.3.GrpBx_LoopType", "RB_NormalClosed"},
                                               {"inputs.3.E_Event", "301"},
                                               {"inputs.3.E_Partition", "00"},
                                               {"inputs.3.E_Zone", ""}}));
}

}  // namespace
}  // namespace tamlo
