#pragma once
// A setting's name as the pages show it, for a person reading a table of
// settings (the device window's comparison) rather than a script: the tree
// node, the group or frame, and the control's caption, joined by " › ":
//   general.E_Account        "Общие настройки › Номер объекта (Account)"
//   general.E_Pin2           "Общие настройки › SIM 2 APN › PIN-код SIM-карты"
//   directions.3.C_Proto     "Направления доставки › Направление 3 › Тип"
//   remote.LIST_Phones.2     "Удаленные подключения › Телефон 2"
//   data.300.1               "Данные, которые не берёт ни одна страница › поле 300, 1-е"
// Captions lose a trailing colon. A name no page lists comes back as it is.
#include <string>
#include <string_view>

namespace tamlo {

std::string SettingCaption(std::string_view name);

// A listed value as the pages show it: a check box's "on" and "off" become
// "да" and "нет" (its control name starts "CB_"); every other value is shown
// as listed.
std::string SettingValueCaption(std::string_view name, std::string_view value);

}  // namespace tamlo
