#include "pages/general_settings.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

#include "config/settings_registry.h"
#include "config/tagged_encoding.h"
#include "config/test_pages.h"

namespace tamlo {
namespace {

using testing::Hex;
using testing::ScriptedDialogs;

class GeneralSettingsTest : public ::testing::Test {
 protected:
  GeneralSettingsTest() { ClearNotedSettings(); }
  ~GeneralSettingsTest() override { ClearNotedSettings(); }

  // As the main window does: the page, then the inputs; and no old messages.
  void ResetAll() {
    page.ResetToDefaults();
    for (LoopInputModel& input : inputs) input.ResetToDefaults();
    dialogs.messages.clear();
  }
  int Load(const std::vector<uint8_t>& bytes) {
    return WalkConfig(bytes.data(), bytes.size(),
                      [this](uint32_t code, int32_t value, const uint8_t* data, size_t length, uint32_t repeat) {
                        return page.LoadFromConfig(static_cast<int>(FieldCodeKind(code)), FieldCodeId(code), value,
                                                   data, length, repeat);
                      });
  }
  std::vector<uint8_t> Store() {
    ConfigTree tree;
    page.StoreToConfig(tree);
    return EncodeConfig(tree);
  }
  // The texts, captions and icons shown, one line each.
  std::vector<std::string> Shown() const {
    std::vector<std::string> out;
    for (const auto& m : dialogs.messages)
      out.push_back(m.text + " | " + m.caption + " | " + std::to_string(static_cast<int>(m.icon)));
    return out;
  }
  const GeneralSettingsState& s() const { return page.state(); }

  ScriptedDialogs dialogs;
  std::array<LoopInputModel, 4> inputs{LoopInputModel(0), LoopInputModel(1), LoopInputModel(2), LoopInputModel(3)};
  GeneralSettingsModel page{dialogs, {&inputs[0], &inputs[1], &inputs[2], &inputs[3]}};
};

std::string Plain(const std::string& text) { return text + " | " + kApplicationTitle + " | 0"; }
std::string Warning(const std::string& text) { return text + " | " + kApplicationTitle + " | 2"; }

ConfigTree Sim(const char* apn, const char* login, const char* password, const char* pin) {
  ConfigTree sim;
  sim.PutTrimmedString(1, apn);
  sim.PutTrimmedString(2, login);
  sim.PutTrimmedString(3, password);
  sim.PutTrimmedString(4, pin);
  return sim;
}

TEST_F(GeneralSettingsTest, ListingInPageOrder_ResetEmptiesAll_StoresNoBytes) {
  const char* texts[] = {"1B", "apn1", "login1", "pass1", "1111", "apn2", "login2", "pass2", "2222", "Пароль"};
  for (size_t i = 0; i < kGeneralEditRules.size(); ++i) page.SetText(kGeneralEditRules[i].edit, texts[i]);
  page.SetCheck(GeneralCheck::CB_OwnMessages, true);
  // What the view shows of each edit and box is what was typed into it.
  for (size_t i = 0; i < kGeneralEditRules.size(); ++i) EXPECT_EQ(page.Text(kGeneralEditRules[i].edit), texts[i]);
  EXPECT_TRUE(page.Ticked(GeneralCheck::CB_OwnMessages));
  EXPECT_FALSE(page.Ticked(GeneralCheck::CB_ReplaceAcc));
  std::vector<SettingValue> listed;
  page.ListSettings(listed);
  EXPECT_EQ(listed, (std::vector<SettingValue>{{"general.E_Account", "1B"},
                                               {"general.CB_ReplaceAcc", "off"},
                                               {"general.CB_OwnMessages", "on"},
                                               {"general.E_Apn1", "apn1"},
                                               {"general.E_Login_Apn1", "login1"},
                                               {"general.E_Password_Apn1", "pass1"},
                                               {"general.E_Pin1", "1111"},
                                               {"general.E_Apn2", "apn2"},
                                               {"general.E_Login_Apn2", "login2"},
                                               {"general.E_Password_Apn2", "pass2"},
                                               {"general.E_Pin2", "2222"},
                                               {"general.E_DevicePassword", "Пароль"}}));

  page.SetCheck(GeneralCheck::CB_ReplaceAcc, true);
  page.ResetToDefaults();
  listed.clear();
  page.ListSettings(listed);
  for (const SettingValue& v : listed)
    EXPECT_EQ(v.value, v.name.find(".CB_") != std::string::npos ? "off" : "") << v.name;
  // Only empty groups are put, and they encode to nothing.
  EXPECT_TRUE(Store().empty());
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(GeneralSettingsTest, LoadTopLevelFields_TakenOrRefused) {
  const std::string pw = std::string("\xcf\xe0\xf0\xee\xeb\xfc") + '\0';  // "Пароль" in Windows-1251
  const auto* text = reinterpret_cast<const uint8_t*>(pw.data());
  struct Field {
    int kind;
    uint32_t id;
    int32_t value;
    uint32_t repeat;
    int result;
  };
  struct Case {
    const char* name;
    std::vector<Field> fields;
    const char* account;
    bool replace;
    bool own;
    const char* device_password;
  } cases[] = {
      {"account", {{kFieldInteger, 257, 0x12, 0, 1}}, "0012", false, false, ""},
      {"long account", {{kFieldInteger, 257, 0x12345, 0, 1}}, "12345", false, false, ""},
      {"replacement only", {{kFieldInteger, 256, 0xBCD, 0, 1}}, "0BCD", true, false, ""},
      {"replacement, then account", {{kFieldInteger, 256, 0x1111, 0, 1}, {kFieldInteger, 257, 0x2222, 0, 1}},
       "2222", true, false, ""},
      {"account kept by a later replacement",
       {{kFieldInteger, 257, 0x2222, 0, 1}, {kFieldInteger, 256, 0x1111, 0, 1}}, "2222", true, false, ""},
      {"own messages any non-zero", {{kFieldInteger, 266, 7, 0, 1}}, "", false, true, ""},
      {"own messages 0", {{kFieldInteger, 266, 0, 0, 1}}, "", false, false, ""},
      {"device password", {{kFieldText, 265, 0, 0, 1}}, "", false, false, "Пароль"},
      {"password as integer", {{kFieldInteger, 265, 5, 0, 0}}, "", false, false, ""},
      {"password as bytes", {{kFieldBytes, 265, 0, 0, 0}}, "", false, false, ""},
      {"account as text", {{kFieldText, 257, 0, 0, 0}}, "", false, false, ""},
      {"replacement as text", {{kFieldText, 256, 0, 0, 0}}, "", false, false, ""},
      {"SIM as integer", {{kFieldInteger, 1, 3, 0, 0}}, "", false, false, ""},
      {"third SIM group", {{kFieldGroup, 1, 0, 2, 0}}, "", false, false, ""},
      {"fifth input group", {{kFieldGroup, 4, 0, 4, 0}}, "", false, false, ""},
      {"input as integer", {{kFieldInteger, 4, 1, 0, 0}}, "", false, false, ""},
      {"another page's id", {{kFieldInteger, 258, 1, 0, 0}}, "", false, false, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ResetAll();
    for (const Field& f : c.fields) {
      const bool bytes = f.kind == kFieldText || f.kind == kFieldBytes;
      EXPECT_EQ(page.LoadFromConfig(f.kind, f.id, f.value, bytes ? text : nullptr,
                                    f.kind == kFieldText ? pw.size() : bytes ? pw.size() - 1 : 0, f.repeat),
                f.result);
    }
    EXPECT_EQ(s().E_Account, c.account);
    EXPECT_EQ(s().CB_ReplaceAcc, c.replace);
    EXPECT_EQ(s().CB_OwnMessages, c.own);
    EXPECT_EQ(s().E_DevicePassword, c.device_password);
  }
}

TEST_F(GeneralSettingsTest, LoadSimGroups_TextFieldsOnly_ToTheSimOfTheRepeatIndex) {
  ConfigTree top;
  top.PutGroup(1, Sim("internet", "", "", ""));
  top.PutGroup(1, Sim("точка", "вход", "секрет", "1234"));
  EXPECT_EQ(Load(EncodeConfig(top)), 1);
  EXPECT_EQ(s().E_Apn1, "internet");
  EXPECT_EQ(s().E_Login_Apn1, "");
  EXPECT_EQ(s().E_Apn2, "точка");
  EXPECT_EQ(s().E_Login_Apn2, "вход");
  EXPECT_EQ(s().E_Password_Apn2, "секрет");
  EXPECT_EQ(s().E_Pin2, "1234");

  // An unknown id, or a known one that is not text, ends the group's walk as
  // 0; the APN before it stays.
  for (const std::vector<uint8_t>& group : {Hex({0x14, 0x02, 'a', 0, 0x54, 0x02, 'z', 0}),  // id 5
                                            Hex({0x14, 0x02, 'a', 0, 0x40, 0x05}),           // PIN as integer
                                            Hex({0x14, 0x02, 'a', 0, 0x24, 0x02, 'l', 'x'})}) {  // login as bytes
    ResetAll();
    std::vector<uint8_t> top_bytes = {0x15, static_cast<uint8_t>(group.size())};
    top_bytes.insert(top_bytes.end(), group.begin(), group.end());
    EXPECT_EQ(Load(top_bytes), 0);
    EXPECT_EQ(s().E_Apn1, "a");
    EXPECT_EQ(s().E_Login_Apn1 + s().E_Pin1, "");
  }
  ResetAll();
  EXPECT_EQ(Load(Hex({0x15, 0x02, 0x14, 0x05})), kWalkMalformed);  // text past the group's end
}

TEST_F(GeneralSettingsTest, LoadInputGroups_HandedToTheInputOfTheRepeatIndex) {
  // Type 4 is the telephone repeater's, known to L4 only.
  const auto repeater = Hex({0x10, 0x04});
  EXPECT_EQ(page.LoadFromConfig(kFieldGroup, 4, 0, repeater.data(), repeater.size(), 0), 0);
  EXPECT_EQ(page.LoadFromConfig(kFieldGroup, 4, 0, repeater.data(), repeater.size(), 3), 1);
  const auto loop = Hex({0x10, 0x03});
  EXPECT_EQ(page.LoadFromConfig(kFieldGroup, 4, 0, loop.data(), loop.size(), 2), 1);
  EXPECT_EQ(inputs[0].state().GrpBx_LoopType, LoopType::RB_Disabled);
  EXPECT_EQ(inputs[1].state().GrpBx_LoopType, LoopType::RB_Disabled);
  EXPECT_EQ(inputs[2].state().GrpBx_LoopType, LoopType::RB_Resistance);
  EXPECT_EQ(inputs[3].state().GrpBx_LoopType, LoopType::RB_Tamlo);
}

TEST_F(GeneralSettingsTest, Store_PutWhenRulesAndFirmwareNotes) {
  struct Case {
    const char* name;
    std::vector<std::pair<GeneralEdit, const char*>> texts;
    bool replace;
    bool own;
    std::function<void(ConfigTree&)> expected;
    size_t notes;  // settings that need firmware 3.04
  } cases[] = {
      {"account in hexadecimal", {{GeneralEdit::E_Account, "12"}}, false, false,
       [](ConfigTree& t) { t.PutInt(257, 0x12); }, 0},
      {"account with both options", {{GeneralEdit::E_Account, " bcdf "}}, true, true,
       [](ConfigTree& t) {
         t.PutInt(256, 0xBCDF);
         t.PutInt(257, 0xBCDF);
         t.PutInt(266, 1);
       },
       1},
      {"blank account", {{GeneralEdit::E_Account, "   "}}, false, false, [](ConfigTree&) {}, 0},
      {"device password trimmed", {{GeneralEdit::E_DevicePassword, "  пароль 1 "}}, false, false,
       [](ConfigTree& t) { t.PutString(265, "пароль 1"); }, 1},
      {"blank device password", {{GeneralEdit::E_DevicePassword, " \t "}}, false, false, [](ConfigTree&) {}, 0},
      {"SIM 1 trimmed",
       {{GeneralEdit::E_Apn1, " internet "}, {GeneralEdit::E_Login_Apn1, " гость"},
        {GeneralEdit::E_Password_Apn1, "x "}, {GeneralEdit::E_Pin1, " 12345678 "}},
       false, false, [](ConfigTree& t) { t.PutGroup(1, Sim("internet", "гость", "x", "12345678")); }, 1},
      {"SIM 2 alone keeps its position", {{GeneralEdit::E_Login_Apn2, "user"}, {GeneralEdit::E_Apn1, "  "}}, false,
       false,
       [](ConfigTree& t) {
         t.PutGroup(1, ConfigTree());
         t.PutGroup(1, Sim("", "user", "", ""));
       },
       0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ResetAll();
    ClearNotedSettings();
    for (const auto& [edit, text] : c.texts) page.SetText(edit, text);
    page.SetCheck(GeneralCheck::CB_ReplaceAcc, c.replace);
    page.SetCheck(GeneralCheck::CB_OwnMessages, c.own);
    ConfigTree expected;
    c.expected(expected);
    EXPECT_EQ(Store(), EncodeConfig(expected));
    EXPECT_EQ(NotedSettings().size(), c.notes);
    EXPECT_TRUE(dialogs.messages.empty());
  }
  page.SetText(GeneralEdit::E_Pin2, "1234");
  page.SetText(GeneralEdit::E_DevicePassword, "p");
  page.SetText(GeneralEdit::E_Account, "1");
  page.SetCheck(GeneralCheck::CB_OwnMessages, true);
  Store();
  EXPECT_EQ(NotedSettings(), (std::vector<NotedSetting>{{"PIN-код SIM-карты", 304},
                                                        {"Создавать собственные извещения", 304},
                                                        {"Пароль доступа к устройству", 304}}));
}

TEST_F(GeneralSettingsTest, Store_ShortPinShownPlainPerSimAndStoredAllTheSame) {
  const std::string pin1 = Plain("PIN-код для SIM1 должен быть как минимум 4 цифры");
  const std::string pin2 = Plain("PIN-код для SIM2 должен быть как минимум 4 цифры");
  struct Case {
    const char* pin1;
    const char* pin2;
    std::vector<std::string> shown;
  } cases[] = {
      {"123", "", {pin1}},       {"", "1", {pin2}},           {"12", " 1 ", {pin1, pin2}},
      {" 12 ", "1234", {pin1}},  {"1234", "12345678", {}},    {"   ", "", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.pin1) + "|" + c.pin2);
    ResetAll();
    page.SetText(GeneralEdit::E_Pin1, c.pin1);
    page.SetText(GeneralEdit::E_Pin2, c.pin2);
    const std::vector<uint8_t> stored = Store();
    EXPECT_EQ(Shown(), c.shown);
    ConfigTree expected;
    expected.PutGroup(1, Sim("", "", "", c.pin1));
    expected.PutGroup(1, Sim("", "", "", c.pin2));
    EXPECT_EQ(stored, EncodeConfig(expected));
    EXPECT_EQ(s().E_Pin1, c.pin1);
  }
}

TEST_F(GeneralSettingsTest, Store_BlankAccountSwitchesTheOptionsOffWithWarningsInOrder) {
  const std::string pin = Plain("PIN-код для SIM1 должен быть как минимум 4 цифры");
  const std::string replace = Warning("Не задан номер объекта для замены. Опция будет выключена.");
  const std::string own =
      Warning("Для передачи собственных извещений нужно задать номер объекта. Опция будет выключена.");
  struct Case {
    bool replace;
    bool own;
    std::vector<std::string> shown;
  } cases[] = {{true, true, {pin, replace, own}}, {true, false, {pin, replace}}, {false, true, {pin, own}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.replace) + std::to_string(c.own));
    ResetAll();
    page.SetText(GeneralEdit::E_Pin1, "1");
    page.SetText(GeneralEdit::E_Account, "  ");
    page.SetCheck(GeneralCheck::CB_ReplaceAcc, c.replace);
    page.SetCheck(GeneralCheck::CB_OwnMessages, c.own);
    const std::vector<uint8_t> stored = Store();
    EXPECT_EQ(Shown(), c.shown);
    EXPECT_FALSE(s().CB_ReplaceAcc);
    EXPECT_FALSE(s().CB_OwnMessages);
    ConfigTree expected;  // neither 256, 257 nor 266
    expected.PutGroup(1, Sim("", "", "", "1"));
    EXPECT_EQ(stored, EncodeConfig(expected));
    // Corrected: the next store warns no more.
    Store();
    EXPECT_EQ(dialogs.messages.size(), c.shown.size() + 1);
  }
}

// Every parameter of the page and of the four inputs set away from its
// default: load and store give the same bytes back.
TEST_F(GeneralSettingsTest, RoundTrip_EveryParameterSet_ByteIdentical) {
  ConfigTree top;
  top.PutGroup(1, Sim("internet.mts.ru", "mts", "пароль", "1234"));
  top.PutGroup(1, Sim("точка доступа", "логин 2", "pass 2", "87654321"));
  const int32_t input_values[4][4] = {
      {1, 0x12B, 0x1, 0x10}, {2, 0x130, 0xFF, 0xCDE}, {3, 0x12345, 0x2, 0x0}, {0, 0x602, 0xBC, 0x1}};
  for (const auto& values : input_values) {
    ConfigTree input;
    for (uint32_t id = 1; id <= 4; ++id) input.PutInt(id, values[id - 1]);
    top.PutGroup(4, std::move(input));
  }
  top.PutInt(256, 0x1BCD);
  top.PutInt(257, 0x1BCD);
  top.PutString(265, "Ключ доступа");
  top.PutInt(266, 1);
  const std::vector<uint8_t> original = EncodeConfig(top);

  ASSERT_EQ(Load(original), 1);
  EXPECT_EQ(s().E_Account, "1BCD");
  EXPECT_EQ(inputs[2].state().E_Event, "12345");
  EXPECT_EQ(Store(), original);
  EXPECT_TRUE(dialogs.messages.empty());

  // A configuration without them leaves the defaults after the reset.
  ResetAll();
  EXPECT_EQ(Load({}), 1);
  EXPECT_TRUE(Store().empty());
}

TEST(GeneralSettingsConstruction, InputsMustBeL1ToL4InOrder) {
  ScriptedDialogs dialogs;
  LoopInputModel l1(0), l2(1), l3(2), l4(3);
  EXPECT_NO_THROW(GeneralSettingsModel(dialogs, {&l1, &l2, &l3, &l4}));
  EXPECT_THROW(GeneralSettingsModel(dialogs, {&l1, &l3, &l2, &l4}), std::invalid_argument);
  EXPECT_THROW(GeneralSettingsModel(dialogs, {&l1, &l2, &l3, nullptr}), std::invalid_argument);
}

}  // namespace
}  // namespace tamlo
