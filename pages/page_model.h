#pragma once
// A settings page as plain C++: the state of every control the page shows
// (texts exactly as an edit holds them, list indexes, ticks, radio choice,
// list rows, packed addresses, visibility), the page contract of
// config_page.h, the click and leaving rules that change that state, and the
// store-time warnings through UserDialogs. The Qt view of a page only builds
// the controls, shows this state and writes the user's edits back; it holds
// no rule of its own.
//
// Settings listing: every page names its controls "page.control" (or
// "page.N.control" for the repeated directions and inputs, N from 1), with the
// control names of the page ("general.E_Account", "directions.3.C_Proto",
// "remote.LIST_Phones.2", "lan.ip"). Values are the text the user sees:
//   edit, time field  its text as held ("0012", "01:30", "  :  " when blank)
//   check box         "on" / "off"
//   drop-down list    the item's text ("Kam-Net")
//   radio group       the chosen button's control name ("RB_TestOptimal")
//   list row          "phone | note"
//   address field     dotted quad ("192.168.1.10"; "0.0.0.0" when blank)
// The console tool lists the settings that differ from a freshly reset page.
#include <string>
#include <string_view>
#include <vector>

#include "config/config_page.h"
#include "pages/setting_input.h"
#include "tamlo_version.h"  // kApplicationTitle, the caption of the pages' warning boxes

namespace tamlo {

// How a view sets up one edit of a page: the edit, its control name, the
// label beside it (empty: a plain label) with its caption (also the edit's
// accessible name) and the hint of both, the typing limit in characters (0:
// none), the key filter (nullptr: every key) and the text the ZeroToDefault
// leaving rule puts in (empty: no leaving rule). Limits and filters govern
// typing only; a loaded text is shown whole, however long.
template <typename Edit>
struct EditRule {
  Edit edit;
  std::string_view control;
  std::string_view label;
  std::string_view caption;
  std::string_view hint;
  int max_length = 0;
  bool (*filter)(char32_t) = nullptr;
  std::string_view leave_default;
};

struct SettingValue {
  std::string name;   // "general.E_Account"
  std::string value;  // UTF-8, as above
  bool operator==(const SettingValue&) const = default;
};

class PageModel : public ConfigPage {
 public:
  // Appends the current value of every setting of the page, in the page's
  // order (top to bottom as shown), whether visible or not.
  virtual void ListSettings(std::vector<SettingValue>& out) const = 0;

  // The inverse of ListSettings: sets the control `name` (a full name as
  // listed, "lan.ip") to `value` the way the user would (setting_input.h).
  // UnknownName when no control of this page has that name; Refused, the
  // page unchanged, when the control cannot take the value.
  virtual SettingApply ApplySetting(std::string_view name, std::string_view value) = 0;
};

}  // namespace tamlo
