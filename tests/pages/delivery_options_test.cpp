#include "pages/delivery_options.h"

#include <gtest/gtest.h>

#include <utility>

#include "config/config_tree.h"
#include "config/settings_registry.h"
#include "config/tagged_encoding.h"

namespace tamlo {
namespace {

using IdValue = std::pair<uint32_t, int32_t>;

// Offers every top-level field to the page, as the main window's load does.
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

std::vector<IdValue> StoredIntegers(DeliveryOptionsModel& page) {
  std::vector<IdValue> out;
  const auto bytes = Store(page);
  EXPECT_EQ(WalkConfig(bytes.data(), bytes.size(),
                       [&](uint32_t code, int32_t v, const uint8_t*, size_t, uint32_t) {
                         out.emplace_back(FieldCodeId(code), v);
                         return FieldCodeKind(code) == kFieldInteger ? 1 : 0;
                       }),
            1);
  return out;
}

DeliveryOptionsModel PageWith(const char* loops, const char* return_time, const char* back_test) {
  DeliveryOptionsModel page;
  page.SetOneSimLoops(loops);
  page.SetReturnTime(return_time);
  page.SetBackTestTime(back_test);
  return page;
}

TEST(DeliveryOptions, Reset_DefaultTexts_StoresNothing) {
  DeliveryOptionsModel page = PageWith("7", "01:00", "02:00");
  page.ResetToDefaults();
  EXPECT_EQ(page.state().E_OneSimLoops, "3");
  EXPECT_EQ(page.state().ME_ReturnTime, "12:00");
  EXPECT_EQ(page.state().ME_BackTestTime, "00:00");
  EXPECT_EQ(page.state(), DeliveryOptionsModel().state());
  ClearNotedSettings();
  EXPECT_TRUE(Store(page).empty());
  EXPECT_TRUE(NotedSettings().empty());
}

TEST(DeliveryOptions, LeavingPasses_EmptyOrZeroBecomes3) {
  const std::pair<const char*, const char*> cases[] = {
      {"", "3"}, {"0", "3"}, {"00", "3"}, {" ", "3"}, {"1", "1"}, {"12", "12"}, {"03", "03"}};
  for (const auto& [typed, left] : cases) {
    DeliveryOptionsModel page;
    page.SetOneSimLoops(typed);
    page.E_DisableZeroExit();
    EXPECT_EQ(page.state().E_OneSimLoops, left) << '"' << typed << '"';
  }
  const auto& rule = DeliveryOptionsModel::kEditRules[0];
  EXPECT_EQ(rule.control, "E_OneSimLoops");
  EXPECT_EQ(rule.max_length, 2);
  EXPECT_TRUE(rule.filter(U'7'));
  EXPECT_FALSE(rule.filter(U'a'));
}

TEST(DeliveryOptions, Store_PutsOnlyWhatDiffersFromTheDefault) {
  struct Case {
    const char* loops;
    const char* return_time;
    const char* back_test;
    std::vector<IdValue> stored;
  } cases[] = {
      {"3", "12:00", "00:00", {}},
      {"0", "00:00", "  :  ", {}},
      {"", "12:00", "00:00", {}},
      {"1", "12:00", "00:00", {{263, 1}}},
      {"03", "12:00", "00:00", {}},
      {"3", "01:75", "00:00", {{264, 135}}},
      {"3", "00:01", "00:00", {{264, 1}}},
      {"3", "11:60", "00:00", {}},  // 720 minutes written another way
      {"3", "12:00", "00:01", {{267, 1}}},
      {"12", "99:59", "99:99", {{263, 12}, {264, 5999}, {267, 6039}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.loops) + " / " + c.return_time + " / " + c.back_test);
    DeliveryOptionsModel page = PageWith(c.loops, c.return_time, c.back_test);
    EXPECT_EQ(StoredIntegers(page), c.stored);
  }
}

TEST(DeliveryOptions, Store_NotesEachPutSettingWithItsFirmware) {
  ClearNotedSettings();
  DeliveryOptionsModel page = PageWith("5", "01:00", "00:30");
  Store(page);
  const std::vector<NotedSetting> all = {{"Кол-во проходов перед сменой SIM-карты", 304},
                                         {"Период возврата на первое направление", 304},
                                         {"Период проверки восстановления GPRS/LAN", 310}};
  EXPECT_EQ(NotedSettings(), all);

  ClearNotedSettings();
  DeliveryOptionsModel only_check = PageWith("3", "12:00", "00:30");
  Store(only_check);
  EXPECT_EQ(NotedSettings(), std::vector<NotedSetting>({{"Период проверки восстановления GPRS/LAN", 310}}));
}

TEST(DeliveryOptions, Load_TakesIntegers263_264_267Only) {
  struct Case {
    int kind;
    uint32_t id;
    int32_t value;
    int result;
    DeliveryOptionsState after;  // from "7", "01:00", "05:00"
  } cases[] = {
      {kFieldInteger, 263, 5, 1, {"5", "01:00", "05:00"}},
      {kFieldInteger, 263, 0, 1, {"7", "01:00", "05:00"}},
      {kFieldInteger, 263, 12345, 1, {"12345", "01:00", "05:00"}},  // longer than typing allows, kept whole
      {kFieldInteger, 263, -2, 1, {"-2", "01:00", "05:00"}},
      {kFieldInteger, 264, 90, 1, {"7", "01:30", "05:00"}},
      {kFieldInteger, 264, 0, 1, {"7", "01:00", "05:00"}},
      {kFieldInteger, 264, 6000, 1, {"7", "99:59", "05:00"}},
      {kFieldInteger, 267, 0, 1, {"7", "01:00", "00:00"}},
      {kFieldInteger, 267, 135, 1, {"7", "01:00", "02:15"}},
      {kFieldText, 263, 0, 0, {"7", "01:00", "05:00"}},
      {kFieldBytes, 264, 0, 0, {"7", "01:00", "05:00"}},
      {kFieldGroup, 267, 0, 0, {"7", "01:00", "05:00"}},
      {kFieldInteger, 262, 1, 0, {"7", "01:00", "05:00"}},
      {kFieldInteger, 265, 1, 0, {"7", "01:00", "05:00"}},
      {kFieldInteger, 3, 1, 0, {"7", "01:00", "05:00"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.id) + " kind " + std::to_string(c.kind) + " value " + std::to_string(c.value));
    DeliveryOptionsModel page = PageWith("7", "01:00", "05:00");
    const uint8_t text[] = {'1', 0};
    EXPECT_EQ(page.LoadFromConfig(c.kind, c.id, c.value, c.kind == kFieldInteger ? nullptr : text,
                                  c.kind == kFieldInteger ? 0 : sizeof text, 0),
              c.result);
    EXPECT_EQ(page.state(), c.after);
  }
}

TEST(DeliveryOptions, RoundTrip_EveryParameterSet_ByteIdentical) {
  ConfigTree tree;
  tree.PutInt(263, 7);
  tree.PutInt(264, 135);
  tree.PutInt(267, 5999);
  const auto bytes = EncodeConfig(tree);

  DeliveryOptionsModel page = PageWith("1", "00:00", "00:00");
  page.ResetToDefaults();
  EXPECT_EQ(Load(page, bytes), 1);
  EXPECT_EQ(page.state(), (DeliveryOptionsState{"7", "02:15", "99:59"}));
  EXPECT_EQ(Store(page), bytes);
}

TEST(DeliveryOptions, RoundTrip_TimesOf100HoursComeBackAs99_59) {
  ConfigTree tree;
  tree.PutInt(264, 6000);
  tree.PutInt(267, 100000);
  const auto bytes = EncodeConfig(tree);
  DeliveryOptionsModel page;
  EXPECT_EQ(Load(page, bytes), 1);
  EXPECT_EQ(StoredIntegers(page), (std::vector<IdValue>{{264, 5999}, {267, 5999}}));
}

TEST(DeliveryOptions, ListSettings_EveryControlInPageOrder) {
  DeliveryOptionsModel page = PageWith("12", "01:30", "  :  ");
  std::vector<SettingValue> listed;
  page.ListSettings(listed);
  EXPECT_EQ(listed, (std::vector<SettingValue>{{"options.E_OneSimLoops", "12"},
                                               {"options.ME_ReturnTime", "01:30"},
                                               {"options.ME_BackTestTime", "  :  "}}));
}

}  // namespace
}  // namespace tamlo
