#pragma once
// The page of one wired input, L1..L4 (TF_TamloLoop; four instances, one per
// input): the input's electrical type and the Contact ID message the device
// sends when the input triggers (event code, partition, zone or user).
//
// The input pages are not offered top-level fields: the general settings page
// (general_settings.h) puts each input's group under id 4, in the order L1..L4
// so that the repeat index is the input's number, and hands every loaded id 4
// group to the input of its repeat index. Hence BuildGroup and LoadGroup; the
// page contract's LoadFromConfig takes nothing and StoreToConfig puts nothing.
//
// The input's group:
//   id 1  integer  input type (LoopType), put when it differs from the
//                  input's default type; setting "Тип входа", firmware 3.02
//   id 2  integer  event code, put when it differs from the input's default
//   id 3  integer  partition, put when not 0
//   id 4  integer  zone or user, put when it differs from InputIndex + 1
// The three numbers are edited as the hexadecimal digits of their Contact ID
// form: the text "130" is the number 0x130 (304). Loading shows them in
// upper-case hexadecimal of at least 3, 2 and 3 digits ("12B", "00", "004").
//
// Defaults per input:
//   L1 (InputIndex 0)  not used            event 120  zone 001
//   L2 (1)             not used            event 137  zone 002
//   L3 (2)             not used            event 301  zone 003
//   L4 (3)             telephone repeater  event 130  zone 004
// partition 00 on every input. Only L4 shows the telephone repeater button.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "config/config_tree.h"
#include "pages/input_rules.h"
#include "pages/page_model.h"

namespace tamlo {

// Upper-case hexadecimal of at least `min_digits` digits: how the pages show
// an account number or a Contact ID number they load (0x12, 4 -> "0012").
// Negative numbers show as their 32-bit two's complement.
std::string FormatHexField(int32_t value, int min_digits);

// The radio buttons of GrpBx_LoopType; each value is the device's code of
// that input type (group id 1).
enum class LoopType : int32_t {
  RB_Disabled = 0,
  RB_NormalOpen = 1,
  RB_NormalClosed = 2,
  RB_Resistance = 3,
  RB_Tamlo = 4,
};

struct LoopTypeButton {
  LoopType button;
  const char* control;
  const char* caption;
  const char* hint;  // empty: none
};

inline constexpr const char* kLoopTypeBoxCaption = "Тип входа";  // GrpBx_LoopType
inline constexpr std::array<LoopTypeButton, 5> kLoopTypeButtons{{
    {LoopType::RB_Disabled, "RB_Disabled", "Не используется", ""},
    {LoopType::RB_NormalOpen, "RB_NormalOpen", "Нормально разомкнут (кнопка)", "Срабатывает при R < 2 кОм"},
    {LoopType::RB_NormalClosed, "RB_NormalClosed", "Нормально замкнут (на разрыв)",
     "Срабатывает при R > 12 кОм (±10%)"},
    {LoopType::RB_Resistance, "RB_Resistance", "Шлейф сигнализации (с резистором)", "Норма - от 2 до 12 кОм (±10%)"},
    {LoopType::RB_Tamlo, "RB_Tamlo", "Вход телефонного ретранслятора", ""},
}};

enum class LoopEdit { E_Event, E_Partition, E_Zone };

inline constexpr const char* kLoopEventBoxCaption = "Передаваемое извещение";  // GrpBx_Event
inline constexpr std::array<EditRule<LoopEdit>, 3> kLoopEditRules{{
    {LoopEdit::E_Event, "E_Event", "L_Event", "Код события", "", 3, ContactIdDigitFilter, ""},
    {LoopEdit::E_Partition, "E_Partition", "L_Partition", "Раздел", "", 2, ContactIdDigitFilter, ""},
    {LoopEdit::E_Zone, "E_Zone", "L_Zone", "Зона или пользователь", "", 3, ContactIdDigitFilter, ""},
}};

// L_ViewMsgList, the label acting as a button that opens the event code picker
// (event_code_picker.h).
inline constexpr const char* kViewMsgListCaption = "Справочник";

// The tree node titles of the four input pages, L1..L4.
inline constexpr std::array<const char*, 4> kLoopInputTitles{"Вход L1", "Вход L2", "Вход L3",
                                                             "Вход L4 (ретранслятор)"};

// Group ids inside an input's group.
inline constexpr uint32_t kLoopTypeId = 1;
inline constexpr uint32_t kLoopEventId = 2;
inline constexpr uint32_t kLoopPartitionId = 3;
inline constexpr uint32_t kLoopZoneId = 4;

// The only input that can be the telephone repeater's input (L4).
inline constexpr int kRepeaterInputIndex = 3;

struct LoopInputState {
  LoopType GrpBx_LoopType = LoopType::RB_Disabled;  // the chosen radio button
  bool RB_Tamlo_Visible = false;                    // on L4 only
  bool GrpBx_Event_Visible = false;                 // hidden while the input is not used or is the repeater's
  std::string E_Event;
  std::string E_Partition;
  std::string E_Zone;
};

class LoopInputModel : public PageModel {
 public:
  // input_index 0..3 for L1..L4; anything else is a programming error
  // (std::out_of_range). The state starts at the input's defaults.
  explicit LoopInputModel(int input_index);

  int InputIndex() const { return m_inputIndex; }
  const LoopInputState& state() const { return m_state; }

  // Defaults of this input (see the table above).
  LoopType DefaultType() const;
  uint32_t DefaultEvent() const;
  uint32_t DefaultZone() const;

  // What an edit holds, as the view shows it.
  const std::string& Text(LoopEdit edit) const;
  // The user's edits: an edit's text as the edit now holds it.
  void SetText(LoopEdit edit, std::string text);

  // A radio button clicked: selects it, then GrpBx_Event is hidden for
  // RB_Disabled and RB_Tamlo and shown for the other three. RB_Tamlo cannot
  // be clicked while hidden (L1..L3): ignored there.
  void RB_LoopTypeClick(LoopType button);

  // After the event code picker closed (L_ViewMsgListClick): a non-empty
  // picked code becomes the event code; partition and zone stay.
  void TakePickedEventCode(std::string_view selected_code);

  // The input's group, for the general settings page to put under id 4
  // (group ids and "put when" rules above). Always returns a group, possibly
  // empty.
  ConfigTree BuildGroup() const;

  // The visitor of one input's group (arguments as ConfigPage::LoadFromConfig):
  //   id 1, integer 0..3   selects that type                              1
  //   id 1, integer 4      selects RB_Tamlo on L4                 1 on L4, else 0
  //   id 1, other value    nothing                                        0
  //   id 2/3/4, integer    event / partition / zone in hexadecimal        1
  //   anything else        nothing                                        0
  int LoadGroupField(int kind, uint32_t id, int32_t value, const uint8_t* data, size_t length, uint32_t repeat);
  // Walks the bytes of one input's group with LoadGroupField; the walk's
  // result (1, 0, or -1/-2 for a malformed group).
  int LoadGroup(const uint8_t* data, size_t length);

  // ConfigPage. Reset: the input's default type (running the click rule),
  // event and zone codes, partition "00".
  void ResetToDefaults() override;
  // Top-level fields are never the input page's: 0.
  int LoadFromConfig(int kind, uint32_t id, int32_t value, const uint8_t* data, size_t length,
                     uint32_t repeat) override;
  // Puts nothing: the general settings page puts BuildGroup under id 4.
  void StoreToConfig(ConfigTree& tree) override;

  // "inputs.N.GrpBx_LoopType", "inputs.N.E_Event", "inputs.N.E_Partition",
  // "inputs.N.E_Zone", N = InputIndex + 1.
  void ListSettings(std::vector<SettingValue>& out) const override;
  // GrpBx_LoopType takes a shown button's name (RB_Tamlo on L4 only) and
  // runs the click rule; the edits take Contact ID digits within their limits.
  SettingApply ApplySetting(std::string_view name, std::string_view value) override;

 private:
  void Select(LoopType button);

  int m_inputIndex = 0;
  LoopInputState m_state;
};

}  // namespace tamlo
