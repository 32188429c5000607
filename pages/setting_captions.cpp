#include "pages/setting_captions.h"

#include <array>

#include "pages/delivery_directions.h"
#include "pages/delivery_options.h"
#include "pages/general_settings.h"
#include "pages/lan_extender.h"
#include "pages/loop_input.h"
#include "pages/periodic_tests.h"
#include "pages/remote_access.h"
#include "pages/setting_input.h"

namespace tamlo {
namespace {

constexpr std::string_view kSeparator = " › ";

struct Caption {
  std::string_view control;
  std::string_view caption;
};

std::string Join(std::initializer_list<std::string_view> parts) {
  std::string out;
  for (std::string_view part : parts) {
    if (part.ends_with(':')) part.remove_suffix(1);
    if (!out.empty()) out += kSeparator;
    out += part;
  }
  return out;
}

std::optional<std::string_view> Find(std::string_view control, std::initializer_list<Caption> captions) {
  for (const Caption& c : captions)
    if (c.control == control) return c.caption;
  return std::nullopt;
}

std::optional<std::string> GeneralCaption(std::string_view control) {
  for (const GeneralCheckText& box : kGeneralCheckTexts)
    if (control == box.control) return Join({kGeneralPageTitle, box.caption});
  for (const EditRule<GeneralEdit>& rule : kGeneralEditRules) {
    if (control != rule.control) continue;
    // The SIM edits sit in their SIM's group box, the only thing that tells them apart.
    const bool sim2 = control.ends_with('2');
    const bool sim1 = control.ends_with('1');
    if (sim1 || sim2) return Join({kGeneralPageTitle, kSimBoxCaptions[sim2 ? 1 : 0], rule.caption});
    return Join({kGeneralPageTitle, rule.caption});
  }
  return std::nullopt;
}

std::optional<std::string> InputCaption(int number, std::string_view control) {
  const std::string_view title = kLoopInputTitles[static_cast<size_t>(number - 1)];
  if (control == "GrpBx_LoopType") return Join({title, kLoopTypeBoxCaption});
  for (const EditRule<LoopEdit>& rule : kLoopEditRules)
    if (control == rule.control) return Join({title, kLoopEventBoxCaption, rule.caption});
  return std::nullopt;
}

std::optional<std::string> DirectionCaption(int number, std::string_view control) {
  using T = DirectionFrameTexts;
  const auto caption = Find(control, {{"C_Proto", T::L_Proto},
                                      {"E_Tel", "Телефон или адрес"},  // L_Tel follows the protocol
                                      {"C_SIM", T::L_SIM},
                                      {"E_Try", T::L_Try},
                                      {"E_Port", T::L_Port},
                                      {"CB_LocalPeriod", T::CB_LocalPeriod},
                                      {"ME_LocalPeriod", "Период автотеста"},  // beside its box, no label
                                      {"CB_UseCrypto", T::CB_UseCrypto}});
  if (!caption) return std::nullopt;
  return Join({"Направления доставки", "Направление " + std::to_string(number), *caption});
}

}  // namespace

std::string SettingCaption(std::string_view name) {
  std::string_view rest = name;
  std::optional<std::string> caption;
  if (TakePrefix(rest, "general.")) {
    caption = GeneralCaption(rest);
  } else if (TakePrefix(rest, "inputs.")) {
    if (const std::optional<int> n = TakeNumber(rest, static_cast<int>(kLoopInputTitles.size())))
      caption = InputCaption(*n, rest);
  } else if (TakePrefix(rest, "directions.")) {
    if (const std::optional<int> n = TakeNumber(rest, kDirectionCount)) caption = DirectionCaption(*n, rest);
  } else if (TakePrefix(rest, "tests.")) {
    using T = PeriodicTestsTexts;
    if (auto c = Find(rest, {{"GroupBox_Tests", T::GroupBox_Tests},
                             {"ME_AutoTest", T::L_AutoTest},
                             {"ME_ScheduleStart", T::L_ScheduleStart},
                             {"CB_EnableQT", T::CB_EnableQT},
                             {"E_QT_Period", T::L_QT}}))
      caption = Join({"Периодические тесты", *c});
  } else if (TakePrefix(rest, "options.")) {
    if (auto c = Find(rest, {{"E_OneSimLoops", DeliveryOptionsModel::kEditRules[0].caption},
                             {"ME_ReturnTime", DeliveryOptionsTexts::L_ReturnTime},
                             {"ME_BackTestTime", DeliveryOptionsTexts::L_BackTestTime}}))
      caption = Join({"Параметры доставки", *c});
  } else if (TakePrefix(rest, "remote.")) {
    std::string_view row = rest;
    if (TakePrefix(row, "LIST_Phones.") && !row.empty()) {
      caption = Join({"Удаленные подключения",
                      std::string(RemoteAccessTexts::LIST_PhonesKeyTitle) + " " + std::string(row)});
    } else if (auto c = Find(rest, {{"CB_EnableAcs", RemoteAccessTexts::CB_EnableAcs},
                                    {"E_MaxPhoneLen", RemoteAccessModel::kEditRules[0].caption}})) {
      caption = Join({"Удаленные подключения", *c});
    }
  } else if (TakePrefix(rest, "lan.")) {
    using T = LanExtenderTexts;
    if (auto c = Find(rest, {{"CB_UseDHCP", T::CB_UseDHCP},
                             {"ip", T::L_IP},
                             {"netmask", T::L_Netmask},
                             {"gateway", T::L_Gateway},
                             {"CB_DnsByDhcp", T::CB_DnsByDhcp},
                             {"dns1", T::L_DNS1},
                             {"dns2", T::L_DNS2}}))
      caption = Join({"Расширитель LAN", *c});
  } else if (TakePrefix(rest, "data.")) {
    const size_t dot = rest.find('.');
    if (dot != std::string_view::npos && dot > 0 && dot + 1 < rest.size())
      caption = Join({"Данные, которые не берёт ни одна страница",
                      "поле " + std::string(rest.substr(0, dot)) + ", " + std::string(rest.substr(dot + 1)) + "-е"});
  }
  return caption.value_or(std::string(name));
}

std::string SettingValueCaption(std::string_view name, std::string_view value) {
  const std::string_view control = name.substr(name.rfind('.') + 1);  // the whole name without a dot
  if (control.starts_with("CB_"))
    if (const std::optional<bool> ticked = ParseTick(value)) return *ticked ? "да" : "нет";
  return std::string(value);
}

}  // namespace tamlo
