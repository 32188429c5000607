#pragma once
// The process-wide registry of settings used by the configuration built last,
// each with the minimal firmware version (major * 100 + minor) that
// understands it. Emptied at the start of every image build, filled by the
// puts that carry a setting name, read by the firmware compatibility check.
//
// Each (name, version) pair is held once; the same name under two versions is
// held twice. Order: ascending version, and within one version the order in
// which the names were first noted. Names are UTF-8 display texts.
//
// Single-threaded like the rest of the model: the user interface thread only.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tamlo {

struct NotedSetting {
  std::string name;
  uint32_t min_version = 0;
  bool operator==(const NotedSetting&) const = default;
};

// Records the pair unless the name is empty or the version is 0 (such
// settings work on every firmware) or the pair is already there.
void NoteSetting(std::string_view name, uint32_t min_version);
void ClearNotedSettings();
const std::vector<NotedSetting>& NotedSettings();

}  // namespace tamlo
