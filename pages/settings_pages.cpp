#include "pages/settings_pages.h"

#include <algorithm>
#include <unordered_map>

#include "config/config_image.h"

namespace tamlo {
namespace {

class NoDialogs final : public UserDialogs {
 public:
  std::optional<std::string> ChooseFile(const FileDialogRequest&) override { return std::nullopt; }
  MessageResult ShowMessage(std::string_view, std::string_view, MessageIcon, MessageButtons, MessageResult) override {
    return MessageResult::Ok;
  }
};

}  // namespace

UserDialogs& SilentPageDialogs() {
  static NoDialogs dialogs;
  return dialogs;
}

SettingsPages::SettingsPages(UserDialogs& dialogs)
    : m_inputs{LoopInputModel(0), LoopInputModel(1), LoopInputModel(2), LoopInputModel(3)},
      m_general(dialogs, {&m_inputs[0], &m_inputs[1], &m_inputs[2], &m_inputs[3]}),
      m_tests(dialogs, m_directions) {
  m_set.top = {&m_general, &m_tests, &m_directions, &m_options, &m_remote, &m_lan};
  for (LoopInputModel& input : m_inputs) m_set.inputs.push_back(&input);
  ResetAllPages(m_set);
}

std::vector<SettingValue> SettingsPages::ListSettings() const {
  std::vector<SettingValue> out;
  m_general.ListSettings(out);
  for (const LoopInputModel& input : m_inputs) input.ListSettings(out);
  m_tests.ListSettings(out);
  m_directions.ListSettings(out);
  m_options.ListSettings(out);
  m_remote.ListSettings(out);
  m_lan.ListSettings(out);
  return out;
}

std::vector<SettingValue> SettingsPages::ListChangedSettings() const {
  const SettingsPages defaults(SilentPageDialogs());
  std::unordered_map<std::string, std::string> default_values;
  for (SettingValue& s : defaults.ListSettings()) default_values.emplace(std::move(s.name), std::move(s.value));
  std::vector<SettingValue> changed = ListSettings();
  std::erase_if(changed, [&](const SettingValue& s) {
    const auto it = default_values.find(s.name);
    return it != default_values.end() && it->second == s.value;
  });
  return changed;
}

SettingApply SettingsPages::ApplySetting(std::string_view name, std::string_view value) {
  std::vector<PageModel*> pages{&m_general};
  for (LoopInputModel& input : m_inputs) pages.push_back(&input);
  for (PageModel* page : std::initializer_list<PageModel*>{&m_tests, &m_directions, &m_options, &m_remote, &m_lan})
    pages.push_back(page);
  for (PageModel* page : pages) {
    SettingApply result = page->ApplySetting(name, value);
    if (result.status != SettingApply::Status::UnknownName) return result;
  }
  return SettingApply::Unknown();
}

}  // namespace tamlo
