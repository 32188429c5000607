#include "pages/loop_input.h"

#include <cstdio>
#include <stdexcept>

#include "config/setting_versions.h"
#include "config/tagged_encoding.h"

namespace tamlo {
namespace {

// Event codes the device sends by default, per input (Contact ID form):
// 120 panic, 137 tamper, 301 AC loss, 130 burglary.
constexpr std::array<uint32_t, 4> kDefaultEvents{0x120, 0x137, 0x301, 0x130};

// What each LoopEdit holds, in the enum's order.
constexpr std::array<std::string LoopInputState::*, 3> kEditText{&LoopInputState::E_Event, &LoopInputState::E_Partition,
                                                                 &LoopInputState::E_Zone};
static_assert(static_cast<size_t>(LoopEdit::E_Zone) == kEditText.size() - 1);

constexpr int kEventDigits = 3;
constexpr int kPartitionDigits = 2;
constexpr int kZoneDigits = 3;

const char* ButtonName(LoopType button) {
  for (const LoopTypeButton& b : kLoopTypeButtons)
    if (b.button == button) return b.control;
  return "";
}

}  // namespace

std::string FormatHexField(int32_t value, int min_digits) {
  char text[16];
  std::snprintf(text, sizeof text, "%0*X", min_digits, static_cast<unsigned>(static_cast<uint32_t>(value)));
  return text;
}

LoopInputModel::LoopInputModel(int input_index) : m_inputIndex(input_index) {
  if (input_index < 0 || input_index >= static_cast<int>(kDefaultEvents.size()))
    throw std::out_of_range("LoopInputModel: input index " + std::to_string(input_index));
  m_state.RB_Tamlo_Visible = input_index == kRepeaterInputIndex;
  ResetToDefaults();
}

LoopType LoopInputModel::DefaultType() const {
  return m_inputIndex == kRepeaterInputIndex ? LoopType::RB_Tamlo : LoopType::RB_Disabled;
}

uint32_t LoopInputModel::DefaultEvent() const { return kDefaultEvents[static_cast<size_t>(m_inputIndex)]; }

uint32_t LoopInputModel::DefaultZone() const { return static_cast<uint32_t>(m_inputIndex) + 1; }

const std::string& LoopInputModel::Text(LoopEdit edit) const { return m_state.*kEditText[static_cast<size_t>(edit)]; }

void LoopInputModel::SetText(LoopEdit edit, std::string text) {
  m_state.*kEditText[static_cast<size_t>(edit)] = std::move(text);
}

void LoopInputModel::Select(LoopType button) {
  m_state.GrpBx_LoopType = button;
  // A message is only sent by an input that watches a contact or a loop.
  m_state.GrpBx_Event_Visible = button != LoopType::RB_Disabled && button != LoopType::RB_Tamlo;
}

void LoopInputModel::RB_LoopTypeClick(LoopType button) {
  if (button == LoopType::RB_Tamlo && !m_state.RB_Tamlo_Visible) return;
  Select(button);
}

void LoopInputModel::TakePickedEventCode(std::string_view selected_code) {
  if (!selected_code.empty()) m_state.E_Event = std::string(selected_code);
}

ConfigTree LoopInputModel::BuildGroup() const {
  ConfigTree group;
  const uint32_t event = ParseHexField(m_state.E_Event, DefaultEvent());
  if (event != DefaultEvent()) group.PutInt(kLoopEventId, static_cast<int32_t>(event));
  const uint32_t partition = ParseHexField(m_state.E_Partition, 0);
  if (partition != 0) group.PutInt(kLoopPartitionId, static_cast<int32_t>(partition));
  const uint32_t zone = ParseHexField(m_state.E_Zone, DefaultZone());
  if (zone != DefaultZone()) group.PutInt(kLoopZoneId, static_cast<int32_t>(zone));
  if (m_state.GrpBx_LoopType != DefaultType())
    group.PutInt(kLoopTypeId, static_cast<int32_t>(m_state.GrpBx_LoopType), setting_versions::kInputType.name,
                 setting_versions::kInputType.min_version);
  return group;
}

int LoopInputModel::LoadGroupField(int kind, uint32_t id, int32_t value, const uint8_t*, size_t, uint32_t) {
  if (kind != kFieldInteger) return 0;
  switch (id) {
    case kLoopTypeId:
      if (value < static_cast<int32_t>(LoopType::RB_Disabled) || value > static_cast<int32_t>(LoopType::RB_Tamlo))
        return 0;
      // Only L4 has the repeater button; elsewhere the type cannot be shown.
      if (static_cast<LoopType>(value) == LoopType::RB_Tamlo && !m_state.RB_Tamlo_Visible) return 0;
      Select(static_cast<LoopType>(value));
      return 1;
    case kLoopEventId: m_state.E_Event = FormatHexField(value, kEventDigits); return 1;
    case kLoopPartitionId: m_state.E_Partition = FormatHexField(value, kPartitionDigits); return 1;
    case kLoopZoneId: m_state.E_Zone = FormatHexField(value, kZoneDigits); return 1;
    default: return 0;
  }
}

int LoopInputModel::LoadGroup(const uint8_t* data, size_t length) {
  return WalkConfig(data, length,
                    [this](uint32_t code, int32_t value, const uint8_t* field, size_t size, uint32_t repeat) {
                      return LoadGroupField(static_cast<int>(FieldCodeKind(code)), FieldCodeId(code), value, field,
                                            size, repeat);
                    });
}

void LoopInputModel::ResetToDefaults() {
  Select(DefaultType());
  m_state.E_Event = FormatHexField(static_cast<int32_t>(DefaultEvent()), kEventDigits);
  m_state.E_Partition = FormatHexField(0, kPartitionDigits);
  m_state.E_Zone = FormatHexField(static_cast<int32_t>(DefaultZone()), kZoneDigits);
}

int LoopInputModel::LoadFromConfig(int, uint32_t, int32_t, const uint8_t*, size_t, uint32_t) { return 0; }

void LoopInputModel::StoreToConfig(ConfigTree&) {}

void LoopInputModel::ListSettings(std::vector<SettingValue>& out) const {
  const std::string prefix = "inputs." + std::to_string(m_inputIndex + 1) + ".";
  out.push_back({prefix + "GrpBx_LoopType", ButtonName(m_state.GrpBx_LoopType)});
  out.push_back({prefix + "E_Event", m_state.E_Event});
  out.push_back({prefix + "E_Partition", m_state.E_Partition});
  out.push_back({prefix + "E_Zone", m_state.E_Zone});
}

SettingApply LoopInputModel::ApplySetting(std::string_view name, std::string_view value) {
  if (!TakePrefix(name, "inputs." + std::to_string(m_inputIndex + 1) + ".")) return SettingApply::Unknown();
  if (name == "GrpBx_LoopType") {
    const auto shown = [&](size_t i) {
      return kLoopTypeButtons[i].button != LoopType::RB_Tamlo || m_state.RB_Tamlo_Visible;
    };
    for (size_t i = 0; i < kLoopTypeButtons.size(); ++i) {
      if (value != kLoopTypeButtons[i].control || !shown(i)) continue;
      RB_LoopTypeClick(kLoopTypeButtons[i].button);
      return SettingApply::Applied();
    }
    std::string names;
    for (size_t i = 0; i < kLoopTypeButtons.size(); ++i)
      if (shown(i)) names.append(names.empty() ? "" : ", ").append(kLoopTypeButtons[i].control);
    return SettingApply::Refused("'" + std::string(value) + "' is not one of: " + names);
  }
  return ApplyTypedEdit(
      kLoopEditRules, name, value,
      [this](LoopEdit edit) -> const std::string& { return Text(edit); },
      [this](LoopEdit edit, std::string text) { SetText(edit, std::move(text)); });
}

}  // namespace tamlo
