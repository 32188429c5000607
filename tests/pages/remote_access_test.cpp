#include "pages/remote_access.h"

#include <gtest/gtest.h>

#include <functional>

#include "config/config_tree.h"
#include "config/tagged_encoding.h"
#include "config/test_pages.h"

namespace tamlo {
namespace {

using testing::Hex;
using Rows = std::vector<PhoneRow>;

int Load(RemoteAccessModel& page, const std::vector<uint8_t>& bytes) {
  return WalkConfig(bytes.data(), bytes.size(), [&](uint32_t code, int32_t v, const uint8_t* d, size_t n, uint32_t r) {
    return page.LoadFromConfig(static_cast<int>(FieldCodeKind(code)), FieldCodeId(code), v, d, n, r);
  });
}

std::vector<uint8_t> Store(RemoteAccessModel& page) {
  ConfigTree tree;
  page.StoreToConfig(tree);
  EXPECT_EQ(tree.size(), 1u);  // the group, even when empty
  return EncodeConfig(tree);
}

// The encoding of group 3 holding these content bytes, or these puts.
std::vector<uint8_t> Group3(const std::vector<uint8_t>& content) {
  std::vector<uint8_t> out = {0x35};
  AppendVarint(out, static_cast<uint32_t>(content.size()));
  out.insert(out.end(), content.begin(), content.end());
  return out;
}
std::vector<uint8_t> Group3(const std::function<void(ConfigTree&)>& put) {
  ConfigTree group;
  put(group);
  ConfigTree tree;
  tree.PutGroup(3, std::move(group));
  return EncodeConfig(tree);
}

RemoteAccessModel PageWithRows(const Rows& rows) {
  RemoteAccessModel page;
  for (size_t i = 0; i < rows.size(); ++i) {
    page.InsertRow(i);
    page.SetPhone(i, rows[i].phone);
    page.SetNote(i, rows[i].note);
  }
  return page;
}

TEST(RemoteAccess, ResetClickAndLeaving_DigitsAndListShownOnlyWhenAllowed) {
  RemoteAccessModel page = PageWithRows({{"1", "a"}});
  page.SetEnableAcs(true);
  EXPECT_EQ(page.state().visible, (RemoteAccessState::Visible{true, true, true}));
  page.SetMaxPhoneLen("7");
  page.ResetToDefaults();
  EXPECT_EQ(page.state(), RemoteAccessState{});
  EXPECT_EQ(page.state().visible, (RemoteAccessState::Visible{false, false, false}));
  EXPECT_TRUE(Store(page).empty());  // an empty group alone leaves no bytes

  // Loading the flag runs the click rule; any value but 0 ticks.
  for (auto [value, ticked] : {std::pair{5, true}, {0, false}}) {
    EXPECT_EQ(Load(page, Group3(Hex({0x10, value}))), 1);
    EXPECT_EQ(page.state().visible, (RemoteAccessState::Visible{ticked, ticked, ticked})) << value;
  }
  for (auto [typed, left] : {std::pair{"", "10"}, {"0", "10"}, {"00", "10"}, {"7", "7"}}) {
    page.SetMaxPhoneLen(typed);
    page.E_NumDisableZero();
    EXPECT_EQ(page.state().E_MaxPhoneLen, left) << '"' << typed << '"';
  }
}

TEST(RemoteAccess, ListRows_InsertAtDeleteCurrentEditCells) {
  RemoteAccessModel page;
  EXPECT_FALSE(page.SetPhone(0, "x"));
  EXPECT_TRUE(page.StartFirstRow());  // typing into the empty list
  EXPECT_FALSE(page.StartFirstRow());
  page.InsertRow(99);  // past the end: appended
  page.InsertRow(1);
  for (size_t i = 0; i < 3; ++i) EXPECT_TRUE(page.SetPhone(i, std::to_string(i + 1)));
  EXPECT_TRUE(page.SetNote(1, "two"));
  EXPECT_TRUE(page.DeleteRow(0));
  EXPECT_FALSE(page.DeleteRow(2));
  EXPECT_FALSE(page.SetNote(2, "x"));
  EXPECT_EQ(page.state().LIST_Phones, (Rows{{"2", "two"}, {"3", ""}}));
  // Insert and Delete on the list's current row.
  EXPECT_EQ(page.InsertRowAt(std::nullopt), 2u);  // none current: appended
  EXPECT_EQ(page.InsertRowAt(1), 1u);
  EXPECT_EQ(page.state().LIST_Phones, (Rows{{"2", "two"}, {"", ""}, {"3", ""}, {"", ""}}));
  EXPECT_TRUE(page.CanDeleteRow(3));
  EXPECT_FALSE(page.CanDeleteRow(4));
  EXPECT_FALSE(page.CanDeleteRow(std::nullopt));
}

TEST(RemoteAccess, Store_PutWhenRules_RowsTrimmedInPairs_BlankRowsSkipped) {
  struct Case {
    const char* name;
    bool enable;
    const char* digits;
    Rows rows;
    std::function<void(ConfigTree&)> expected;
  } cases[] = {
      {"defaults", false, "10", {}, [](ConfigTree&) {}},
      {"empty digits, blank rows", false, "", {{"", ""}, {" ", "\t "}}, [](ConfigTree&) {}},
      {"flag and digits", true, "12345", {}, [](ConfigTree& t) { t.PutInt(1, 1); t.PutInt(2, 12345); }},
      {"rows, list hidden",
       false,
       "10",
       {{" 123 ", "  note  "}, {"", ""}, {"", "only note"}, {"\t456", ""}},
       [](ConfigTree& t) {
         for (const char* p : {"123", "", "456"}) t.PutString(3, p);
         for (const char* n : {"  note", "only note", ""}) t.PutString(4, n);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RemoteAccessModel page = PageWithRows(c.rows);
    page.SetEnableAcs(c.enable);
    page.SetMaxPhoneLen(c.digits);
    EXPECT_EQ(Store(page), Group3(c.expected));
  }
}

TEST(RemoteAccess, LoadGroup_Integers1And2_TextRowsByRepeat) {
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    int result;
    const char* digits;
    Rows rows;
  } cases[] = {
      {"digits", Group3([](ConfigTree& t) { t.PutInt(2, 12345); }), 1, "12345", {}},
      {"digits 0", Group3([](ConfigTree& t) { t.PutInt(2, 0); }), 1, "10", {}},
      {"notes beyond the phones", Group3([](ConfigTree& t) {
         t.PutString(3, "a");
         for (const char* n : {"x", "", "z"}) t.PutString(4, n);
       }),
       1, "10", {{"a", "x"}, {"", ""}, {"", "z"}}},
      {"text cut at its first zero", Group3(Hex({0x34, 0x04, '1', 0, '2', 0})), 1, "10", {{"1", ""}}},
      {"phone as an integer", Group3([](ConfigTree& t) { t.PutInt(3, 5); }), 0, "10", {}},
      {"note as raw bytes", Group3(Hex({0x44, 0x02, 'a', 'b'})), 0, "10", {}},
      {"unknown id after a taken one", Group3([](ConfigTree& t) { t.PutInt(2, 7); t.PutInt(9, 1); }), 0, "7", {}},
      {"integer 3 at the top level", Hex({0x30, 0x01}), 0, "10", {}},
      {"group 2 at the top level", Hex({0x25, 0x02, 0x20, 0x07}), 0, "10", {}},
      {"second group 3", Hex({0x35, 0x00, 0x35, 0x02, 0x20, 0x07}), 1, "7", {}},
      {"truncated content", Group3(Hex({0x34, 0x05, 'a'})), kWalkMalformed, "10", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RemoteAccessModel page;
    EXPECT_EQ(Load(page, c.bytes), c.result);
    EXPECT_EQ(page.state().E_MaxPhoneLen, c.digits);
    EXPECT_EQ(page.state().LIST_Phones, c.rows);
  }
}

TEST(RemoteAccess, RoundTrip_EveryParameterSet_ByteIdentical) {
  const auto bytes = Group3([](ConfigTree& t) {
    t.PutInt(1, 1);
    t.PutInt(2, 12);
    for (const char* p : {"+79001234567", "", "333"}) t.PutString(3, p);
    for (const char* n : {" охрана", "только примечание", ""}) t.PutString(4, n);
  });
  RemoteAccessModel page;
  EXPECT_EQ(Load(page, bytes), 1);
  EXPECT_EQ(page.state().LIST_Phones, (Rows{{"+79001234567", " охрана"}, {"", "только примечание"}, {"333", ""}}));
  EXPECT_EQ(Store(page), bytes);

  std::vector<SettingValue> listed;
  page.ListSettings(listed);
  EXPECT_EQ(listed, (std::vector<SettingValue>{{"remote.CB_EnableAcs", "on"},
                                               {"remote.E_MaxPhoneLen", "12"},
                                               {"remote.LIST_Phones.1", "+79001234567 |  охрана"},
                                               {"remote.LIST_Phones.2", " | только примечание"},
                                               {"remote.LIST_Phones.3", "333 | "}}));
}

}  // namespace
}  // namespace tamlo
