#pragma once
// Two configurations compared the way the settings pages show them: each is
// loaded into its own SettingsPages, both lists of every setting
// (ListSettings, "page.control = value") are laid side by side by name, and
// the settings whose values differ come out in page order. The console's
// `diff` and the device window's comparison with the device share this.
//
// A setting that exists on one side only (a phone row the other list does
// not have) has no value on the other side. Fields of an encoded
// configuration that no page takes are compared as settings of their own,
// named "data.ID.N" (top-level id, N = repeat index + 1) with a value that
// tells their kind and content:
//   integer  "integer 5"
//   text     "text Пост" (up to its first zero byte, as UTF-8)
//   bytes    "bytes AB 01"
//   group    "group 0A 0B 0C", every byte of the group; a group a page took
//            in part counts whole, since a page cannot say which of its
//            fields it did not take
// so an unknown field that only one side carries, or that carries other
// content, is a difference too.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "pages/page_model.h"
#include "pages/settings_pages.h"

namespace tamlo {

struct SettingDifference {
  std::string name;              // "general.E_Account", "remote.LIST_Phones.3", "data.1201.1"
  std::optional<std::string> a;  // the value on side A; none when A has no such setting
  std::optional<std::string> b;
  bool operator==(const SettingDifference&) const = default;
};

// Loads encoded configuration data (the bytes after the image header) into
// `pages` as a file's Open does (reset, walk, AfterLoad) and returns the
// top-level fields that no page took, named and valued as above. A malformed
// encoding throws ConfigLoadError with the load's message; unrecognised data
// does not throw, it is what the result lists.
std::vector<SettingValue> LoadKeepingUntaken(SettingsPages& pages, const uint8_t* data, size_t length);

// The differing settings of two lists in the order of `a` (a setting only
// in `b` comes where `b` has it, after the setting both lists share before
// it).
std::vector<SettingDifference> DiffSettingValues(const std::vector<SettingValue>& a,
                                                 const std::vector<SettingValue>& b);

// The pages as they are now (the GUI's pages against pages loaded from a
// device): every setting of both, compared.
std::vector<SettingDifference> DiffSettingsPages(const SettingsPages& a, const SettingsPages& b);

// Two encoded configurations, each loaded into fresh pages: the differing
// settings, then the differing fields no page takes. Throws ConfigLoadError
// when either is malformed.
std::vector<SettingDifference> DiffConfigData(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b);

}  // namespace tamlo
