#include "pages/remote_access.h"

#include <gtest/gtest.h>

#include <functional>

#include "config/config_tree.h"
#include "config/settings_registry.h"
#include "config/tagged_encoding.h"
#include "config/test_pages.h"

namespace tamlo {
namespace {

using testing::Hex;

// One field inside the remote access group; texts as raw 1251 bytes without
// their zero.
struct Field {
  uint32_t id = 0;
  int kind = 0;
  int32_t value = 0;
  std::string text;
  uint32_t repeat = 0;
  bool operator==(const Field&) const = default;
};

int Load(ConfigPage& page, const std::vector<uint8_t>& bytes) {
  return WalkConfig(bytes.data(), bytes.size(), [&](uint32_t code, int32_t v, const uint8_t* d, size_t n, uint32_t r) {
    return page.LoadFromConfig(static_cast<int>(FieldCodeKind(code)), FieldCodeId(code), v, d, n, r);
  });
}

std::vector<uint8_t> Store(ConfigPage& page) {
  ConfigTree tree;
  page.StoreToConfig(tree);
  return EncodeConfig(tree);
}

// The stored group's fields, in encoded order.
std::vector<Field> StoredGroup(RemoteAccessModel& page) {
  ConfigTree tree;
  page.StoreToConfig(tree);
  EXPECT_EQ(tree.size(), 1u);
  std::vector<Field> out;
  if (tree.empty() || tree.entries()[0].id != 3 || !tree.entries()[0].group) {
    ADD_FAILURE() << "no group 3";
    return out;
  }
  const auto bytes = EncodeConfig(*tree.entries()[0].group);
  WalkConfig(bytes.data(), bytes.size(), [&](uint32_t code, int32_t v, const uint8_t* d, size_t n, uint32_t r) {
    const auto kind = FieldCodeKind(code);
    out.push_back({FieldCodeId(code), static_cast<int>(kind), v,
                   kind == kFieldText ? std::string(reinterpret_cast<const char*>(d), n - 1) : std::string(), r});
    return 1;
  });
  return out;
}

std::vector<uint8_t> Encoded(const std::function<void(ConfigTree&)>& put) {
  ConfigTree tree;
  put(tree);
  return EncodeConfig(tree);
}

// A top-level configuration holding group 3 with the given content bytes.
std::vector<uint8_t> InGroup3(const std::vector<uint8_t>& content) {
  std::vector<uint8_t> out = {0x35};
  AppendVarint(out, static_cast<uint32_t>(content.size()));
  out.insert(out.end(), content.begin(), content.end());
  return out;
}

Field Int(uint32_t id, int32_t value, uint32_t repeat = 0) { return {id, kFieldInteger, value, "", repeat}; }
Field Text(uint32_t id, std::string text, uint32_t repeat) { return {id, kFieldText, 0, std::move(text), repeat}; }

RemoteAccessModel PageWithRows(std::vector<PhoneRow> rows) {
  RemoteAccessModel page;
  for (size_t i = 0; i < rows.size(); ++i) {
    page.InsertRow(i);
    page.SetPhone(i, rows[i].phone);
    page.SetNote(i, rows[i].note);
  }
  return page;
}

TEST(RemoteAccess, Reset_HiddenDefaultsNoRows_StoresAnEmptyGroup) {
  RemoteAccessModel page = PageWithRows({{"1", "a"}});
  page.SetEnableAcs(true);
  page.SetMaxPhoneLen("7");
  page.ResetToDefaults();
  EXPECT_FALSE(page.state().CB_EnableAcs);
  EXPECT_EQ(page.state().E_MaxPhoneLen, "10");
  EXPECT_EQ(page.RowCount(), 0u);
  EXPECT_EQ(page.state().visible, RemoteAccessState::Visible{});
  EXPECT_EQ(page.state(), RemoteAccessModel().state());

  EXPECT_TRUE(StoredGroup(page).empty());
  EXPECT_TRUE(Store(page).empty());  // an empty group alone leaves no bytes
}

TEST(RemoteAccess, EnableClick_ShowsDigitsAndListExactlyWhenTicked) {
  RemoteAccessModel page;
  for (bool ticked : {true, false, true}) {
    page.SetEnableAcs(ticked);
    const auto& v = page.state().visible;
    EXPECT_EQ(v.L_MaxPhoneLen, ticked);
    EXPECT_EQ(v.E_MaxPhoneLen, ticked);
    EXPECT_EQ(v.LIST_Phones, ticked);
  }
  // Loading the flag runs the rule too: any value but 0 ticks.
  for (auto [value, ticked] : {std::pair{5, true}, std::pair{0, false}, std::pair{1, true}}) {
    EXPECT_EQ(Load(page, InGroup3(Hex({0x10, value}))), 1);
    EXPECT_EQ(page.state().CB_EnableAcs, ticked) << value;
    EXPECT_EQ(page.state().visible.LIST_Phones, ticked) << value;
  }
}

TEST(RemoteAccess, LeavingDigits_EmptyOrZeroBecomes10) {
  const std::pair<const char*, const char*> cases[] = {{"", "10"}, {"0", "10"}, {"00", "10"}, {"7", "7"}, {"12", "12"}};
  for (const auto& [typed, left] : cases) {
    RemoteAccessModel page;
    page.SetMaxPhoneLen(typed);
    page.E_NumDisableZero();
    EXPECT_EQ(page.state().E_MaxPhoneLen, left) << '"' << typed << '"';
  }
  EXPECT_EQ(RemoteAccessModel::kEditRules[0].control, "E_MaxPhoneLen");
  EXPECT_EQ(RemoteAccessModel::kEditRules[0].max_length, 2);
  EXPECT_FALSE(RemoteAccessModel::kEditRules[0].filter(U'+'));
}

TEST(RemoteAccess, ListRows_InsertAtDeleteCurrentEditCells) {
  RemoteAccessModel page;
  EXPECT_FALSE(page.SetPhone(0, "x"));
  page.InsertRow(0);
  EXPECT_TRUE(page.SetPhone(0, "1"));
  page.InsertRow(99);  // past the end: appended
  EXPECT_TRUE(page.SetPhone(1, "3"));
  page.InsertRow(1);
  EXPECT_TRUE(page.SetPhone(1, "2"));
  EXPECT_TRUE(page.SetNote(1, "two"));
  EXPECT_EQ(page.state().LIST_Phones, (std::vector<PhoneRow>{{"1", ""}, {"2", "two"}, {"3", ""}}));

  EXPECT_TRUE(page.DeleteRow(0));
  EXPECT_FALSE(page.DeleteRow(2));
  EXPECT_FALSE(page.SetNote(2, "x"));
  EXPECT_EQ(page.state().LIST_Phones, (std::vector<PhoneRow>{{"2", "two"}, {"3", ""}}));
}

TEST(RemoteAccess, Store_FlagAndDigitsOnlyWhenNotDefault_HiddenStillStored) {
  struct Case {
    bool enable;
    const char* digits;
    std::vector<Field> stored;
  } cases[] = {
      {false, "10", {}},
      {false, "0", {}},
      {false, "", {}},
      {false, "x", {}},
      {true, "10", {Int(1, 1)}},
      {false, "12", {Int(2, 12)}},
      {true, "12345", {Int(1, 1), Int(2, 12345)}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.enable ? "on " : "off ") + c.digits);
    RemoteAccessModel page;
    page.SetEnableAcs(c.enable);
    page.SetMaxPhoneLen(c.digits);
    EXPECT_EQ(StoredGroup(page), c.stored);
  }
  // Unticked: the list is hidden and still stored.
  RemoteAccessModel hidden = PageWithRows({{"5", ""}});
  EXPECT_EQ(StoredGroup(hidden), (std::vector<Field>{Text(3, "5", 0), Text(4, "", 0)}));
}

TEST(RemoteAccess, StoreRows_PhoneTrimmedNoteRightTrimmed_BlankRowsSkipped) {
  RemoteAccessModel page = PageWithRows({{" 123 ", "  note  "},
                                         {"", ""},
                                         {"  ", " \t"},
                                         {"", "only note"},
                                         {"\t456", ""}});
  // All phones before all notes; the repeat index is the row among the stored ones.
  EXPECT_EQ(StoredGroup(page), (std::vector<Field>{Text(3, "123", 0), Text(3, "", 1), Text(3, "456", 2),
                                                   Text(4, "  note", 0), Text(4, "only note", 1), Text(4, "", 2)}));

  RemoteAccessModel loaded;
  EXPECT_EQ(Load(loaded, Store(page)), 1);
  EXPECT_EQ(loaded.state().LIST_Phones,
            (std::vector<PhoneRow>{{"123", "  note"}, {"", "only note"}, {"456", ""}}));
}

TEST(RemoteAccess, Texts_Windows1251InTheConfiguration_CutAtTheFirstZero) {
  RemoteAccessModel page = PageWithRows({{"+7 900", "Дежурный"}});
  EXPECT_EQ(StoredGroup(page),
            (std::vector<Field>{Text(3, "+7 900", 0), Text(4, "\xC4\xE5\xE6\xF3\xF0\xED\xFB\xE9", 0)}));
  RemoteAccessModel loaded;
  EXPECT_EQ(Load(loaded, Store(page)), 1);
  EXPECT_EQ(loaded.state().LIST_Phones, page.state().LIST_Phones);

  RemoteAccessModel embedded;
  EXPECT_EQ(Load(embedded, InGroup3(Hex({0x34, 0x04, '1', 0, '2', 0}))), 1);
  EXPECT_EQ(embedded.state().LIST_Phones, (std::vector<PhoneRow>{{"1", ""}}));
}

TEST(RemoteAccess, LoadGroup_TakesIntegers1And2TextsRowsByRepeat) {
  struct Case {
    const char* name;
    std::vector<uint8_t> content;
    int result;
    const char* digits;
    std::vector<PhoneRow> rows;
  } cases[] = {
      {"digits", Encoded([](ConfigTree& t) { t.PutInt(2, 12345); }), 1, "12345", {}},
      {"digits 0", Encoded([](ConfigTree& t) { t.PutInt(2, 0); }), 1, "10", {}},
      {"phones grow the list", Encoded([](ConfigTree& t) {
         for (const char* p : {"a", "b", "c"}) t.PutString(3, p);
       }),
       1, "10", {{"a", ""}, {"b", ""}, {"c", ""}}},
      {"notes beyond the phones", Encoded([](ConfigTree& t) {
         t.PutString(3, "a");
         t.PutString(4, "x");
         t.PutString(4, "y");
       }),
       1, "10", {{"a", "x"}, {"", "y"}}},
      {"phone as an integer", Encoded([](ConfigTree& t) { t.PutInt(3, 5); }), 0, "10", {}},
      {"note as raw bytes", Hex({0x44, 0x02, 'a', 'b'}), 0, "10", {}},
      {"enable as a text", Encoded([](ConfigTree& t) { t.PutString(1, "1"); }), 0, "10", {}},
      {"unknown id", Encoded([](ConfigTree& t) { t.PutInt(5, 1); }), 0, "10", {}},
      {"unknown id after a taken one", Encoded([](ConfigTree& t) {
         t.PutInt(2, 7);
         t.PutInt(9, 1);
       }),
       0, "7", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RemoteAccessModel page;
    EXPECT_EQ(Load(page, InGroup3(c.content)), c.result);
    EXPECT_EQ(page.state().E_MaxPhoneLen, c.digits);
    EXPECT_EQ(page.state().LIST_Phones, c.rows);
  }
}

TEST(RemoteAccess, LoadTopLevel_OnlyGroup3_NestedFaultsPassedOn) {
  RemoteAccessModel page;
  const uint8_t content[] = {0x10, 0x01};  // id 1 = 1
  EXPECT_EQ(page.LoadFromConfig(kFieldInteger, 3, 1, nullptr, 0, 0), 0);
  EXPECT_EQ(page.LoadFromConfig(kFieldGroup, 2, 0, content, sizeof content, 0), 0);
  EXPECT_EQ(page.LoadFromConfig(kFieldGroup, 5, 0, content, sizeof content, 0), 0);
  EXPECT_FALSE(page.state().CB_EnableAcs);
  EXPECT_EQ(page.LoadFromConfig(kFieldGroup, 3, 0, content, sizeof content, 1), 1);  // any repeat index
  EXPECT_TRUE(page.state().CB_EnableAcs);

  const uint8_t truncated[] = {0x34, 0x05, 'a'};
  const uint8_t reserved_bit[] = {0x18, 0x01};
  EXPECT_EQ(page.LoadFromConfig(kFieldGroup, 3, 0, truncated, sizeof truncated, 0), kWalkMalformed);
  EXPECT_EQ(page.LoadFromConfig(kFieldGroup, 3, 0, reserved_bit, sizeof reserved_bit, 0), kWalkUnknownCoding);
}

TEST(RemoteAccess, RoundTrip_EveryParameterSet_ByteIdentical) {
  const auto bytes = InGroup3(Encoded([](ConfigTree& t) {
    t.PutInt(1, 1);
    t.PutInt(2, 12);
    for (const char* p : {"+79001234567", "", "333"}) t.PutString(3, p);
    for (const char* n : {" охрана", "только примечание", ""}) t.PutString(4, n);
  }));
  RemoteAccessModel page;
  EXPECT_EQ(Load(page, bytes), 1);
  EXPECT_EQ(page.state().E_MaxPhoneLen, "12");
  EXPECT_EQ(page.RowCount(), 3u);
  EXPECT_EQ(Store(page), bytes);
}

TEST(RemoteAccess, ListSettings_FlagDigitsThenRowsFrom1) {
  RemoteAccessModel page = PageWithRows({{"111", "дом"}, {"", " x"}});
  std::vector<SettingValue> listed;
  page.ListSettings(listed);
  EXPECT_EQ(listed, (std::vector<SettingValue>{{"remote.CB_EnableAcs", "off"},
                                               {"remote.E_MaxPhoneLen", "10"},
                                               {"remote.LIST_Phones.1", "111 | дом"},
                                               {"remote.LIST_Phones.2", " |  x"}}));
}

}  // namespace
}  // namespace tamlo
