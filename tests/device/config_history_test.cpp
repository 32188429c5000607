// The configuration history's naming, its refusal to overwrite and its
// depth, over the in-memory folder of the device window rig.
#include "device/config_history.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "device/device_window_rig.h"

namespace tamlo::device::testing {
namespace {

const std::vector<uint8_t> kImage = {'T', 'A', 'M', '0', 1, 2, 3};

TEST(ConfigHistory, NamesSortByTimeThenByOrderKept) {
  // Times out of order, two within one second, years and months of one and
  // two digits: the sorted names must come out in time order.
  const UtcDateTime times[] = {
      {2027, 1, 2, 3, 4, 5}, {2026, 12, 8, 17, 48, 2}, {2026, 12, 8, 17, 48, 2}, {2026, 9, 30, 23, 59, 59},
      {2026, 12, 8, 9, 0, 0},
  };
  MemoryHistoryFolder folder;
  folder.tick = false;
  ConfigHistory history(folder, kHistoryRoot);
  std::vector<std::string> kept;
  for (const UtcDateTime& t : times) {
    folder.now = t;
    const std::optional<std::string> path = history.Keep("port-COM3", kept.size() == 1 ? "read" : "written", kImage);
    ASSERT_TRUE(path);
    kept.push_back(path->substr(path->rfind('/') + 1));
  }
  EXPECT_EQ(kept[1], "2026-12-08_17-48-02_001_read.tamlo");
  EXPECT_EQ(kept[2], "2026-12-08_17-48-02_002_written.tamlo");
  EXPECT_EQ(history.List("port-COM3"),
            (std::vector<std::string>{kept[3], kept[4], kept[1], kept[2], kept[0]}));
}

TEST(ConfigHistory, OnlyHistoryNamesCount) {
  const struct Case {
    const char* name;
    std::optional<unsigned> sequence;
  } cases[] = {
      {"2026-12-08_17-48-02_001_read.tamlo", 1u},
      {"2026-12-08_17-48-02_123_written.tamlo", 123u},
      {"2026-12-08_17-48-02_001_.tamlo", std::nullopt},       // no kind
      {"2026-12-08_17-48-02_001_read.tamlo~", std::nullopt},  // an editor's copy
      {"2026-12-08_17-48-02_01_read.tamlo", std::nullopt},
      {"2026-12-08 17-48-02_001_read.tamlo", std::nullopt},
      {"site.tamlo", std::nullopt},
      {"", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(HistorySequence(c.name), c.sequence);
  }
}

TEST(ConfigHistory, DeviceFolderBySerialNumberElseByPort) {
  const struct Case {
    const char* serial;
    const char* port;
    const char* folder;
  } cases[] = {
      {"460123456789", "/dev/ttyUSB0", "serial-460123456789"},
      {"", "/dev/ttyUSB0", "port-ttyUSB0"},
      {"", "COM3", "port-COM3"},
      {"", "/tmp/link/tty", "port-tty"},
      {"", "Демо-прибор", "port-Демо-прибор"},
      {"", "+79001234567", "port-_79001234567"},  // a dialled number
      {"../..", "COM3", "serial-.._.."},  // never a way out of the root
      {"", "..", "port-.."},
      {"", "/", "port-_"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.folder);
    EXPECT_EQ(DeviceFolderName(c.serial, c.port), c.folder);
  }
  // Names too long for a file system: cut, never inside a letter, and told
  // apart by the checksum of the whole name.
  const std::string serial(250, '7');
  const std::string cut = DeviceFolderName(serial, "COM3");
  EXPECT_LE(cut.size(), kMaxDeviceFolderName);
  EXPECT_EQ(cut.rfind("serial-777", 0), 0u) << cut;
  EXPECT_NE(DeviceFolderName(serial + "8", "COM3"), cut);
  std::string letters;
  for (int i = 0; i < 100; ++i) letters += "ж";
  const std::string port = DeviceFolderName("", "/dev/" + letters);
  EXPECT_LE(port.size(), kMaxDeviceFolderName);
  EXPECT_EQ((port.size() - std::string("port--12345678").size()) % 2, 0u) << port;
}

TEST(ConfigHistory, NeverOverwrites_TakenNameGetsTheNextNumber) {
  MemoryHistoryFolder folder;
  folder.tick = false;
  ConfigHistory history(folder, kHistoryRoot);
  const std::string dir = std::string(kHistoryRoot) + "/port-COM3/";
  // Another program created the first name between the listing and the write.
  folder.taken = {dir + "2026-12-08_17-48-02_001_read.tamlo"};
  EXPECT_EQ(history.Keep("port-COM3", "read", kImage), dir + "2026-12-08_17-48-02_002_read.tamlo");
  EXPECT_EQ(folder.files.at(dir + "2026-12-08_17-48-02_001_read.tamlo"), std::vector<uint8_t>{0xEE});
  // Same second again: past the highest number there, never onto it.
  EXPECT_EQ(history.Keep("port-COM3", "read", {9}), dir + "2026-12-08_17-48-02_003_read.tamlo");
  EXPECT_EQ(folder.files.at(dir + "2026-12-08_17-48-02_002_read.tamlo"), kImage);
}

TEST(ConfigHistory, FiftyNewestKept_ForeignFilesLeftAlone) {
  MemoryHistoryFolder folder;
  ConfigHistory history(folder, kHistoryRoot);
  const std::string dir = std::string(kHistoryRoot) + "/port-COM3/";
  folder.files[dir + "notes.txt"] = {1};
  folder.files[std::string(kHistoryRoot) + "/port-COM4/2000-01-01_00-00-00_001_read.tamlo"] = {1};
  std::vector<std::string> kept;
  for (uint8_t i = 0; i < kHistoryDepth; ++i) kept.push_back(*history.Keep("port-COM3", "read", {i}));
  EXPECT_EQ(history.List("port-COM3").size(), kHistoryDepth);
  const std::string newest = *history.Keep("port-COM3", "read", {51});  // the 51st
  const std::vector<std::string> names = history.List("port-COM3");
  ASSERT_EQ(names.size(), kHistoryDepth);
  EXPECT_EQ(folder.files.count(kept.front()), 0u);  // the oldest went
  EXPECT_EQ(dir + names.front(), kept[1]);
  EXPECT_EQ(dir + names.back(), newest);
  EXPECT_EQ(folder.files.count(dir + "notes.txt"), 1u);
  EXPECT_EQ(folder.files.count(std::string(kHistoryRoot) + "/port-COM4/2000-01-01_00-00-00_001_read.tamlo"), 1u);
}

TEST(ConfigHistory, FilesJustKeptStay_WhenOlderNamesSortAfterThem) {
  MemoryHistoryFolder folder;
  ConfigHistory history(folder, kHistoryRoot);
  const std::string dir = std::string(kHistoryRoot) + "/port-COM3/";
  folder.now = {2030, 1, 1, 0, 0, 0};  // kept while the PC clock was ahead
  for (uint8_t i = 0; i < kHistoryDepth; ++i) ASSERT_TRUE(history.Keep("port-COM3", "read", {i}));
  folder.now = {2026, 12, 8, 17, 48, 2};
  folder.tick = false;
  const std::optional<std::string> read = history.Keep("port-COM3", "read", kImage);
  const std::optional<std::string> written = history.Keep("port-COM3", "written", kImage);
  ASSERT_TRUE(read && written);
  EXPECT_EQ(*written, dir + "2026-12-08_17-48-02_002_written.tamlo");
  EXPECT_EQ(folder.files.count(*read), 1u);
  EXPECT_EQ(folder.files.count(*written), 1u);
  const std::vector<std::string> names = history.List("port-COM3");
  ASSERT_EQ(names.size(), kHistoryDepth);
  EXPECT_EQ(names[2], "2030-01-01_00-00-02_001_read.tamlo");  // the two first of the others went
}

TEST(ConfigHistory, FailedWriteOrFolder_NothingKeptNothingDropped) {
  for (const bool folder_fails : {false, true}) {
    SCOPED_TRACE(folder_fails ? "folder" : "write");
    MemoryHistoryFolder folder;
    ConfigHistory history(folder, kHistoryRoot);
    for (uint8_t i = 0; i < kHistoryDepth; ++i) ASSERT_TRUE(history.Keep("port-COM3", "read", {i}));
    (folder_fails ? folder.fail_folders : folder.fail_writes) = true;
    EXPECT_FALSE(history.Keep("port-COM3", "read", kImage));
    EXPECT_EQ(folder.files.size(), kHistoryDepth);
  }
}

}  // namespace
}  // namespace tamlo::device::testing
