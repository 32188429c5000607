#pragma once
// The general settings page (TF_Obsh_Nastr, tree node "Общие настройки"):
// the site's account number and the two options bound to it, APN, login,
// password and PIN of the two SIM cards, and the device's access password.
// It also carries the four input pages' groups (loop_input.h): it puts them
// when storing and hands them to the inputs when loading.
//
// Top level of the configuration:
//   id 1    group, twice  SIM 1, then SIM 2; always put (empty groups encode
//                         to nothing unless a later one needs the position)
//   id 4    group, 4x     inputs L1..L4 (LoopInputModel::BuildGroup); always
//   id 256  integer       the account number, when CB_ReplaceAcc is ticked
//   id 257  integer       the account number, when the account is not blank
//   id 265  string        device password, trimmed, when not blank;
//                         setting "Пароль доступа к устройству", firmware 3.04
//   id 266  integer 1     CB_OwnMessages ticked (with an account);
//                         setting "Создавать собственные извещения", 3.04
// Inside a SIM group: ids 1 APN, 2 login, 3 password, 4 PIN, strings,
// trimmed, put when not blank; the PIN with setting "PIN-код SIM-карты", 3.04.
//
// The account text is the hexadecimal form of the number: "1234" is stored
// as 0x1234 = 4660 and loaded back as upper-case hexadecimal of at least four
// digits (0x12 -> "0012").
//
// Storing never stops. It shows, in this order and each at most once per SIM
// or box concerned:
//   - a PIN of 1..3 characters: plain message without icon
//     "PIN-код для SIM<n> должен быть как минимум 4 цифры"; the PIN is
//     stored all the same;
//   - blank account with CB_ReplaceAcc ticked: warning "Не задан номер
//     объекта для замены. Опция будет выключена." and the box is unticked;
//   - blank account with CB_OwnMessages ticked: warning "Для передачи
//     собственных извещений нужно задать номер объекта. Опция будет
//     выключена." and the box is unticked.
// Caption: kApplicationTitle.
#include <array>
#include <string>
#include <vector>

#include "config/user_interface.h"
#include "pages/input_rules.h"
#include "pages/loop_input.h"
#include "pages/page_model.h"

namespace tamlo {

enum class GeneralEdit {
  E_Account,
  E_Apn1,
  E_Login_Apn1,
  E_Password_Apn1,
  E_Pin1,
  E_Apn2,
  E_Login_Apn2,
  E_Password_Apn2,
  E_Pin2,
  E_DevicePassword,
};

// The edits top to bottom. The label names of the APN, login and password
// edits are none of the page's business (plain labels); the account edit
// shares its label's hint, and so does each PIN edit.
inline constexpr std::array<EditRule<GeneralEdit>, 10> kGeneralEditRules{{
    {GeneralEdit::E_Account, "E_Account", "L_Account", "Номер объекта (Account)",
     "Номер должен быть не больше 4 символов 0-9,B-F", 4, ContactIdDigitFilter, ""},
    {GeneralEdit::E_Apn1, "E_Apn1", "", "Точка доступа", "", 0, nullptr, ""},
    {GeneralEdit::E_Login_Apn1, "E_Login_Apn1", "", "Логин", "", 0, nullptr, ""},
    {GeneralEdit::E_Password_Apn1, "E_Password_Apn1", "", "Пароль", "", 0, nullptr, ""},
    {GeneralEdit::E_Pin1, "E_Pin1", "L_Pin1", "PIN-код SIM-карты", "PIN-код SIM-карты (если требуется). От 4 до 8 цифр.",
     8, DigitsOnlyFilter, ""},
    {GeneralEdit::E_Apn2, "E_Apn2", "", "Точка доступа", "", 0, nullptr, ""},
    {GeneralEdit::E_Login_Apn2, "E_Login_Apn2", "", "Логин", "", 0, nullptr, ""},
    {GeneralEdit::E_Password_Apn2, "E_Password_Apn2", "", "Пароль", "", 0, nullptr, ""},
    {GeneralEdit::E_Pin2, "E_Pin2", "L_Pin2", "PIN-код SIM-карты", "PIN-код SIM-карты (если требуется). От 4 до 8 цифр.",
     8, DigitsOnlyFilter, ""},
    {GeneralEdit::E_DevicePassword, "E_DevicePassword", "L_DevicePassword", "Пароль для доступа к устройству:", "", 0,
     nullptr, ""},
}};

enum class GeneralCheck { CB_ReplaceAcc, CB_OwnMessages };

struct GeneralCheckText {
  GeneralCheck box;
  const char* control;
  const char* caption;
  const char* hint;
};

inline constexpr std::array<GeneralCheckText, 2> kGeneralCheckTexts{{
    {GeneralCheck::CB_ReplaceAcc, "CB_ReplaceAcc", "Заменять № объекта в ретранслируемых событиях",
     "Если включено, номер объекта во всех ретранслируемых событиях принудительно заменяется на указанный."},
    {GeneralCheck::CB_OwnMessages, "CB_OwnMessages", "Создавать собственные служебные извещения",
     "Создавать и передавать собственные служебные извещения о перезагрузке, перепрограммировании прибора, и т.п."},
}};

// GroupBox_APN1 and GroupBox_APN2 around each SIM's four edits.
inline constexpr std::array<const char*, 2> kSimBoxCaptions{"SIM 1 APN", "SIM 2 APN"};

inline constexpr const char* kGeneralPageTitle = "Общие настройки";

// Top-level ids of the page.
inline constexpr uint32_t kSimGroupId = 1;
inline constexpr uint32_t kInputGroupId = 4;
inline constexpr uint32_t kReplaceAccountId = 256;
inline constexpr uint32_t kAccountId = 257;
inline constexpr uint32_t kDevicePasswordId = 265;
inline constexpr uint32_t kOwnMessagesId = 266;
// Ids inside a SIM group.
inline constexpr uint32_t kSimApnId = 1;
inline constexpr uint32_t kSimLoginId = 2;
inline constexpr uint32_t kSimPasswordId = 3;
inline constexpr uint32_t kSimPinId = 4;

struct GeneralSettingsState {
  std::string E_Account;
  bool CB_ReplaceAcc = false;
  bool CB_OwnMessages = false;
  std::string E_Apn1;
  std::string E_Login_Apn1;
  std::string E_Password_Apn1;
  std::string E_Pin1;
  std::string E_Apn2;
  std::string E_Login_Apn2;
  std::string E_Password_Apn2;
  std::string E_Pin2;
  std::string E_DevicePassword;
};

class GeneralSettingsModel : public PageModel {
 public:
  // `inputs` are the input pages L1..L4 in this order (InputIndex 0..3),
  // owned by the caller and outliving the model, as are the dialogs. A null
  // page or one out of order is a programming error (std::invalid_argument).
  GeneralSettingsModel(UserDialogs& dialogs, const std::array<LoopInputModel*, 4>& inputs);

  const GeneralSettingsState& state() const { return m_state; }

  // What an edit holds and whether a box is ticked, as the view shows them.
  const std::string& Text(GeneralEdit edit) const;
  bool Ticked(GeneralCheck box) const;

  // The user's edits.
  void SetText(GeneralEdit edit, std::string text);
  void SetCheck(GeneralCheck box, bool ticked);

  // ConfigPage. Reset empties every edit and unticks both boxes; the input
  // pages are reset by their owner.
  void ResetToDefaults() override;
  // Top-level fields:
  //   id 1 group, repeat 0/1   SIM 1/SIM 2 fields (ids 1..4 as text, each 1;
  //                            anything else 0)              the walk's result
  //   id 1 group, repeat > 1   nothing                                        0
  //   id 4 group, repeat 0..3  LoopInputModel::LoadGroup of that input
  //   id 4 group, repeat > 3   nothing                                        0
  //   id 256 integer           account (only if blank), CB_ReplaceAcc ticked  1
  //   id 257 integer           account                                        1
  //   id 265 text              device password                                1
  //   id 266 integer           CB_OwnMessages ticked when not 0               1
  //   anything else                                                           0
  int LoadFromConfig(int kind, uint32_t id, int32_t value, const uint8_t* data, size_t length,
                     uint32_t repeat) override;
  // Puts the SIM groups, the account ids, the password and the four input
  // groups, showing the messages above and correcting the boxes.
  void StoreToConfig(ConfigTree& tree) override;

  // "general.<control>" in page order: E_Account, CB_ReplaceAcc,
  // CB_OwnMessages, the SIM 1 and SIM 2 edits, E_DevicePassword.
  void ListSettings(std::vector<SettingValue>& out) const override;
  // The edits with their filters and limits, the two boxes "on"/"off".
  SettingApply ApplySetting(std::string_view name, std::string_view value) override;

 private:
  ConfigTree BuildSimGroup(size_t sim);
  int LoadSimField(size_t sim, int kind, uint32_t id, const uint8_t* data, size_t length);

  UserDialogs& m_dialogs;
  std::array<LoopInputModel*, 4> m_inputs{};
  GeneralSettingsState m_state;
};

}  // namespace tamlo
