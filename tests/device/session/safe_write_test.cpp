// The configuration write's steps with a scripted front end: what stops the
// write, what is kept in the history, what the firmware lacks, the read back.
#include "device/session/safe_write.h"

#include <gtest/gtest.h>

#include <set>

#include "config/config_tree.h"
#include "config/tagged_encoding.h"
#include "device/device_window_rig.h"
#include "tests/support/join_bytes.h"

namespace tamlo::device::testing {
namespace {

std::vector<uint8_t> ImageOf(int32_t value) {
  ConfigTree tree;
  tree.PutInt(5, value);
  const std::vector<uint8_t> data = EncodeConfig(tree);
  return tamlo::testing::JoinBytes(ConfigImageHeader::For(data.data(), data.size()).Serialize(), data);
}

// The device behind the front end: it holds `image` and answers each action
// unless the action is in `fails`.
class ScriptedFrontEnd final : public SafeWriteFrontEnd {
 public:
  std::set<unsigned> fails;
  std::vector<uint8_t> image = ImageOf(1);
  bool no_configuration = false;
  bool stores_before_failing = false;  // a failed CONFIG_WRITE had stored its image
  std::string serial;
  uint32_t firmware = 0;
  std::vector<unsigned> actions;
  std::vector<std::string> log;
  std::optional<BackupStop> stop;
  std::string reason;

  bool RunAction(unsigned action, const link::ActionInput& input) override {
    actions.push_back(action);
    m_received.clear();
    const bool fail = fails.count(action) != 0;
    if (action == link::CONFIG_WRITE) {
      m_stored = !fail || stores_before_failing;
      if (m_stored) image.assign(input.data, input.data + input.length);
    }
    m_no_configuration = action == link::CONFIG_READ && input.no_configuration_ok && no_configuration;
    if (fail) return false;
    if (action == link::CONFIG_READ && !m_no_configuration) m_received = image;
    return true;
  }
  const std::vector<uint8_t>& ReceivedBytes() const override { return m_received; }
  std::string ReportedSerialNumber() const override { return serial; }
  bool FoundNoConfiguration() const override { return m_no_configuration; }
  bool ImageStored() const override { return m_stored; }
  uint32_t FirmwareVersionNumber() const override { return firmware; }
  void LogLine(const std::string& text) override { log.push_back(text); }
  void BackupStopped(BackupStop why, const std::string& text) override {
    stop = why;
    reason = text;
  }

 private:
  std::vector<uint8_t> m_received;
  bool m_no_configuration = false;
  bool m_stored = false;
};

// The configuration write: the safe write's steps, then, once the device
// holds the image, the noted settings the reported firmware lacks, checked in
// the log with one warning and listed.
TEST(WriteConfiguration, BackupStopsTheWriteOrKeepsTheImage_WrittenImageKeptOnceStored_ThenLacksListed) {
  ClearNotedSettings();
  NoteSetting("Протокол Kam-Net/LAN", 306);
  NoteSetting("Шифрование", 311);
  const std::vector<NotedSetting> lacking = {{"Шифрование", 311}};
  std::vector<uint8_t> foreign = ImageOf(1);
  foreign[0] = 'X';
  const struct Case {
    const char* name;
    std::set<unsigned> fails;
    std::vector<uint8_t> device;  // empty: no configuration
    bool backup;
    bool history_fails;
    bool stores_before_failing;
    std::optional<BackupStop> stop;
    const char* reason;
    WriteOutcome outcome;
    std::vector<std::string> kept;  // the device folder's files, by kind
  } cases[] = {
      {"backup, then the write", {}, ImageOf(1), true, false, false, {}, "", WriteOutcome::Written,
       {"read", "written"}},
      {"identification fails", {link::SERIAL_READ}, ImageOf(1), true, false, false, BackupStop::ReadFailed,
       "Не удалось прочитать конфигурацию из прибора для резервной копии", WriteOutcome::NotWritten, {}},
      {"read fails", {link::CONFIG_READ}, ImageOf(1), true, false, false, BackupStop::ReadFailed,
       "Не удалось прочитать конфигурацию из прибора для резервной копии", WriteOutcome::NotWritten, {}},
      {"no configuration image", {}, foreign, true, false, false, BackupStop::NotAConfiguration,
       "Резервная копия не сохранена: Прочитанные данные не являются конфигурацией Tamlo",
       WriteOutcome::NotWritten, {}},
      {"history not writable", {}, ImageOf(1), true, true, false, BackupStop::NotKept,
       "Не удалось сохранить резервную копию в /data/history (No space left on device)", WriteOutcome::NotWritten,
       {}},
      {"device without configuration", {}, {}, true, false, false, {}, "", WriteOutcome::Written, {"written"}},
      {"no backup: no read", {link::CONFIG_READ}, ImageOf(1), false, false, false, {}, "", WriteOutcome::Written, {}},
      {"step after the image fails", {link::CONFIG_WRITE}, ImageOf(1), true, false, true, {}, "",
       WriteOutcome::StoredStepFailed, {"read", "written"}},
      {"write fails", {link::CONFIG_WRITE}, ImageOf(1), true, false, false, {}, "", WriteOutcome::NotWritten,
       {"read"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedFrontEnd front;
    front.firmware = 306;
    front.fails = c.fails;
    front.image = c.device;
    front.no_configuration = c.device.empty();
    front.stores_before_failing = c.stores_before_failing;
    MemoryHistoryFolder folder;
    folder.fail_writes = c.history_fails;
    ConfigHistory history(folder, kHistoryRoot);
    const std::vector<uint8_t> image = ImageOf(2);
    ScriptedDialogs dialogs;
    const ConfigWriteResult result = WriteConfiguration(front, image, c.backup ? &history : nullptr, "COM3", dialogs);
    const bool held = c.outcome != WriteOutcome::NotWritten;
    EXPECT_EQ(result.unsupported, held ? lacking : std::vector<NotedSetting>{});
    EXPECT_EQ(dialogs.boxes.size(), held ? 1u : 0u);
    EXPECT_EQ(std::count(front.log.begin(), front.log.end(), "Шифрование: 3.11"), held ? 1 : 0);
    EXPECT_EQ(front.stop, c.stop);
    EXPECT_EQ(front.reason, c.reason);
    EXPECT_EQ(result.outcome, c.outcome);
    // Nothing is written after a stopped backup.
    EXPECT_EQ(front.image == image, c.outcome != WriteOutcome::NotWritten || c.stores_before_failing);
    std::vector<std::string> kinds;
    for (const std::string& name : folder.Names("port-COM3")) {
      kinds.push_back(name.substr(name.rfind('_') + 1, name.find('.') - name.rfind('_') - 1));
      if (kinds.back() == "read") {
        EXPECT_EQ(folder.files.at(std::string(kHistoryRoot) + "/port-COM3/" + name), c.device);
      }
      if (kinds.back() == "written") {
        ASSERT_TRUE(result.written_copy);
        EXPECT_EQ(folder.files.at(*result.written_copy), image);
      }
    }
    EXPECT_EQ(kinds, c.kept);
    EXPECT_EQ(std::count(front.log.begin(), front.log.end(), kNothingToBackUp), c.device.empty() ? 1 : 0);
  }
  ClearNotedSettings();
}

TEST(SafeWrite, ReportedSerialNumberNamesTheFolder_UnkeptWrittenCopyOnlyLogged) {
  ScriptedFrontEnd front;
  front.serial = "460123456789";
  MemoryHistoryFolder folder;
  ConfigHistory history(folder, kHistoryRoot);
  ASSERT_EQ(SafeWrite(front, ImageOf(2), &history, "COM3").outcome, WriteOutcome::Written);
  EXPECT_EQ(folder.Names("serial-460123456789").size(), 2u);
  EXPECT_EQ(front.actions, (std::vector<unsigned>{link::SERIAL_READ, link::CONFIG_READ, link::CONFIG_WRITE}));

  front.fails = {link::SERIAL_READ};  // no second identification needed: no backup
  ASSERT_EQ(SafeWrite(front, ImageOf(3), nullptr, "COM3").outcome, WriteOutcome::Written);

  front.fails = {};
  front.no_configuration = true;
  folder.fail_writes = true;
  const SafeWriteResult result = SafeWrite(front, ImageOf(4), &history, "COM3");
  EXPECT_EQ(result.outcome, WriteOutcome::Written);
  EXPECT_FALSE(result.written_copy);
  EXPECT_EQ(front.log.back(),
            "Не удалось сохранить копию записанной конфигурации в /data/history (No space left on device)");
}

TEST(VerifyWrite, ReadFails_SameData_DifferingData) {
  for (const int32_t held : {0, 2, 3}) {
    SCOPED_TRACE(held);
    ScriptedFrontEnd front;
    if (held == 0) front.fails = {link::CONFIG_READ};
    front.image = ImageOf(held);
    const Verification verified = VerifyWrite(front, ImageOf(2));
    EXPECT_EQ(verified.read, held != 0);
    EXPECT_EQ(verified.fault.has_value(), held == 3);
  }
}

}  // namespace
}  // namespace tamlo::device::testing
