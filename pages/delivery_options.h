#pragma once
// The delivery options page (TF_DelivOptions, tree node "Параметры доставки")
// as plain C++: how the device moves on when a notification cannot be
// delivered. It makes a number of passes over all delivery directions on one
// SIM card before it switches to the other, tries to return to the first
// direction some time after leaving it, and checks now and then whether the
// preferred GPRS and LAN channels work again.
//
// Parameters, top level of the configuration (absent means the default), each
// put with a setting name and the first firmware that understands it:
//   id   value                       default      put when           setting, firmware
//   263  passes before SIM change    3            not 0 and not 3    "Кол-во проходов перед сменой SIM-карты", 3.04
//   264  return to direction 1, min  720 (12:00)  not 0 and not 720  "Период возврата на первое направление", 3.04
//   267  GPRS/LAN check period, min  0 (00:00)    not 0              "Период проверки восстановления GPRS/LAN", 3.10
// A return time of 00:00 is therefore never stored: it loads back as 12:00.
// The page shows no warnings.
#include <array>
#include <string>
#include <string_view>

#include "pages/input_rules.h"
#include "pages/page_model.h"

namespace tamlo {

// Texts exactly as the controls hold them (UTF-8).
struct DeliveryOptionsState {
  std::string E_OneSimLoops = "3";       // passes, decimal digits
  std::string ME_ReturnTime = "12:00";   // time fields: mask "99:99", blank "  :  ",
  std::string ME_BackTestTime = "00:00"; // hours and minutes of a count of minutes
  bool operator==(const DeliveryOptionsState&) const = default;
};

// Fixed captions and hints of the page; each label shares its control's hint.
struct DeliveryOptionsTexts {
  static constexpr std::string_view E_OneSimLoopsHint =
      "Если извещение не удалось доставить ни по одному направлению, будет сделано еще несколько попыток доставки "
      "по всем направлениям по этой же SIM-карте, и только потом переключена SIM-карта. Чтобы SIM-карта "
      "переключалась сразу, задайте 1 попытку.";
  static constexpr std::string_view L_ReturnTime =
      "Через какое время попытаться вернуться на первое направление доставки при уходе с него (час, мин.):";
  static constexpr std::string_view ME_ReturnTimeHint =
      "Если первое направление доставки не работает и прибор переключился на другое направление, через какое "
      "время прибор должен попробовать вернуться на первое? (часы, минуты)";
  static constexpr std::string_view L_BackTestTime =
      "Период проверки восстановления приоритетных GPRS и LAN каналов (час, мин.):";
  static constexpr std::string_view ME_BackTestTimeHint =
      "Если прибор перешел с LAN/GPRS на менее эффективный канал, через какое время проверить, не заработал ли "
      "LAN/GPRS?";
};

class DeliveryOptionsModel : public PageModel {
 public:
  enum class Edit { E_OneSimLoops };
  static constexpr std::array<EditRule<Edit>, 1> kEditRules = {{
      {Edit::E_OneSimLoops, "E_OneSimLoops", "L_OneSimLoops",
       "Задержка (количество проходов по всем направлениям) перед сменой SIM-карты:",
       DeliveryOptionsTexts::E_OneSimLoopsHint, 2, DigitsOnlyFilter, "3"},  // leaving: E_DisableZeroExit
  }};
  // ME_ReturnTime and ME_BackTestTime are time fields (widgets' time field
  // edit): no rule of their own; their text is read with ParseTimeField.

  DeliveryOptionsModel() = default;

  const DeliveryOptionsState& state() const { return m_state; }

  // User edits: the new text of a control as it now stands.
  void SetOneSimLoops(std::string text) { m_state.E_OneSimLoops = std::move(text); }
  void SetReturnTime(std::string text) { m_state.ME_ReturnTime = std::move(text); }
  void SetBackTestTime(std::string text) { m_state.ME_BackTestTime = std::move(text); }

  // Leaving E_OneSimLoops: an empty, zero or non-numeric text becomes "3".
  void E_DisableZeroExit();

  void ResetToDefaults() override;
  // Takes the integers 263, 264 and 267 (a 0 leaves the passes and the return
  // time at what they hold; the check period shows 0 as 00:00). A time of 100
  // hours or more shows as 99:59, and a later store puts 5999.
  int LoadFromConfig(int kind, uint32_t id, int32_t value, const uint8_t* data, size_t length,
                     uint32_t repeat) override;
  void StoreToConfig(ConfigTree& tree) override;
  // options.E_OneSimLoops, options.ME_ReturnTime, options.ME_BackTestTime.
  void ListSettings(std::vector<SettingValue>& out) const override;
  // E_OneSimLoops takes digits (then its leaving rule), the time fields their mask.
  SettingApply ApplySetting(std::string_view name, std::string_view value) override;

 private:
  DeliveryOptionsState m_state;
};

}  // namespace tamlo
