#include "pages/general_settings.h"

#include <algorithm>
#include <stdexcept>
#include <string_view>
#include <utility>

#include "config/config_tree.h"
#include "config/cp1251.h"
#include "config/setting_versions.h"
#include "config/tagged_encoding.h"

namespace tamlo {
namespace {

using Text = std::string GeneralSettingsState::*;

// State member of each GeneralEdit, in the enum's order.
constexpr std::array<Text, 10> kEditText{
    &GeneralSettingsState::E_Account,       &GeneralSettingsState::E_Apn1,
    &GeneralSettingsState::E_Login_Apn1,    &GeneralSettingsState::E_Password_Apn1,
    &GeneralSettingsState::E_Pin1,          &GeneralSettingsState::E_Apn2,
    &GeneralSettingsState::E_Login_Apn2,    &GeneralSettingsState::E_Password_Apn2,
    &GeneralSettingsState::E_Pin2,          &GeneralSettingsState::E_DevicePassword,
};

// State member of each GeneralCheck, in the enum's order.
constexpr std::array<bool GeneralSettingsState::*, 2> kCheckTick{&GeneralSettingsState::CB_ReplaceAcc,
                                                                 &GeneralSettingsState::CB_OwnMessages};

// The edit table is indexed by GeneralEdit as well.
constexpr bool RulesFollowTheEnum() {
  for (size_t i = 0; i < kGeneralEditRules.size(); ++i)
    if (static_cast<size_t>(kGeneralEditRules[i].edit) != i) return false;
  return kGeneralEditRules.size() == kEditText.size();
}
static_assert(RulesFollowTheEnum());

// A SIM's edits in the order of their group ids 1..4 (APN, login, password, PIN).
constexpr std::array<std::array<Text, 4>, 2> kSimText{{
    {&GeneralSettingsState::E_Apn1, &GeneralSettingsState::E_Login_Apn1, &GeneralSettingsState::E_Password_Apn1,
     &GeneralSettingsState::E_Pin1},
    {&GeneralSettingsState::E_Apn2, &GeneralSettingsState::E_Login_Apn2, &GeneralSettingsState::E_Password_Apn2,
     &GeneralSettingsState::E_Pin2},
}};

constexpr int kAccountDigits = 4;
// SIM cards take PINs of 4 to 8 digits.
constexpr size_t kMinPinLength = 4;

using setting_versions::kDevicePassword;
using setting_versions::kOwnMessages;
using setting_versions::kSimPin;
constexpr const char* kNoReplaceAccountWarning = "Не задан номер объекта для замены. Опция будет выключена.";
constexpr const char* kNoOwnMessagesAccountWarning =
    "Для передачи собственных извещений нужно задать номер объекта. Опция будет выключена.";

size_t CharacterCount(std::string_view utf8) {
  return static_cast<size_t>(
      std::count_if(utf8.begin(), utf8.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

const char* OnOff(bool ticked) { return ticked ? "on" : "off"; }

}  // namespace

GeneralSettingsModel::GeneralSettingsModel(UserDialogs& dialogs, const std::array<LoopInputModel*, 4>& inputs)
    : m_dialogs(dialogs), m_inputs(inputs) {
  for (size_t i = 0; i < m_inputs.size(); ++i) {
    if (!m_inputs[i] || m_inputs[i]->InputIndex() != static_cast<int>(i))
      throw std::invalid_argument("GeneralSettingsModel: input page " + std::to_string(i + 1) + " missing or misplaced");
  }
}

const std::string& GeneralSettingsModel::Text(GeneralEdit edit) const {
  return m_state.*kEditText[static_cast<size_t>(edit)];
}

bool GeneralSettingsModel::Ticked(GeneralCheck box) const { return m_state.*kCheckTick[static_cast<size_t>(box)]; }

void GeneralSettingsModel::SetText(GeneralEdit edit, std::string text) {
  m_state.*kEditText[static_cast<size_t>(edit)] = std::move(text);
}

void GeneralSettingsModel::SetCheck(GeneralCheck box, bool ticked) {
  m_state.*kCheckTick[static_cast<size_t>(box)] = ticked;
}

void GeneralSettingsModel::ResetToDefaults() { m_state = GeneralSettingsState{}; }

int GeneralSettingsModel::LoadSimField(size_t sim, int kind, uint32_t id, const uint8_t* data, size_t length) {
  if (kind != kFieldText || id < kSimApnId || id > kSimPinId) return 0;
  m_state.*kSimText[sim][id - kSimApnId] = FieldText(data, length);
  return 1;
}

int GeneralSettingsModel::LoadFromConfig(int kind, uint32_t id, int32_t value, const uint8_t* data, size_t length,
                                         uint32_t repeat) {
  switch (id) {
    case kSimGroupId:
      if (kind != kFieldGroup || repeat >= kSimText.size()) return 0;
      return WalkConfig(data, length, [this, repeat](uint32_t code, int32_t, const uint8_t* field, size_t size,
                                                     uint32_t) {
        return LoadSimField(repeat, static_cast<int>(FieldCodeKind(code)), FieldCodeId(code), field, size);
      });
    case kInputGroupId:
      if (kind != kFieldGroup || repeat >= m_inputs.size()) return 0;
      return m_inputs[repeat]->LoadGroup(data, length);
    case kReplaceAccountId:
      if (kind != kFieldInteger) return 0;
      // The account itself (id 257) comes later and wins when present.
      if (m_state.E_Account.empty()) m_state.E_Account = FormatHexField(value, kAccountDigits);
      m_state.CB_ReplaceAcc = true;
      return 1;
    case kAccountId:
      if (kind != kFieldInteger) return 0;
      m_state.E_Account = FormatHexField(value, kAccountDigits);
      return 1;
    case kDevicePasswordId:
      if (kind != kFieldText) return 0;
      m_state.E_DevicePassword = FieldText(data, length);
      return 1;
    case kOwnMessagesId:
      if (kind != kFieldInteger) return 0;
      if (value != 0) m_state.CB_OwnMessages = true;
      return 1;
    default:
      return 0;
  }
}

ConfigTree GeneralSettingsModel::BuildSimGroup(size_t sim) {
  ConfigTree group;
  for (uint32_t id : {kSimApnId, kSimLoginId, kSimPasswordId})
    group.PutTrimmedString(id, m_state.*kSimText[sim][id - kSimApnId]);
  const std::string_view pin = TrimText(m_state.*kSimText[sim][kSimPinId - kSimApnId]);
  if (!pin.empty()) {
    if (CharacterCount(pin) < kMinPinLength) {
      m_dialogs.ShowMessage("PIN-код для SIM" + std::to_string(sim + 1) + " должен быть как минимум 4 цифры",
                            kApplicationTitle, MessageIcon::None);
    }
    group.PutString(kSimPinId, pin, kSimPin.name, kSimPin.min_version);
  }
  return group;
}

void GeneralSettingsModel::StoreToConfig(ConfigTree& tree) {
  for (size_t sim = 0; sim < kSimText.size(); ++sim) tree.PutGroup(kSimGroupId, BuildSimGroup(sim));

  const std::string_view account = TrimText(m_state.E_Account);
  if (!account.empty()) {
    const auto number = static_cast<int32_t>(ParseHexField(account, 0));
    tree.PutInt(kAccountId, number);
    if (m_state.CB_ReplaceAcc) tree.PutInt(kReplaceAccountId, number);
    if (m_state.CB_OwnMessages) tree.PutInt(kOwnMessagesId, 1, kOwnMessages.name, kOwnMessages.min_version);
  } else {
    // Both options need an account number: without one the device could
    // neither replace nor sign anything, so they are switched off.
    if (m_state.CB_ReplaceAcc) {
      m_dialogs.ShowMessage(kNoReplaceAccountWarning, kApplicationTitle, MessageIcon::Warning);
      m_state.CB_ReplaceAcc = false;
    }
    if (m_state.CB_OwnMessages) {
      m_dialogs.ShowMessage(kNoOwnMessagesAccountWarning, kApplicationTitle, MessageIcon::Warning);
      m_state.CB_OwnMessages = false;
    }
  }

  tree.PutTrimmedString(kDevicePasswordId, m_state.E_DevicePassword, kDevicePassword.name,
                        kDevicePassword.min_version);

  for (LoopInputModel* input : m_inputs) tree.PutGroup(kInputGroupId, input->BuildGroup());
}

void GeneralSettingsModel::ListSettings(std::vector<SettingValue>& out) const {
  const auto edit = [&](GeneralEdit e) {
    out.push_back({std::string("general.").append(kGeneralEditRules[static_cast<size_t>(e)].control),
                   m_state.*kEditText[static_cast<size_t>(e)]});
  };
  edit(GeneralEdit::E_Account);
  out.push_back({"general.CB_ReplaceAcc", OnOff(m_state.CB_ReplaceAcc)});
  out.push_back({"general.CB_OwnMessages", OnOff(m_state.CB_OwnMessages)});
  for (GeneralEdit e : {GeneralEdit::E_Apn1, GeneralEdit::E_Login_Apn1, GeneralEdit::E_Password_Apn1,
                        GeneralEdit::E_Pin1, GeneralEdit::E_Apn2, GeneralEdit::E_Login_Apn2,
                        GeneralEdit::E_Password_Apn2, GeneralEdit::E_Pin2, GeneralEdit::E_DevicePassword})
    edit(e);
}

SettingApply GeneralSettingsModel::ApplySetting(std::string_view name, std::string_view value) {
  if (!TakePrefix(name, "general.")) return SettingApply::Unknown();
  for (const GeneralCheckText& box : kGeneralCheckTexts) {
    if (name != box.control) continue;
    const std::optional<bool> tick = ParseTick(value);
    if (!tick) return RefusedTick(value);
    SetCheck(box.box, *tick);
    return SettingApply::Applied();
  }
  return ApplyTypedEdit(
      kGeneralEditRules, name, value,
      [this](GeneralEdit edit) -> const std::string& { return Text(edit); },
      [this](GeneralEdit edit, std::string text) { SetText(edit, std::move(text)); });
}

}  // namespace tamlo
