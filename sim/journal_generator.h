#pragma once
// The device's event journal: entries back to back, each
//   u8 kind (0 queued, 1 processed, 3 invalid record), u16 payload length N,
//   N payload bytes.
// A record payload: u32 received time, u32 sent time (0xFFFFFFFF: none),
// u8 direction (0xFE deleted, 0xFF none, else protocol << 4 | direction - 1),
// u8 source (0-3 inputs, 16 device, 17 relay), u8 format (0 internal event,
// 1 Contact ID, 2 autotest), u8 data length L, L data bytes.
//
// Example: the device switched on at device time 0x01020304, processed:
//   01 0D 00  04 03 02 01  FF FF FF FF  FF 10 00 01  00
#include <cstdint>
#include <initializer_list>
#include <vector>

namespace tamlo::sim {

inline constexpr uint32_t kNoTime = 0xFFFFFFFF;
inline constexpr uint8_t kDirectionDeleted = 0xFE;
inline constexpr uint8_t kNoDirection = 0xFF;
inline constexpr uint8_t kSourceDevice = 16;
inline constexpr uint8_t kSourceRelay = 17;

enum JournalEntryKind : uint8_t { kQueued = 0, kProcessed = 1, kInvalidRecord = 3 };
enum JournalFormat : uint8_t { kInternalEvent = 0, kContactId = 1, kAutotest = 2 };

struct JournalRecord {
  uint8_t kind = kProcessed;
  uint32_t received = kNoTime;
  uint32_t sent = kNoTime;
  uint8_t direction = kNoDirection;
  uint8_t source = kSourceDevice;
  uint8_t format = kInternalEvent;
  std::vector<uint8_t> data;
};

void AppendRecord(std::vector<uint8_t>& journal, const JournalRecord& record);
// An entry with a payload of any shape (invalid records, unknown kinds).
void AppendRawEntry(std::vector<uint8_t>& journal, uint8_t kind, const std::vector<uint8_t>& payload);
// A processed internal event of the device at `time`.
void AppendInternalEvent(std::vector<uint8_t>& journal, uint32_t time, std::initializer_list<uint8_t> data);

// Contact ID data: account, qualifier (1 new, 3 restore), event code
// (three hexadecimal digits), group, zone; packed as the receivers see it.
std::vector<uint8_t> ContactIdData(uint16_t account, uint8_t qualifier, uint16_t code, uint8_t group,
                                   uint16_t zone);

// A demo journal ending shortly before `now`: every entry kind, source,
// format, protocol and internal event the device writes, including unknown
// values a newer firmware might add, so every branch of the host's decoder
// is exercised.
std::vector<uint8_t> DemoJournal(uint32_t now);

// Marks every queued record deleted and processed (the device's queue
// clearing); other entries stay as they are. Returns how many were cleared.
int ClearQueuedRecords(std::vector<uint8_t>& journal);

}  // namespace tamlo::sim
