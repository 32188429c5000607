#pragma once
// A setting applied by name (PageModel::ApplySetting): the value a console
// line or a text file gives for a control, checked the way the control
// would take it from the user's keyboard and mouse.
//   edit            every character passes the edit's key filter and the
//                   text fits its typing limit; a text equal to what the
//                   edit already holds is taken as it is (nothing is typed),
//                   so a loaded text longer than the limit survives a round
//                   trip onto the same file
//   time field      the mask "99:99": five characters, a digit or a blank
//                   in each digit position, the colon third ("01:30", "  :  ")
//   check box       "on" or "off"
//   radio group     the control name of one of the group's shown buttons
//   drop-down list  the text of one of its items, exactly
//   address         a dotted quad (ParseIPv4)
// After the text the edit's leaving rule runs, and a click runs the
// control's click rule, through the page's own setters.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tamlo {

struct SettingApply {
  enum class Status { Applied, UnknownName, Refused };
  Status status = Status::Applied;
  std::string reason;  // Refused: why, in English, naming the value ("'A' is not taken by this edit")

  static SettingApply Applied() { return {}; }
  static SettingApply Unknown() { return {Status::UnknownName, {}}; }
  static SettingApply Refused(std::string why) { return {Status::Refused, std::move(why)}; }
  bool ok() const { return status == Status::Applied; }
};

// Why an edit would not end up holding `value` when the user typed it; none
// when it would. `current`: the edit's text now.
std::optional<std::string> TypingRefusal(std::string_view value, int max_length, bool (*filter)(char32_t),
                                         std::string_view current);
// Applies `value` to the edit of `rules` whose control is `name`, as the user
// would type it: refused when the edit would not end up holding it (its
// filter and typing limit, `current(edit)` being its text now), otherwise
// `type(edit, text)` puts it in (the page's setter and leaving rule).
// Unknown when no rule has that control.
template <typename Rules, typename Current, typename Type>
SettingApply ApplyTypedEdit(const Rules& rules, std::string_view name, std::string_view value, Current current,
                            Type type) {
  for (const auto& rule : rules) {
    if (name != rule.control) continue;
    if (auto refusal = TypingRefusal(value, rule.max_length, rule.filter, current(rule.edit)))
      return SettingApply::Refused(*refusal);
    type(rule.edit, std::string(value));
    return SettingApply::Applied();
  }
  return SettingApply::Unknown();
}

// Why `value` is no text of a time field; none when it is one.
std::optional<std::string> TimeFieldRefusal(std::string_view value);
// "on" true, "off" false, anything else none.
std::optional<bool> ParseTick(std::string_view value);
SettingApply RefusedTick(std::string_view value);
// The index of `value` among `count` item texts (`item(i)` gives item i);
// none when no item has that exact text.
template <typename ItemText>
std::optional<size_t> FindItem(std::string_view value, size_t count, ItemText item) {
  for (size_t i = 0; i < count; ++i)
    if (item(i) == value) return i;
  return std::nullopt;
}
// "'X' is not in the list (A, B, C)".
template <typename ItemText>
SettingApply RefusedItem(std::string_view value, size_t count, ItemText item) {
  std::string list;
  for (size_t i = 0; i < count; ++i) list.append(i ? ", " : "").append(item(i));
  return SettingApply::Refused("'" + std::string(value) + "' is not one of: " + list);
}

// Takes `prefix` off the front of `name`; false when `name` does not start with it.
bool TakePrefix(std::string_view& name, std::string_view prefix);
// Takes a decimal number 1..max and the dot after it off the front of `name`
// ("3.C_Proto" -> 3, "C_Proto"); none when there is no such number and dot.
std::optional<int> TakeNumber(std::string_view& name, int max);

}  // namespace tamlo
