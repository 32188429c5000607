#include "pages/settings_diff.h"

#include <cstdio>
#include <unordered_map>
#include <unordered_set>

#include "config/config_image.h"
#include "config/tagged_encoding.h"
#include "pages/input_rules.h"

namespace tamlo {
namespace {

std::string HexBytes(const uint8_t* data, size_t length) {
  std::string out;
  char byte[4];
  for (size_t i = 0; i < length; ++i) {
    std::snprintf(byte, sizeof byte, i ? " %02X" : "%02X", data[i]);
    out += byte;
  }
  return out;
}

std::string UntakenValue(FieldKind kind, int32_t value, const uint8_t* data, size_t length) {
  switch (kind) {
    case kFieldInteger: return "integer " + std::to_string(value);
    case kFieldText: return "text " + FieldText(data, length);
    case kFieldBytes: return "bytes " + HexBytes(data, length);
    case kFieldGroup: break;
  }
  return "group " + HexBytes(data, length);
}

}  // namespace

std::vector<SettingValue> LoadKeepingUntaken(SettingsPages& pages, const uint8_t* data, size_t length) {
  PageSet& set = pages.Set();
  ResetAllPages(set);
  std::vector<SettingValue> untaken;
  int fault = kWalkOk;
  const int walked = WalkConfig(data, length, [&](uint32_t code, int32_t value, const uint8_t* d, size_t n,
                                                  uint32_t repeat) {
    const int taken = TopLevelVisitor(code, value, d, n, repeat, &set);
    if (taken == kWalkUnrecognised) {
      untaken.push_back({"data." + std::to_string(FieldCodeId(code)) + "." + std::to_string(repeat + 1),
                         UntakenValue(FieldCodeKind(code), value, d, n)});
    } else if (taken < 0) {
      fault = taken;  // a malformed group inside an otherwise sound encoding
    }
    return taken;
  });
  for (ConfigPage* page : set.top) page->AfterLoad();
  if (walked < 0) fault = walked;
  if (fault == kWalkUnknownCoding)
    throw ConfigLoadError(UnknownEncodingMessage(ConfigImageHeader::kConfiguratorVersion), fault);
  if (fault < 0) throw ConfigLoadError(ParseErrorMessage(), fault);
  return untaken;
}

std::vector<SettingDifference> DiffSettingValues(const std::vector<SettingValue>& a,
                                                 const std::vector<SettingValue>& b) {
  std::unordered_map<std::string_view, size_t> in_b;
  for (size_t i = 0; i < b.size(); ++i) in_b.emplace(b[i].name, i);
  std::unordered_set<std::string_view> in_a;
  for (const SettingValue& s : a) in_a.insert(s.name);

  std::vector<SettingDifference> out;
  size_t j = 0;  // next setting of b not yet laid beside one of a
  const auto flush_b_only = [&](size_t until) {
    for (; j < until; ++j)
      if (!in_a.count(b[j].name)) out.push_back({b[j].name, std::nullopt, b[j].value});
  };
  for (const SettingValue& s : a) {
    const auto it = in_b.find(s.name);
    if (it == in_b.end()) {
      out.push_back({s.name, s.value, std::nullopt});
      continue;
    }
    if (it->second >= j) {
      flush_b_only(it->second);
      j = it->second + 1;
    }
    if (b[it->second].value != s.value) out.push_back({s.name, s.value, b[it->second].value});
  }
  flush_b_only(b.size());
  return out;
}

std::vector<SettingDifference> DiffSettingsPages(const SettingsPages& a, const SettingsPages& b) {
  return DiffSettingValues(a.ListSettings(), b.ListSettings());
}

std::vector<SettingDifference> DiffConfigData(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
  SettingsPages pages_a(SilentPageDialogs());
  SettingsPages pages_b(SilentPageDialogs());
  const std::vector<SettingValue> untaken_a = LoadKeepingUntaken(pages_a, a.data(), a.size());
  const std::vector<SettingValue> untaken_b = LoadKeepingUntaken(pages_b, b.data(), b.size());
  std::vector<SettingDifference> out = DiffSettingsPages(pages_a, pages_b);
  for (SettingDifference& d : DiffSettingValues(untaken_a, untaken_b)) out.push_back(std::move(d));
  return out;
}

}  // namespace tamlo
