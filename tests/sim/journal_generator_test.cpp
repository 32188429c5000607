// The demo journal must put every decoder branch of the host in front of a
// user: each entry kind, source, format, protocol and internal event.
#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "config/byte_order.h"
#include "sim/device_settings.h"
#include "sim/journal_generator.h"
#include "sim/stored_image.h"

namespace tamlo::sim {
namespace {

TEST(JournalGenerator, RecordLayout_MatchesWorkedExample) {
  std::vector<uint8_t> j;
  AppendInternalEvent(j, 0x01020304, {0});
  EXPECT_EQ(j, (std::vector<uint8_t>{0x01, 0x0D, 0x00, 0x04, 0x03, 0x02, 0x01, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x10,
                                     0x00, 0x01, 0x00}));
  // Contact ID 1234 1 130 01 005 packs as 12 34 11 30 01 00 50.
  EXPECT_EQ(ContactIdData(0x1234, 1, 0x130, 0x01, 0x005),
            (std::vector<uint8_t>{0x12, 0x34, 0x11, 0x30, 0x01, 0x00, 0x50}));
}

TEST(JournalGenerator, DemoJournal_CoversEveryKindSourceFormatProtocolAndEvent) {
  const uint32_t now = DeviceTimeOf(2024, 6, 1, 9, 0, 0);
  const std::vector<uint8_t> j = DemoJournal(now);
  std::set<int> kinds, sources, formats, protocols, qualifiers;
  std::set<std::pair<int, int>> events;  // (code, data length)
  std::set<std::pair<int, int>> flags;   // (code, d1) for the events with flag bits
  size_t pos = 0;
  while (pos + 3 <= j.size()) {
    const size_t n = j[pos + 1] | j[pos + 2] << 8;
    ASSERT_LE(pos + 3 + n, j.size());
    const uint8_t* p = &j[pos + 3];
    kinds.insert(j[pos]);
    if (j[pos] <= 1) {
      ASSERT_GE(n, 12u);
      const size_t l = p[11];
      ASSERT_LE(12 + l, n);
      EXPECT_LE(ReadLe32(p), now);
      sources.insert(p[9]);
      formats.insert(p[10]);
      protocols.insert(p[8] >= 0xFE ? p[8] : p[8] >> 4);
      if (p[10] == kInternalEvent) {
        events.insert({p[12], int(l)});
        if (l >= 2 && (p[12] == 4 || p[12] == 5 || p[12] == 7 || p[12] == 8)) flags.insert({p[12], p[13]});
      }
      if (p[10] == kContactId) qualifiers.insert(p[14] >> 4);
    }
    pos += 3 + n;
  }
  EXPECT_EQ(pos, j.size());
  for (int k : {0, 1, 3, 2}) EXPECT_TRUE(kinds.count(k)) << "kind " << k;
  for (int s : {0, 1, 2, 3, 16, 17, 5}) EXPECT_TRUE(sources.count(s)) << "source " << s;
  for (int f : {0, 1, 2, 7}) EXPECT_TRUE(formats.count(f)) << "format " << f;
  for (int p = 0; p <= 10; ++p) EXPECT_TRUE(protocols.count(p)) << "protocol " << p;
  EXPECT_TRUE(protocols.count(0xFE));
  EXPECT_TRUE(protocols.count(0xFF));
  EXPECT_EQ(qualifiers, (std::set<int>{1, 3}));
  const std::pair<int, int> expected_events[] = {{0, 1}, {1, 5}, {1, 1}, {2, 1}, {3, 1}, {5, 3},
                                                 {6, 5}, {8, 2}, {16, 2}, {17, 2}, {18, 1}, {9, 4}};
  for (const auto& e : expected_events) EXPECT_TRUE(events.count(e)) << e.first << "/" << e.second;
  // Connection both ways, locally and remotely; direction chosen with and
  // without SIM; calls from the control phone and unknown numbers, voice and
  // data; a key written and one deleted.
  for (int d1 : {0x00, 0x01, 0x80, 0x81}) EXPECT_TRUE(flags.count({4, d1})) << d1;
  EXPECT_TRUE(flags.count({5, 0xFF}));
  EXPECT_TRUE(flags.count({5, 0}) && flags.count({5, 1}));
  for (int d1 : {0x00, 0x80, 0x81}) EXPECT_TRUE(flags.count({7, d1})) << d1;
  EXPECT_TRUE(flags.count({8, 0x80}) && flags.count({8, 0x01}));
}

TEST(JournalGenerator, ClearQueuedRecords_MarksThemDeletedAndProcessed) {
  std::vector<uint8_t> j;
  JournalRecord queued;
  queued.kind = kQueued;
  queued.direction = 0x31;
  queued.format = kContactId;
  queued.data = ContactIdData(0x42, 1, 0x130, 0, 1);
  AppendRecord(j, queued);
  AppendRawEntry(j, kQueued, {1, 2});  // too short to be a record: left alone
  AppendInternalEvent(j, 5, {0});
  std::vector<uint8_t> expected = j;
  EXPECT_EQ(ClearQueuedRecords(j), 1);
  expected[0] = kProcessed;
  expected[3 + 8] = kDirectionDeleted;
  EXPECT_EQ(j, expected);
}

}  // namespace
}  // namespace tamlo::sim
