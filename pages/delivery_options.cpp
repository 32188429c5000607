#include "pages/delivery_options.h"

#include "config/config_tree.h"
#include "config/setting_versions.h"
#include "config/tagged_encoding.h"

namespace tamlo {
namespace {

constexpr uint32_t kIdOneSimLoops = 263;
constexpr uint32_t kIdReturnTime = 264;
constexpr uint32_t kIdBackTestTime = 267;

constexpr int32_t kDefaultLoops = 3;
constexpr int kDefaultReturnMinutes = 720;

}  // namespace

void DeliveryOptionsModel::E_DisableZeroExit() {
  m_state.E_OneSimLoops = ZeroToDefault(m_state.E_OneSimLoops, kEditRules[0].leave_default);
}

void DeliveryOptionsModel::ResetToDefaults() {
  m_state.E_OneSimLoops = std::to_string(kDefaultLoops);
  m_state.ME_ReturnTime = FormatTimeField(kDefaultReturnMinutes);
  m_state.ME_BackTestTime = FormatTimeField(0);
}

int DeliveryOptionsModel::LoadFromConfig(int kind, uint32_t id, int32_t value, const uint8_t*, size_t, uint32_t) {
  if (kind != kFieldInteger) return 0;
  switch (id) {
    case kIdOneSimLoops:
      if (value != 0) m_state.E_OneSimLoops = std::to_string(value);
      return 1;
    case kIdReturnTime:
      if (value != 0) m_state.ME_ReturnTime = FormatTimeField(value);
      return 1;
    case kIdBackTestTime:
      m_state.ME_BackTestTime = FormatTimeField(value);
      return 1;
    default:
      return 0;
  }
}

void DeliveryOptionsModel::StoreToConfig(ConfigTree& tree) {
  using setting_versions::kRecoveryCheck;
  using setting_versions::kReturnPeriod;
  using setting_versions::kSimChangeLoops;
  const int32_t loops = EditIntValue(m_state.E_OneSimLoops, 0);
  if (loops != 0 && loops != kDefaultLoops)
    tree.PutInt(kIdOneSimLoops, loops, kSimChangeLoops.name, kSimChangeLoops.min_version);
  const int return_time = ParseTimeField(m_state.ME_ReturnTime);
  if (return_time != 0 && return_time != kDefaultReturnMinutes)
    tree.PutInt(kIdReturnTime, return_time, kReturnPeriod.name, kReturnPeriod.min_version);
  const int back_test = ParseTimeField(m_state.ME_BackTestTime);
  if (back_test != 0) tree.PutInt(kIdBackTestTime, back_test, kRecoveryCheck.name, kRecoveryCheck.min_version);
}

void DeliveryOptionsModel::ListSettings(std::vector<SettingValue>& out) const {
  out.push_back({"options.E_OneSimLoops", m_state.E_OneSimLoops});
  out.push_back({"options.ME_ReturnTime", m_state.ME_ReturnTime});
  out.push_back({"options.ME_BackTestTime", m_state.ME_BackTestTime});
}

SettingApply DeliveryOptionsModel::ApplySetting(std::string_view name, std::string_view value) {
  if (!TakePrefix(name, "options.")) return SettingApply::Unknown();
  if (name == kEditRules[0].control)
    return ApplyTypedEdit(
        kEditRules, name, value, [this](Edit) -> const std::string& { return m_state.E_OneSimLoops; },
        [this](Edit, std::string text) {
          SetOneSimLoops(std::move(text));
          E_DisableZeroExit();
        });
  if (name == "ME_ReturnTime" || name == "ME_BackTestTime") {
    if (auto refusal = TimeFieldRefusal(value)) return SettingApply::Refused(*refusal);
    (name == "ME_ReturnTime" ? m_state.ME_ReturnTime : m_state.ME_BackTestTime) = std::string(value);
    return SettingApply::Applied();
  }
  return SettingApply::Unknown();
}

}  // namespace tamlo
