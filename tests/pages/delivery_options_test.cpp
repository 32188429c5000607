#include "pages/delivery_options.h"

#include <gtest/gtest.h>

#include "config/config_tree.h"
#include "config/settings_registry.h"
#include "config/tagged_encoding.h"

namespace tamlo {
namespace {

using IdValue = std::pair<uint32_t, int32_t>;

DeliveryOptionsModel PageWith(const char* loops, const char* return_time, const char* back_test) {
  DeliveryOptionsModel page;
  page.SetOneSimLoops(loops);
  page.SetReturnTime(return_time);
  page.SetBackTestTime(back_test);
  return page;
}

std::vector<uint8_t> Store(DeliveryOptionsModel& page) {
  ConfigTree tree;
  page.StoreToConfig(tree);
  return EncodeConfig(tree);
}

// Offers every top-level field to the page, as the main window's load does;
// `seen` collects the integers.
int Walk(const std::vector<uint8_t>& bytes, DeliveryOptionsModel* page, std::vector<IdValue>* seen = nullptr) {
  return WalkConfig(bytes.data(), bytes.size(), [&](uint32_t code, int32_t v, const uint8_t* d, size_t n, uint32_t r) {
    if (seen) seen->emplace_back(FieldCodeId(code), v);
    return page ? page->LoadFromConfig(static_cast<int>(FieldCodeKind(code)), FieldCodeId(code), v, d, n, r) : 1;
  });
}

TEST(DeliveryOptions, ResetAndLeavingPasses_DefaultTexts) {
  DeliveryOptionsModel page = PageWith("7", "01:00", "02:00");
  page.ResetToDefaults();
  EXPECT_EQ(page.state(), (DeliveryOptionsState{"3", "12:00", "00:00"}));
  std::vector<SettingValue> listed;
  page.ListSettings(listed);
  EXPECT_EQ(listed, (std::vector<SettingValue>{{"options.E_OneSimLoops", "3"},
                                               {"options.ME_ReturnTime", "12:00"},
                                               {"options.ME_BackTestTime", "00:00"}}));

  for (auto [typed, left] : {std::pair{"", "3"}, {"0", "3"}, {"00", "3"}, {"1", "1"}, {"12", "12"}}) {
    page.SetOneSimLoops(typed);
    page.E_DisableZeroExit();
    EXPECT_EQ(page.state().E_OneSimLoops, left) << '"' << typed << '"';
  }
}

TEST(DeliveryOptions, Store_OnlyWhatDiffersFromTheDefault_WithSettingNames) {
  struct Case {
    const char* loops;
    const char* return_time;
    const char* back_test;
    std::vector<IdValue> stored;
  } cases[] = {
      {"3", "12:00", "00:00", {}},
      {"0", "00:00", "  :  ", {}},
      {"", "11:60", "00:00", {}},  // 11:60 is 720 minutes
      {"1", "01:75", "00:01", {{263, 1}, {264, 135}, {267, 1}}},
      {"12", "99:59", "99:99", {{263, 12}, {264, 5999}, {267, 6039}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.loops) + " / " + c.return_time + " / " + c.back_test);
    DeliveryOptionsModel page = PageWith(c.loops, c.return_time, c.back_test);
    ClearNotedSettings();
    std::vector<IdValue> stored;
    EXPECT_EQ(Walk(Store(page), nullptr, &stored), 1);
    EXPECT_EQ(stored, c.stored);
    EXPECT_EQ(NotedSettings().size(), c.stored.size());
  }
  EXPECT_EQ(NotedSettings(), (std::vector<NotedSetting>{{"Кол-во проходов перед сменой SIM-карты", 304},
                                                         {"Период возврата на первое направление", 304},
                                                         {"Период проверки восстановления GPRS/LAN", 310}}));
}

TEST(DeliveryOptions, Load_Integers263_264_267Only) {
  struct Case {
    int kind;
    uint32_t id;
    int32_t value;
    int result;
    DeliveryOptionsState after;  // from "7", "01:00", "05:00"
  } cases[] = {
      {kFieldInteger, 263, 12345, 1, {"12345", "01:00", "05:00"}},  // longer than typing allows, kept whole
      {kFieldInteger, 263, 0, 1, {"7", "01:00", "05:00"}},
      {kFieldInteger, 264, 90, 1, {"7", "01:30", "05:00"}},
      {kFieldInteger, 264, 0, 1, {"7", "01:00", "05:00"}},
      {kFieldInteger, 267, 0, 1, {"7", "01:00", "00:00"}},
      {kFieldInteger, 267, 6000, 1, {"7", "01:00", "99:59"}},
      {kFieldText, 263, 0, 0, {"7", "01:00", "05:00"}},
      {kFieldGroup, 267, 0, 0, {"7", "01:00", "05:00"}},
      {kFieldInteger, 265, 1, 0, {"7", "01:00", "05:00"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.id) + " kind " + std::to_string(c.kind) + " value " + std::to_string(c.value));
    DeliveryOptionsModel page = PageWith("7", "01:00", "05:00");
    const uint8_t text[] = {'1', 0};
    const bool integer = c.kind == kFieldInteger;
    EXPECT_EQ(page.LoadFromConfig(c.kind, c.id, c.value, integer ? nullptr : text, integer ? 0 : 2, 0), c.result);
    EXPECT_EQ(page.state(), c.after);
  }
}

TEST(DeliveryOptions, RoundTrip_ByteIdentical_ExceptTimesOf100Hours) {
  ConfigTree tree;
  tree.PutInt(263, 7);
  tree.PutInt(264, 135);
  tree.PutInt(267, 5999);
  const auto bytes = EncodeConfig(tree);
  DeliveryOptionsModel page;
  EXPECT_EQ(Walk(bytes, &page), 1);
  EXPECT_EQ(page.state(), (DeliveryOptionsState{"7", "02:15", "99:59"}));
  EXPECT_EQ(Store(page), bytes);

  ConfigTree long_times;
  long_times.PutInt(264, 6000);
  long_times.PutInt(267, 100000);
  DeliveryOptionsModel capped;
  EXPECT_EQ(Walk(EncodeConfig(long_times), &capped), 1);
  std::vector<IdValue> stored;
  Walk(Store(capped), nullptr, &stored);
  EXPECT_EQ(stored, (std::vector<IdValue>{{264, 5999}, {267, 5999}}));
}

}  // namespace
}  // namespace tamlo
