#include "pages/delivery_directions.h"

#include <algorithm>
#include <stdexcept>

#include "config/config_tree.h"
#include "config/cp1251.h"
#include "config/tagged_encoding.h"

namespace tamlo {
namespace {

// The direction group at the top level, and the ids inside it.
constexpr uint32_t kDirectionGroupId = 2;
constexpr uint32_t kIdProtocol = 1;
constexpr uint32_t kIdSim = 2;
constexpr uint32_t kIdTel = 3;
constexpr uint32_t kIdPort = 4;
constexpr uint32_t kIdTries = 5;
constexpr uint32_t kIdLocalPeriodOn = 6;
constexpr uint32_t kIdLocalPeriod = 7;
constexpr uint32_t kIdCrypto = 8;

constexpr int kDefaultTries = 5;

bool IndexIn(int32_t value, size_t count) { return value >= 0 && static_cast<size_t>(value) < count; }

std::string FrameCaption(int number) { return "Направление " + std::to_string(number); }

using Edit = DirectionFrameModel::Edit;
using State = DirectionFrameModel::State;
using Visible = DirectionFrameModel::Visible;

// What each Edit holds, and the flag it shows and hides with, in the enum's
// order.
constexpr std::array<std::string State::*, 4> kEditText{&State::E_Tel, &State::E_Try, &State::E_Port,
                                                        &State::ME_LocalPeriod};
constexpr std::array<bool Visible::*, 4> kEditShown{&Visible::E_Tel, &Visible::E_Try, &Visible::E_Port,
                                                    &Visible::ME_LocalPeriod};
static_assert(static_cast<size_t>(Edit::E_Tel) == 0 &&
              static_cast<size_t>(Edit::ME_LocalPeriod) == kEditText.size() - 1);

}  // namespace

DirectionFrameModel::DirectionFrameModel(int number) : m_number(number) {
  m_state.GroupBox1 = FrameCaption(number);
  ApplyProtocol();
}

const std::string& DirectionFrameModel::Text(Edit edit) const { return m_state.*kEditText[static_cast<size_t>(edit)]; }

bool DirectionFrameModel::Shown(Edit edit) const { return m_state.visible.*kEditShown[static_cast<size_t>(edit)]; }

void DirectionFrameModel::SetText(Edit edit, std::string text) {
  m_state.*kEditText[static_cast<size_t>(edit)] = std::move(text);
}

void DirectionFrameModel::LeaveEdit(Edit edit) {
  for (const EditRule<Edit>& rule : kEditRules) {
    if (rule.edit == edit && !rule.leave_default.empty()) SetText(edit, ZeroToDefault(Text(edit), rule.leave_default));
  }
}

void DirectionFrameModel::C_ProtoChange(int index) {
  if (!IndexIn(index, kDirectionProtocols.size())) return;
  m_state.C_Proto = index;
  ApplyProtocol();
}

void DirectionFrameModel::SetSim(int index) {
  if (IndexIn(index, kDirectionSimItems.size())) m_state.C_SIM = index;
}

void DirectionFrameModel::CB_LocalPeriodClick(bool ticked) {
  m_state.CB_LocalPeriod = ticked;
  UpdateExtraRow();
}

void DirectionFrameModel::CB_UseCryptoClick(bool ticked) {
  m_state.CB_UseCrypto = ticked;
  UpdateExtraRow();
}

void DirectionFrameModel::L_MoreClick() {
  m_state.L_More = m_state.Expanded ? DirectionFrameTexts::L_MoreFolded : DirectionFrameTexts::L_MoreUnfolded;
  m_state.Expanded = !m_state.Expanded;
  UpdateExtraRow();
}

void DirectionFrameModel::ApplyProtocol() {
  const DirectionProtocol& p = kDirectionProtocols[static_cast<size_t>(m_state.C_Proto)];
  if (!p.address_label.empty()) m_state.L_Tel = p.address_label;
  m_state.visible.E_Tel = p.tel;
  m_state.visible.C_SIM = p.sim;
  m_state.visible.E_Try = p.tries;
  m_state.visible.E_Port = p.port;
  UpdateExtraRow();
}

void DirectionFrameModel::UpdateExtraRow() {
  const DirectionProtocol& p = kDirectionProtocols[static_cast<size_t>(m_state.C_Proto)];
  m_state.visible.CB_LocalPeriod = m_state.Expanded && m_state.C_Proto > 0;
  m_state.visible.ME_LocalPeriod = m_state.visible.CB_LocalPeriod && m_state.CB_LocalPeriod;
  m_state.visible.CB_UseCrypto = m_state.Expanded && p.encryption;
}

void DirectionFrameModel::ResetToDefaults() {
  const bool expanded = m_state.Expanded;
  const std::string more = m_state.L_More;
  const std::string tel_label = m_state.L_Tel;  // "Нет" leaves the hidden label's caption alone
  m_state = State{};
  m_state.GroupBox1 = FrameCaption(m_number);
  m_state.Expanded = expanded;
  m_state.L_More = more;
  m_state.L_Tel = tel_label;
  ApplyProtocol();
}

int DirectionFrameModel::LoadField(int kind, uint32_t id, int32_t value, const uint8_t* data, size_t length) {
  if (kind == kFieldText && id == kIdTel) {
    m_state.E_Tel = FieldText(data, length);
    return 1;
  }
  if (kind != kFieldInteger) return 0;
  switch (id) {
    case kIdProtocol:
      // A negative index is as far outside the list as one of 11 or more.
      if (!IndexIn(value, kDirectionProtocols.size())) return 0;
      m_state.C_Proto = value;
      ApplyProtocol();
      return 1;
    case kIdSim:
      if (!IndexIn(value, kDirectionSimItems.size())) return 0;
      m_state.C_SIM = value;
      return 1;
    case kIdPort:
      if (value != 0) m_state.E_Port = std::to_string(value);
      return 1;
    case kIdTries:
      m_state.E_Try = std::to_string(value == 0 ? kDefaultTries : value);
      return 1;
    case kIdLocalPeriodOn:
      if (value != 0) CB_LocalPeriodClick(true);
      return 1;
    case kIdLocalPeriod:
      m_state.ME_LocalPeriod = FormatTimeField(value);
      return 1;
    case kIdCrypto:
      if (value != 0) CB_UseCryptoClick(true);
      return 1;
    default:
      return 0;
  }
}

void DirectionFrameModel::StoreTo(ConfigTree& group) const {
  using setting_versions::kEncryption;
  using setting_versions::kOwnTestPeriod;
  const DirectionProtocol& p = kDirectionProtocols[static_cast<size_t>(m_state.C_Proto)];
  if (m_state.C_Proto != 0) group.PutInt(kIdProtocol, m_state.C_Proto, p.setting.name, p.setting.min_version);
  if (m_state.C_SIM != 0) group.PutInt(kIdSim, m_state.C_SIM);
  group.PutTrimmedString(kIdTel, m_state.E_Tel);
  if (const int32_t port = EditIntValue(m_state.E_Port, 0); port != 0) group.PutInt(kIdPort, port);
  if (const int32_t tries = EditIntValue(m_state.E_Try, kDefaultTries); tries != 0 && tries != kDefaultTries)
    group.PutInt(kIdTries, tries);
  if (m_state.CB_LocalPeriod) group.PutInt(kIdLocalPeriodOn, 1, kOwnTestPeriod.name, kOwnTestPeriod.min_version);
  if (const int minutes = ParseTimeField(m_state.ME_LocalPeriod); minutes != 0) group.PutInt(kIdLocalPeriod, minutes);
  // Only the protocols that can encrypt make the flag a setting with a
  // firmware version; a tick left over from such a protocol is stored bare.
  if (m_state.CB_UseCrypto) {
    if (p.encryption) {
      group.PutInt(kIdCrypto, 1, kEncryption.name, kEncryption.min_version);
    } else {
      group.PutInt(kIdCrypto, 1);
    }
  }
}

void DirectionFrameModel::ListSettings(std::vector<SettingValue>& out) const {
  const std::string prefix = "directions." + std::to_string(m_number) + ".";
  auto add = [&](const char* control, std::string_view value) {
    out.push_back({prefix + control, std::string(value)});
  };
  add("C_Proto", kDirectionProtocols[static_cast<size_t>(m_state.C_Proto)].item);
  add("E_Tel", m_state.E_Tel);
  add("C_SIM", kDirectionSimItems[static_cast<size_t>(m_state.C_SIM)]);
  add("E_Try", m_state.E_Try);
  add("E_Port", m_state.E_Port);
  add("CB_LocalPeriod", m_state.CB_LocalPeriod ? "on" : "off");
  add("ME_LocalPeriod", m_state.ME_LocalPeriod);
  add("CB_UseCrypto", m_state.CB_UseCrypto ? "on" : "off");
}

SettingApply DirectionFrameModel::ApplySetting(std::string_view control, std::string_view value) {
  if (control == "C_Proto") {
    const auto item = [](size_t i) { return kDirectionProtocols[i].item; };
    const std::optional<size_t> index = FindItem(value, kDirectionProtocols.size(), item);
    if (!index) return RefusedItem(value, kDirectionProtocols.size(), item);
    C_ProtoChange(static_cast<int>(*index));
    return SettingApply::Applied();
  }
  if (control == "C_SIM") {
    const auto item = [](size_t i) { return kDirectionSimItems[i]; };
    const std::optional<size_t> index = FindItem(value, kDirectionSimItems.size(), item);
    if (!index) return RefusedItem(value, kDirectionSimItems.size(), item);
    SetSim(static_cast<int>(*index));
    return SettingApply::Applied();
  }
  if (control == "CB_LocalPeriod" || control == "CB_UseCrypto") {
    const std::optional<bool> tick = ParseTick(value);
    if (!tick) return RefusedTick(value);
    control == "CB_LocalPeriod" ? CB_LocalPeriodClick(*tick) : CB_UseCryptoClick(*tick);
    return SettingApply::Applied();
  }
  if (control == "ME_LocalPeriod") {
    if (auto refusal = TimeFieldRefusal(value)) return SettingApply::Refused(*refusal);
    SetText(Edit::ME_LocalPeriod, std::string(value));
    return SettingApply::Applied();
  }
  return ApplyTypedEdit(
      kEditRules, control, value, [this](Edit edit) { return Text(edit); },
      [this](Edit edit, std::string text) {
        SetText(edit, std::move(text));
        LeaveEdit(edit);
      });
}

DirectionsLayout LayoutDirections(const std::array<bool, kDirectionCount>& expanded) {
  DirectionsLayout layout;
  int shift = 0;  // added by the unfolded frames above
  for (size_t i = 0; i < expanded.size(); ++i) {
    const int extra = expanded[i] ? kDirectionExtraRowHeight : 0;
    DirectionFrameGeometry& g = layout.frames[i];
    g.top = static_cast<int>(i) * kDirectionFrameStep + shift;
    g.height = kDirectionFrameHeight + extra;
    g.group_box_height = kDirectionGroupBoxHeight + extra;
    layout.content_height = std::max(layout.content_height, g.top + g.height);
    shift += extra;
  }
  return layout;
}

DeliveryDirectionsModel::DeliveryDirectionsModel()
    : m_frames{DirectionFrameModel(1), DirectionFrameModel(2), DirectionFrameModel(3),
               DirectionFrameModel(4), DirectionFrameModel(5), DirectionFrameModel(6)} {}

size_t DeliveryDirectionsModel::IndexOf(int number) {
  if (number < 1 || number > kDirectionCount) throw std::out_of_range("direction number");
  return static_cast<size_t>(number - 1);
}

DirectionFrameModel& DeliveryDirectionsModel::frame(int number) { return m_frames[IndexOf(number)]; }

const DirectionFrameModel& DeliveryDirectionsModel::frame(int number) const { return m_frames[IndexOf(number)]; }

bool DeliveryDirectionsModel::LocalPeriodTicked(int number) const { return frame(number).state().CB_LocalPeriod; }

DirectionsLayout DeliveryDirectionsModel::Layout() const {
  std::array<bool, kDirectionCount> expanded{};
  for (size_t i = 0; i < m_frames.size(); ++i) expanded[i] = m_frames[i].state().Expanded;
  return LayoutDirections(expanded);
}

void DeliveryDirectionsModel::ResetToDefaults() {
  for (DirectionFrameModel& f : m_frames) f.ResetToDefaults();
}

int DeliveryDirectionsModel::LoadFromConfig(int kind, uint32_t id, int32_t, const uint8_t* data, size_t length,
                                            uint32_t repeat) {
  if (kind != kFieldGroup || id != kDirectionGroupId || repeat >= m_frames.size()) return 0;
  DirectionFrameModel& f = m_frames[repeat];
  return WalkConfig(data, length, [&f](uint32_t code, int32_t value, const uint8_t* d, size_t n, uint32_t) {
    return f.LoadField(static_cast<int>(FieldCodeKind(code)), FieldCodeId(code), value, d, n);
  });
}

void DeliveryDirectionsModel::StoreToConfig(ConfigTree& tree) {
  for (const DirectionFrameModel& f : m_frames) {
    ConfigTree group;
    f.StoreTo(group);
    tree.PutGroup(kDirectionGroupId, std::move(group));
  }
}

void DeliveryDirectionsModel::ListSettings(std::vector<SettingValue>& out) const {
  for (const DirectionFrameModel& f : m_frames) f.ListSettings(out);
}

SettingApply DeliveryDirectionsModel::ApplySetting(std::string_view name, std::string_view value) {
  if (!TakePrefix(name, "directions.")) return SettingApply::Unknown();
  const std::optional<int> number = TakeNumber(name, kDirectionCount);
  if (!number) return SettingApply::Unknown();
  return frame(*number).ApplySetting(name, value);
}

}  // namespace tamlo
