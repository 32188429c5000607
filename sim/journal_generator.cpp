#include "sim/journal_generator.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "config/byte_order.h"
#include "sim/stored_image.h"

namespace tamlo::sim {
namespace {


uint8_t Bcd(uint16_t value, int digit) { return uint8_t((value >> (4 * digit)) & 0x0F); }

std::vector<uint8_t> CallData(uint8_t flags, const std::string& number) {
  std::vector<uint8_t> d(2 + number.size());
  d[0] = 7;
  d[1] = flags;
  std::copy(number.begin(), number.end(), d.begin() + 2);
  return d;
}

}  // namespace

void AppendRawEntry(std::vector<uint8_t>& journal, uint8_t kind, const std::vector<uint8_t>& payload) {
  journal.push_back(kind);
  AppendLe16(journal, uint16_t(payload.size()));
  journal.insert(journal.end(), payload.begin(), payload.end());
}

void AppendRecord(std::vector<uint8_t>& journal, const JournalRecord& r) {
  std::vector<uint8_t> p;
  AppendLe32(p, r.received);
  AppendLe32(p, r.sent);
  p.push_back(r.direction);
  p.push_back(r.source);
  p.push_back(r.format);
  p.push_back(uint8_t(r.data.size()));
  p.insert(p.end(), r.data.begin(), r.data.end());
  AppendRawEntry(journal, r.kind, p);
}

void AppendInternalEvent(std::vector<uint8_t>& journal, uint32_t time, std::initializer_list<uint8_t> data) {
  JournalRecord r;
  r.received = time;
  r.data.assign(data);
  AppendRecord(journal, r);
}

std::vector<uint8_t> ContactIdData(uint16_t account, uint8_t qualifier, uint16_t code, uint8_t group,
                                   uint16_t zone) {
  // Account and zone are given as hexadecimal digit strings (0x1234 = "1234").
  return {uint8_t(account >> 8),
          uint8_t(account),
          uint8_t(qualifier << 4 | Bcd(code, 2)),
          uint8_t(Bcd(code, 1) << 4 | Bcd(code, 0)),
          group,
          uint8_t(Bcd(zone, 2) << 4 | Bcd(zone, 1)),
          uint8_t(Bcd(zone, 0) << 4)};
}

std::vector<uint8_t> DemoJournal(uint32_t now) {
  std::vector<uint8_t> j;
  uint32_t t = now > 86400 ? now - 86400 : 0;  // a day of history
  auto next = [&t](uint32_t step) { return t += step; };

  AppendInternalEvent(j, next(0), {0});                                                  // switched on
  AppendInternalEvent(j, next(5), {1, uint8_t(t), uint8_t(t >> 8), uint8_t(t >> 16), uint8_t(t >> 24)});
  AppendInternalEvent(j, next(1), {1});                                                  // clock set failed
  AppendInternalEvent(j, next(60), {4, 0x01});                                           // connected, locally
  AppendInternalEvent(j, next(30), {2});                                                 // new configuration
  AppendInternalEvent(j, next(2), {8, 0x80});                                            // key 1 written
  AppendInternalEvent(j, next(1), {8, 0x01});                                            // key 2 deleted
  AppendInternalEvent(j, next(1), {4, 0x00});                                            // disconnected, locally
  AppendInternalEvent(j, next(300), {4, 0x81});                                          // connected, remotely
  AppendInternalEvent(j, next(40), {4, 0x80});                                           // disconnected, remotely
  AppendInternalEvent(j, next(10), {3});                                                 // queue cleared

  // One Contact ID notification per protocol, each on its own direction
  // number, from every source: inputs, the device itself and the relay.
  const uint8_t sources[] = {0, 1, 2, 3, kSourceDevice, kSourceRelay};
  const uint16_t codes[] = {0x130, 0x131, 0x110, 0x301, 0x602, 0x401, 0x570, 0x137, 0x344, 0x300};
  for (uint8_t protocol = 0; protocol < 10; ++protocol) {
    JournalRecord r;
    r.received = next(37);
    r.sent = t + 3 + protocol;
    r.direction = uint8_t(protocol << 4 | (protocol % 6));
    r.source = sources[protocol % 6];
    r.format = kContactId;
    r.data = ContactIdData(0x1234, protocol % 3 == 2 ? 3 : 1, codes[protocol], 0x01,
                           uint16_t(r.source < 4 ? r.source + 1 : 0));
    AppendRecord(j, r);
    AppendInternalEvent(j, next(1), {5, uint8_t(protocol & 1), r.direction});  // direction chosen on SIMx
  }
  AppendInternalEvent(j, next(1), {5, 0xFF, 0x62});  // LAN direction: no SIM

  // Periodic test, a protocol index without a name and an unknown source.
  JournalRecord autotest;
  autotest.received = next(3600);
  autotest.sent = t + 2;
  autotest.direction = 0x00;
  autotest.format = kAutotest;
  autotest.data = {0x12, 0x34, 0x16, 0x02};
  AppendRecord(j, autotest);
  JournalRecord future = autotest;
  future.received = next(10);
  future.direction = 0xA5;
  future.source = 5;
  future.format = 7;
  future.data = {0xDE, 0xAD};
  AppendRecord(j, future);

  // GSM trouble: SIM failures, switch-over, both down, calls while it lasted.
  AppendInternalEvent(j, next(120), {16, 0});                  // SIM1 failed
  AppendInternalEvent(j, next(1), {17, 1});                    // switched to SIM2
  AppendInternalEvent(j, next(90), {16, 1});                   // SIM2 failed
  AppendInternalEvent(j, next(1), {18});                       // both failed, GSM stopped
  AppendInternalEvent(j, next(1), {6, 0x2C, 0x01, 0, 0});      // all directions failed, 5 min pause
  {
    const std::string control = "+79161234567";
    const std::vector<uint8_t> d1 = CallData(0x81, control);   // control phone, data call
    const std::vector<uint8_t> d2 = CallData(0x00, "84951112233");
    const std::vector<uint8_t> d3 = CallData(0x80, "");        // control phone, voice, no number
    for (const auto* d : {&d1, &d2, &d3}) {
      JournalRecord r;
      r.received = next(20);
      r.data = *d;
      AppendRecord(j, r);
    }
  }
  AppendInternalEvent(j, next(5), {9, 1, 2, 3});  // an event this host does not know

  // Notifications still waiting in the queue, one of them deleted, and the
  // entries a device writes when a record could not be stored.
  for (int i = 0; i < 3; ++i) {
    JournalRecord r;
    r.kind = kQueued;
    r.received = next(15);
    r.direction = i == 2 ? kDirectionDeleted : uint8_t(0x30 | i);
    r.source = uint8_t(i);
    r.format = kContactId;
    r.data = ContactIdData(0x0042, 1, 0x130, 0x00, uint16_t(i + 1));
    AppendRecord(j, r);
  }
  AppendRawEntry(j, kInvalidRecord, {});
  AppendRawEntry(j, kInvalidRecord, {0xFF, 0xFF, 0xFF});
  AppendRawEntry(j, 2, {0x01, 0x02});
  AppendRawEntry(j, 7, {});
  return j;
}

int ClearQueuedRecords(std::vector<uint8_t>& journal) {
  int cleared = 0;
  size_t pos = 0;
  while (pos + 3 <= journal.size()) {
    const size_t n = ReadLe16(&journal[pos + 1]);
    if (pos + 3 + n > journal.size()) break;
    if (journal[pos] == kQueued && n >= 12) {
      journal[pos] = kProcessed;
      journal[pos + 3 + 8] = kDirectionDeleted;
      ++cleared;
    }
    pos += 3 + n;
  }
  return cleared;
}

}  // namespace tamlo::sim
