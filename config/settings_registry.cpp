#include "config/settings_registry.h"

#include <algorithm>

namespace tamlo {
namespace {

std::vector<NotedSetting>& Registry() {
  static std::vector<NotedSetting> registry;
  return registry;
}

}  // namespace

void NoteSetting(std::string_view name, uint32_t min_version) {
  if (name.empty() || min_version == 0) return;
  std::vector<NotedSetting>& reg = Registry();
  const bool present = std::any_of(reg.begin(), reg.end(), [&](const NotedSetting& s) {
    return s.min_version == min_version && s.name == name;
  });
  if (present) return;
  auto pos = std::upper_bound(reg.begin(), reg.end(), min_version,
                              [](uint32_t v, const NotedSetting& s) { return v < s.min_version; });
  reg.insert(pos, NotedSetting{std::string(name), min_version});
}

void ClearNotedSettings() { Registry().clear(); }

const std::vector<NotedSetting>& NotedSettings() { return Registry(); }

}  // namespace tamlo
