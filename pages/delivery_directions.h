#pragma once
// The delivery directions page (TF_Napr_Dost): the device delivers its event
// messages along up to six directions, tried in order. Each direction is one
// frame (TFrameDest, DirectionFrameModel here) naming a protocol, the
// receiver's phone number or IP address and a few protocol-dependent options.
// A frame has a first row that is always shown and a second row that the user
// unfolds with the link label L_More ("Ещё..." / "Скрыть").
//
// Configuration: each direction is one group, id 2 at the top level, put six
// times in direction order, so the repeat index is the direction number - 1.
// Inside a direction's group (a parameter is put only when it differs from
// its default; hidden controls keep their contents and are stored all the same):
//   id  kind     control          default   put when
//   1   integer  C_Proto index    0 "Нет"   not 0 (protocols 7..10 note their firmware, kDirectionProtocols)
//   2   integer  C_SIM index      0         not 0
//   3   string   E_Tel            empty     not empty after trimming
//   4   integer  E_Port           empty     value not 0
//   5   integer  E_Try            5         value not 0 and not 5
//   6   integer  CB_LocalPeriod   unticked  ticked, value 1 ("Индивидуальный период тестов", 304)
//   7   integer  ME_LocalPeriod   00:00     minutes not 0, ticked or not
//   8   integer  CB_UseCrypto     unticked  ticked, value 1 ("Шифрование", 311, only for the
//                                           protocols with encryption; no name otherwise)
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "config/setting_versions.h"
#include "pages/input_rules.h"
#include "pages/page_model.h"

namespace tamlo {

inline constexpr int kDirectionCount = 6;

// One item of the protocol list C_Proto and what it shows of the first row.
// The item index is what the configuration stores: the order is part of the
// configuration format.
struct DirectionProtocol {
  std::string_view item;           // C_Proto item text
  std::string_view address_label;  // L_Tel caption; empty: L_Tel is hidden and keeps its caption
  bool tel = false;                // E_Tel (with L_Tel) shown
  bool sim = false;                // C_SIM (with L_SIM) shown
  bool tries = false;              // E_Try (with L_Try) shown
  bool port = false;               // E_Port (with L_Port) shown
  bool encryption = false;         // CB_UseCrypto can show; its tick is stored under "Шифрование", 311
  VersionedSetting setting;        // noted when the index is put: the firmware that knows the protocol
};

inline constexpr std::array<DirectionProtocol, 11> kDirectionProtocols{{
    {"Нет", "", false, false, false, false, false, {}},
    {"Ademco", "Телефон", true, true, true, false, false, {}},
    {"Argus-CT", "Телефон", true, true, true, false, false, {}},
    {"Kam-Net", "Адрес", true, true, true, true, true, {}},
    {"SIA IP", "Адрес", true, true, true, true, true, {}},
    {"Ademco ТЛ", "Телефон", true, false, true, false, false, {}},
    {"Контакт-CSD", "Телефон", true, true, true, false, false, {}},
    {"Kam-Net (LAN)", "Адрес", true, false, true, true, true, setting_versions::kKamNetLan},
    {"SIA IP (LAN)", "Адрес", true, false, true, true, true, setting_versions::kSiaIpLan},
    {"Kam-M (CSD)", "Телефон", true, true, true, false, true, setting_versions::kKamM},
    {"Kam-SMS", "Телефон", true, true, true, false, true, setting_versions::kKamSms},
}};

// C_SIM items; the index is stored.
inline constexpr std::array<std::string_view, 3> kDirectionSimItems{"любая", "Sim 1", "Sim 2"};

// Fixed captions and hints of a frame (the captions that rules change live in
// DirectionFrameModel::State). GroupBox1 reads "Направление N".
struct DirectionFrameTexts {
  static constexpr std::string_view L_Proto = "Тип";
  static constexpr std::string_view L_SIM = "SIM";
  static constexpr std::string_view L_Try = "Кол. попыток";
  static constexpr std::string_view L_Port = "Порт";
  static constexpr std::string_view CB_LocalPeriod = "Индивидуальный период тестов";
  static constexpr std::string_view CB_UseCrypto = "Шифрование";
  static constexpr std::string_view E_TelHint = "Номер телефона или IP-адрес получателя";
  static constexpr std::string_view E_TryHint = "Количество попыток доставить извещение по этому номеру или IP-адресу";
  static constexpr std::string_view E_PortHint = "Если не задан, используется стандартный порт УОП (24333)";
  static constexpr std::string_view CB_LocalPeriodHint =
      "Позволяет задать индивидуальный период автотеста при работе по этому направлению, отличающийся от "
      "заданного на странице общих настроек";
  static constexpr std::string_view ME_LocalPeriodHint =
      "Период автотеста при работе по этому направлению (часы, минуты). Если равен нулю, новые автотесты по "
      "этому направлению не создаются.";
  static constexpr std::string_view CB_UseCryptoHint =
      "Требовать шифрования передаваемых данных. Ключ шифрования задается на вкладке \"Работа с прибором\" - "
      "\"Прочее\" - \"Ключи шифрования\"";
  static constexpr std::string_view L_MoreFolded = "Ещё...";
  static constexpr std::string_view L_MoreUnfolded = "Скрыть";
};

// One direction frame (TFrameDest).
class DirectionFrameModel {
 public:
  // Controls whose visibility a rule changes; each label shows and hides
  // with its control (L_Tel with E_Tel, L_SIM with C_SIM, L_Try with E_Try,
  // L_Port with E_Port). C_Proto and L_More are always shown.
  struct Visible {
    bool E_Tel = false;
    bool C_SIM = false;
    bool E_Try = false;
    bool E_Port = false;
    bool CB_LocalPeriod = false;  // second row: unfolded and a protocol chosen
    bool ME_LocalPeriod = false;  // CB_LocalPeriod shown and ticked
    bool CB_UseCrypto = false;    // second row: unfolded and a protocol with encryption
    bool operator==(const Visible&) const = default;
  };

  struct State {
    std::string GroupBox1;                   // "Направление N", fixed
    int C_Proto = 0;                         // index into kDirectionProtocols
    std::string L_Tel = "Телефон";           // "Телефон" or "Адрес" by protocol
    std::string E_Tel;                       // receiver's phone number or IP address
    int C_SIM = 0;                           // index into kDirectionSimItems
    std::string E_Try = "5";
    std::string E_Port;
    bool CB_LocalPeriod = false;
    std::string ME_LocalPeriod = "  :  ";    // time field, minutes as HH:MM
    bool CB_UseCrypto = false;
    bool Expanded = false;                   // second row unfolded; not a setting, kept by a reset
    std::string L_More = std::string(DirectionFrameTexts::L_MoreFolded);
    Visible visible;
    bool operator==(const State&) const = default;
  };

  // The text-holding controls a view writes back.
  enum class Edit { E_Tel, E_Try, E_Port, ME_LocalPeriod };

  // Typing rules of the line edits: they apply to what the user types only
  // (a loaded text may be longer). ME_LocalPeriod is a time field with the
  // mask "99:99" and has no row here.
  // L_Tel's caption changes with the protocol (State::L_Tel).
  static constexpr std::array<EditRule<Edit>, 3> kEditRules{{
      {Edit::E_Tel, "E_Tel", "L_Tel", "", DirectionFrameTexts::E_TelHint, 0, nullptr, ""},
      {Edit::E_Try, "E_Try", "L_Try", DirectionFrameTexts::L_Try, DirectionFrameTexts::E_TryHint, 2,
       DigitsOnlyFilter, "1"},
      {Edit::E_Port, "E_Port", "L_Port", DirectionFrameTexts::L_Port, DirectionFrameTexts::E_PortHint, 5,
       DigitsOnlyFilter, ""},
  }};

  // number: the direction, 1..6 (caption and setting names).
  explicit DirectionFrameModel(int number);

  int number() const { return m_number; }
  const State& state() const { return m_state; }

  // What an edit holds and whether it shows (its label with it), as the
  // view shows them.
  const std::string& Text(Edit edit) const;
  bool Shown(Edit edit) const;

  // The user's edits. Texts are taken as typed (UTF-8).
  void SetText(Edit edit, std::string text);
  // Leaving an edit: applies its leave_default rule (E_Try: empty or 0 becomes "1").
  void LeaveEdit(Edit edit);
  // The user chose a protocol: the protocol change rule (first row from
  // kDirectionProtocols, then the second row). Indexes outside the list are ignored.
  void C_ProtoChange(int index);
  // Indexes outside kDirectionSimItems are ignored.
  void SetSim(int index);
  // Ticking either second-row box updates whether ME_LocalPeriod shows.
  void CB_LocalPeriodClick(bool ticked);
  void CB_UseCryptoClick(bool ticked);
  // Unfolds or folds the second row: Expanded, the L_More caption and the
  // second row's visibility. The page layout follows from the Expanded flags
  // (LayoutDirections).
  void L_MoreClick();

  // Every control to its default, then the protocol change rule; Expanded stays.
  void ResetToDefaults();
  // The direction visitor: one field inside this direction's group. 1 when
  // taken; 0 for an unknown id or kind and for a protocol or SIM index
  // outside its list (the control keeps what it had).
  int LoadField(int kind, uint32_t id, int32_t value, const uint8_t* data, size_t length);
  // Puts this direction's parameters into its group (the table above).
  void StoreTo(ConfigTree& group) const;
  // "directions.N.<control>" for C_Proto, E_Tel, C_SIM, E_Try, E_Port,
  // CB_LocalPeriod, ME_LocalPeriod, CB_UseCrypto.
  void ListSettings(std::vector<SettingValue>& out) const;
  // One control of the frame by its control name ("C_Proto"): the lists take
  // an item's text and run the protocol change rule, the edits their filter,
  // limit and leaving rule, the boxes "on"/"off" and their click rule. A
  // control of the folded second row is set all the same, as a store keeps it.
  SettingApply ApplySetting(std::string_view control, std::string_view value);

 private:
  void ApplyProtocol();   // the protocol change rule
  void UpdateExtraRow();  // second-row visibility from Expanded, protocol and tick

  int m_number = 1;
  State m_state;
};

// Page layout. Frames are stacked from the top of the page's content, 73
// pixels apart (neighbours share one border line), 74 pixels high while folded;
// unfolding adds 33 pixels to the frame and to its GroupBox1 and moves every
// frame below it down by as much. Tops are in content coordinates, so the
// layout does not depend on the scroll position.
inline constexpr int kDirectionFrameStep = 73;
inline constexpr int kDirectionFrameHeight = 74;
inline constexpr int kDirectionGroupBoxHeight = 72;
inline constexpr int kDirectionExtraRowHeight = 33;

struct DirectionFrameGeometry {
  int top = 0;
  int height = kDirectionFrameHeight;
  int group_box_height = kDirectionGroupBoxHeight;
  bool operator==(const DirectionFrameGeometry&) const = default;
};

struct DirectionsLayout {
  std::array<DirectionFrameGeometry, kDirectionCount> frames{};
  int content_height = 0;  // the page's vertical scroll range: the lowest frame bottom
};

// expanded[i]: the Expanded flag of direction i + 1.
DirectionsLayout LayoutDirections(const std::array<bool, kDirectionCount>& expanded);

// The page: six frames, directions 1..6.
class DeliveryDirectionsModel : public PageModel {
 public:
  DeliveryDirectionsModel();

  // number 1..6; std::out_of_range otherwise.
  DirectionFrameModel& frame(int number);
  const DirectionFrameModel& frame(int number) const;

  // Whether the direction's CB_LocalPeriod is ticked, shown or not (the
  // periodic tests page names these directions).
  bool LocalPeriodTicked(int number) const;

  // Where the frames go with their current Expanded flags.
  DirectionsLayout Layout() const;

  void ResetToDefaults() override;
  // Takes a group with id 2 and repeat index 0..5 by walking it with the
  // direction visitor of that direction; returns the nested walk's result.
  // Anything else, a seventh direction group included, gives 0.
  int LoadFromConfig(int kind, uint32_t id, int32_t value, const uint8_t* data, size_t length,
                     uint32_t repeat) override;
  // Puts six groups with id 2, directions 1 to 6, empty ones included.
  void StoreToConfig(ConfigTree& tree) override;
  void ListSettings(std::vector<SettingValue>& out) const override;
  // "directions.N.<control>" to frame N.
  SettingApply ApplySetting(std::string_view name, std::string_view value) override;

 private:
  static size_t IndexOf(int number);  // 1..6 to 0..5; std::out_of_range otherwise

  std::array<DirectionFrameModel, kDirectionCount> m_frames;
};

}  // namespace tamlo
