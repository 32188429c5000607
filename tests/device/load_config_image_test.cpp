// Every check of a configuration image read from a device.
#include "device/load_config_image.h"

#include <gtest/gtest.h>

#include <functional>

#include "config/config_image.h"
#include "config/config_tree.h"
#include "config/tagged_encoding.h"
#include "config/test_pages.h"
#include "tests/support/join_bytes.h"

namespace tamlo::device {
namespace {

using tamlo::testing::FakePage;
using tamlo::testing::RecordingLog;
using tamlo::testing::ScriptedDialogs;

constexpr const char* kBadLength = "Некорректная длина блока конфигурации";
constexpr const char* kNotOurs = "Прочитанные данные не являются конфигурацией Tamlo";
constexpr const char* kBadHeader = "Некорректная длина данных в заголовке. Возможно, данные повреждены.";

// Two integer fields, ids 5 and 9.
std::vector<uint8_t> TwoFields() {
  ConfigTree tree;
  tree.PutInt(5, 7);
  tree.PutInt(9, 3);
  return EncodeConfig(tree);
}

std::vector<uint8_t> Image(const std::vector<uint8_t>& data, const std::function<void(ConfigImageHeader&)>& edit = {}) {
  ConfigImageHeader header = ConfigImageHeader::For(data.data(), data.size());
  if (edit) edit(header);
  return tamlo::testing::JoinBytes(header.Serialize(), data);
}

TEST(LoadConfigImage, ChecksInOrder_EachWithItsMessage) {
  const std::vector<uint8_t> good = Image(TwoFields());
  std::vector<uint8_t> malformed = TwoFields();
  malformed.push_back(0xFF);  // a varint that never ends
  const struct Case {
    const char* name;
    std::vector<uint8_t> image;
    bool takes_nine;
    int result;
    const char* message;   // nullptr: no box
    bool pages_reset;      // the pages were reset for the load
    size_t fields_seen;    // fields the page holds afterwards
  } cases[] = {
      {"whole image", good, true, 0, nullptr, true, 2},
      {"31 bytes", std::vector<uint8_t>(good.begin(), good.begin() + 31), true, -1, kBadLength, false, 0},
      {"no bytes", {}, true, -1, kBadLength, false, 0},
      {"wrong magic", Image(TwoFields(), [](ConfigImageHeader& h) { h.magic = 0x314D4154; }), true, -1, kNotOurs,
       false, 0},
      {"offset 8 beyond the data", Image(TwoFields(), [](ConfigImageHeader& h) { h.length += 1; }), true, -1,
       kBadHeader, false, 0},
      {"offset 16 beyond the data", Image(TwoFields(), [](ConfigImageHeader& h) { h.length2 += 1; }), true, -1,
       kBadHeader, false, 0},
      {"shorter lengths, rest ignored", Image(TwoFields(), [](ConfigImageHeader& h) { h.length = h.length2 = 2; }),
       true, 0, nullptr, true, 1},
      {"field nobody takes", good, false, -1, nullptr, true, 1},
      {"malformed after the fields", Image(malformed), true, -1, nullptr, true, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakePage page;
    page.takes = {5};
    if (c.takes_nine) page.takes.insert(9);
    PageSet pages{{&page}, {}};
    RecordingLog log;
    ScriptedDialogs dialogs;
    EXPECT_EQ(LoadConfigImage(c.image.data(), c.image.size(), pages, log, dialogs), c.result);
    EXPECT_EQ(page.resets > 0, c.pages_reset);
    EXPECT_EQ(page.seen.size(), c.fields_seen);  // what loaded before a fault stays
    EXPECT_TRUE(log.lines.empty());
    if (c.result == 0) {
      EXPECT_TRUE(dialogs.messages.empty());
      continue;
    }
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].caption, "Ошибка при чтении конфигурации");
    EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Error);
    if (c.message) {
      EXPECT_EQ(dialogs.messages[0].text, c.message);
    }
  }
}

TEST(LoadConfigImage, EmptyImage_LoadsAsDefaultsWithoutLogLine) {
  const std::vector<uint8_t> image = Image({});
  ASSERT_EQ(image.size(), 32u);
  FakePage page;
  PageSet pages{{&page}, {}};
  RecordingLog log;
  ScriptedDialogs dialogs;
  EXPECT_EQ(LoadConfigImage(image.data(), image.size(), pages, log, dialogs), 0);
  EXPECT_EQ(page.resets, 1);
  EXPECT_EQ(page.after_loads, 1);
  EXPECT_TRUE(log.lines.empty());
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST(LoadConfigImage, DeviceNumberOrTime_LogsWhenTheDeviceStoredIt) {
  const struct {
    uint32_t number, time;
    const char* line;
  } cases[] = {
      {17, 31622399, "Конфигурация была записана 31.12.12 23:59:59 (по часам устройства), внутренний номер 17"},
      {0, 31622400, "Конфигурация была записана 01.01.13 00:00:00 (по часам устройства), внутренний номер 0"},
      {4, 0, "Конфигурация была записана 01.01.12 00:00:00 (по часам устройства), внутренний номер 4"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    const std::vector<uint8_t> image = Image({}, [&](ConfigImageHeader& h) {
      h.device_number = c.number;
      h.device_time = c.time;
    });
    FakePage page;
    PageSet pages{{&page}, {}};
    RecordingLog log;
    ScriptedDialogs dialogs;
    EXPECT_EQ(LoadConfigImage(image.data(), image.size(), pages, log, dialogs), 0);
    EXPECT_EQ(log.lines, std::vector<std::string>{c.line});
  }
}

}  // namespace
}  // namespace tamlo::device
