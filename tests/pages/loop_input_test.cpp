#include "pages/loop_input.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "config/settings_registry.h"
#include "config/tagged_encoding.h"
#include "config/test_pages.h"

namespace tamlo {
namespace {

using testing::Hex;

ConfigTree Group(std::initializer_list<std::pair<uint32_t, int32_t>> ints) {
  ConfigTree tree;
  for (const auto& [id, value] : ints) tree.PutInt(id, value);
  return tree;
}

void Edit(LoopInputModel& input, const char* event, const char* partition, const char* zone) {
  input.SetText(LoopEdit::E_Event, event);
  input.SetText(LoopEdit::E_Partition, partition);
  input.SetText(LoopEdit::E_Zone, zone);
}

TEST(LoopInput, Reset_EachInputGetsItsOwnDefaults) {
  struct Case {
    LoopType type;
    const char* event;
    const char* zone;
  } cases[] = {{LoopType::RB_Disabled, "120", "001"},
               {LoopType::RB_Disabled, "137", "002"},
               {LoopType::RB_Disabled, "301", "003"},
               {LoopType::RB_Tamlo, "130", "004"}};
  for (int index = 0; index < 4; ++index) {
    SCOPED_TRACE(index);
    const Case& c = cases[index];
    LoopInputModel input(index);
    input.RB_LoopTypeClick(LoopType::RB_Resistance);
    Edit(input, "9", "5", "");
    input.ResetToDefaults();
    EXPECT_EQ(input.state().GrpBx_LoopType, c.type);
    EXPECT_EQ(input.state().E_Event, c.event);
    EXPECT_EQ(input.state().E_Partition, "00");
    EXPECT_EQ(input.state().E_Zone, c.zone);
    EXPECT_EQ(input.state().RB_Tamlo_Visible, index == 3);
    EXPECT_FALSE(input.state().GrpBx_Event_Visible);
    EXPECT_TRUE(input.BuildGroup().empty());
  }
  EXPECT_THROW(LoopInputModel(-1), std::out_of_range);
  EXPECT_THROW(LoopInputModel(4), std::out_of_range);
}

TEST(LoopInput, ClickAndLoadedType_EventBoxOnlyForContactAndLoopTypes) {
  LoopInputModel l4(3);
  for (auto [button, shown] : {std::pair{LoopType::RB_NormalOpen, true}, {LoopType::RB_Disabled, false},
                               {LoopType::RB_NormalClosed, true}, {LoopType::RB_Tamlo, false},
                               {LoopType::RB_Resistance, true}}) {
    l4.RB_LoopTypeClick(button);
    EXPECT_EQ(l4.state().GrpBx_LoopType, button);
    EXPECT_EQ(l4.state().GrpBx_Event_Visible, shown) << static_cast<int>(button);
    l4.ResetToDefaults();
    ASSERT_EQ(l4.LoadGroupField(kFieldInteger, 1, static_cast<int32_t>(button), nullptr, 0, 0), 1);
    EXPECT_EQ(l4.state().GrpBx_Event_Visible, shown) << "loaded " << static_cast<int>(button);
  }
  // L1..L3 hide the repeater button, so it cannot be clicked there.
  LoopInputModel l2(1);
  l2.RB_LoopTypeClick(LoopType::RB_NormalOpen);
  l2.RB_LoopTypeClick(LoopType::RB_Tamlo);
  EXPECT_EQ(l2.state().GrpBx_LoopType, LoopType::RB_NormalOpen);
}

TEST(LoopInput, LoadGroupField_TakenOrRefused) {
  struct Case {
    const char* name;
    int index;
    int kind;
    uint32_t id;
    int32_t value;
    int result;
    LoopType type;  // the state afterwards
    const char* event;
    const char* partition;
    const char* zone;
  } cases[] = {
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
      {"zone", 1, kFieldInteger, 4, 0xFC, 1, LoopType::RB_Disabled, "137", "00", "0FC"},
      {"zone as group", 1, kFieldGroup, 4, 0, 0, LoopType::RB_Disabled, "137", "00", "002"},
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

TEST(LoopInput, LoadGroup_GivesTheNestedWalksResult) {
  LoopInputModel l1(0);
  const std::vector<uint8_t> unknown = EncodeConfig(Group({{2, 0x401}, {9, 1}}));
  EXPECT_EQ(l1.LoadGroup(unknown.data(), unknown.size()), 0);
  EXPECT_EQ(l1.state().E_Event, "401");  // taken before the refusal
  const auto past_end = Hex({0x20, 0x05, 0x40});
  EXPECT_EQ(l1.LoadGroup(past_end.data(), past_end.size()), kWalkMalformed);
  EXPECT_EQ(l1.LoadGroup(nullptr, 0), 1);
}

TEST(LoopInput, BuildGroup_PutsOnlyWhatDiffersFromTheInputsDefaults) {
  struct Case {
    const char* name;
    int index;
    LoopType type;
    const char* event;
    const char* partition;
    const char* zone;
    std::vector<std::pair<uint32_t, int32_t>> puts;
  } cases[] = {
      {"blank edits mean defaults", 1, LoopType::RB_Disabled, "", "", "", {}},
      {"blanks around", 2, LoopType::RB_Disabled, " 301 ", " 0", "3 ", {}},
      {"event with a letter", 0, LoopType::RB_Disabled, "12B", "00", "001", {{2, 0x12B}}},
      {"another input's defaults", 1, LoopType::RB_Disabled, "120", "00", "001", {{2, 0x120}, {4, 1}}},
      {"zone 0 and partition", 3, LoopType::RB_Tamlo, "130", "1F", "0", {{3, 0x1F}, {4, 0}}},
      {"not used on L4", 3, LoopType::RB_Disabled, "130", "00", "004", {{1, 0}}},
      {"everything", 2, LoopType::RB_Resistance, "E60", "BC", "DEF", {{1, 3}, {2, 0xE60}, {3, 0xBC}, {4, 0xDEF}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LoopInputModel input(c.index);
    input.RB_LoopTypeClick(c.type);
    Edit(input, c.event, c.partition, c.zone);
    ConfigTree expected;
    for (const auto& [id, value] : c.puts) expected.PutInt(id, value);
    ClearNotedSettings();
    EXPECT_EQ(EncodeConfig(input.BuildGroup()), EncodeConfig(expected));
    // Only the input type needs firmware 3.02.
    EXPECT_EQ(NotedSettings().size(), c.type != input.DefaultType() ? 1u : 0u);
  }
  EXPECT_EQ(NotedSettings(), (std::vector<NotedSetting>{{"Тип входа", 302}}));
  ClearNotedSettings();
}

TEST(LoopInput, PickedCodeReplacesOnlyTheEvent_TopLevelContractIdle_Listing) {
  LoopInputModel l3(2);
  l3.RB_LoopTypeClick(LoopType::RB_NormalClosed);
  Edit(l3, "301", "01", "");
  l3.TakePickedEventCode("");  // picker cancelled
  EXPECT_EQ(l3.state().E_Event, "301");
  l3.TakePickedEventCode("602");
  EXPECT_EQ(l3.Text(LoopEdit::E_Event), "602");
  EXPECT_EQ(l3.Text(LoopEdit::E_Partition), "01");
  EXPECT_EQ(l3.Text(LoopEdit::E_Zone), "");

  EXPECT_EQ(l3.LoadFromConfig(kFieldGroup, 4, 0, nullptr, 0, 2), 0);
  EXPECT_EQ(l3.LoadFromConfig(kFieldInteger, 2, 5, nullptr, 0, 0), 0);
  ConfigTree tree;
  l3.StoreToConfig(tree);
  EXPECT_TRUE(tree.empty());

  std::vector<SettingValue> listed;
  l3.ListSettings(listed);
  EXPECT_EQ(listed, (std::vector<SettingValue>{{"inputs.3.GrpBx_LoopType", "RB_NormalClosed"},
                                               {"inputs.3.E_Event", "602"},
                                               {"inputs.3.E_Partition", "01"},
                                               {"inputs.3.E_Zone", ""}}));
}

}  // namespace
}  // namespace tamlo
