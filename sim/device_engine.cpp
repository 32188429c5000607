#include "sim/device_engine.h"

#include <algorithm>
#include <cstring>

#include "config/byte_order.h"
#include "sim/journal_generator.h"
#include "sim/stored_image.h"

namespace tamlo::sim {
namespace {

constexpr uint32_t kDaysBeforeMonth[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};

Block Refuse(uint8_t code) { return Block{0, code, {}}; }
Block Accept(std::vector<uint8_t> payload = {}) { return Block{0, kAnsOk, std::move(payload)}; }


// A level drifting up and down between lo and hi over `period_ms`.
uint8_t Triangle(uint64_t now_ms, uint64_t period_ms, int lo, int hi) {
  const uint64_t phase = now_ms % period_ms;
  const uint64_t half = period_ms / 2;
  const uint64_t up = phase < half ? phase : period_ms - phase;
  return uint8_t(lo + int(up * uint64_t(hi - lo) / half));
}

}  // namespace

uint32_t DeviceTimeOf(int year, int month, int day, int hour, int minute, int second) {
  const uint32_t y = uint32_t(year - 2012);
  uint32_t days = y * 365 + (y + 3) / 4 + kDaysBeforeMonth[month - 1] + uint32_t(day - 1);
  if (month > 2 && year % 4 == 0) ++days;
  return days * 86400u + uint32_t(hour) * 3600u + uint32_t(minute) * 60u + uint32_t(second);
}

DeviceEngine::DeviceEngine(DeviceSettings settings)
    : m_settings(std::move(settings)), m_keys(m_settings.key_slots) {
  m_image = m_settings.image.empty() ? FactoryImage() : m_settings.image;
  m_clock_base = m_settings.device_time;
  if (m_settings.journal) {
    m_journal = *m_settings.journal;
    m_journal_live = false;
  } else {
    m_journal = DemoJournal(m_clock_base);
    LogEvent(0, {0});
  }
}

uint32_t DeviceEngine::DeviceTime(uint64_t now_ms) const {
  return m_clock_base + uint32_t(now_ms > m_clock_set_ms ? (now_ms - m_clock_set_ms) / 1000 : 0);
}

void DeviceEngine::LogEvent(uint64_t now_ms, std::initializer_list<uint8_t> data) {
  if (m_journal_live) AppendInternalEvent(m_journal, DeviceTime(now_ms), data);
}

std::vector<uint8_t> DeviceEngine::GsmStatus(uint64_t now_ms) const {
  const bool sim2_lost = now_ms % 60000 >= 40000 && now_ms % 60000 < 50000;
  return {2,
          0,
          0x80 | 33,
          Triangle(now_ms, 20000, 12, 27),
          uint8_t(sim2_lost ? 32 : 33),
          uint8_t(sim2_lost ? 99 : Triangle(now_ms, 33000, 5, 20))};
}

Block DeviceEngine::Handle(uint16_t number, uint8_t command, const uint8_t* payload, size_t size,
                           uint64_t now_ms) {
  if (number == 0 && command == kCmdConnect) {
    if (size < 8) return Block{0, kAnsBadParameters, {}};
    std::vector<uint8_t> answer;
    AppendLe32(answer, ~ReadLe32(payload));
    AppendLe16(answer, m_settings.size_a);
    AppendLe16(answer, m_settings.size_b);
    m_connected = true;
    m_authorized = m_settings.password.empty();
    m_have_last = false;
    m_transfer = Transfer::kNone;
    ++m_handshakes;
    return Block{0, kAnsOk, std::move(answer)};
  }
  if (m_have_last && number == m_last_number) return m_last_answer;

  Block answer;
  if (!m_connected) {
    answer = Refuse(kAnsReconnect);
  } else if (size > m_settings.size_b) {
    answer = Refuse(kAnsBadParameters);
  } else if (!m_authorized && command != kCmdGetVersion && command != kCmdPassword) {
    answer = Refuse(kAnsBadPassword);
  } else {
    answer = Execute(command, payload, size, now_ms);
  }
  answer.number = number;
  // A reboot ends the session; its answer is not kept for a retransmission
  // (the rebooted device answers 0x81 to anything anyway).
  if (m_connected) {
    m_have_last = true;
    m_last_number = number;
    m_last_answer = answer;
  }
  return answer;
}

Block DeviceEngine::Execute(uint8_t command, const uint8_t* payload, size_t size, uint64_t now_ms) {
  if (command != kCmdConfigWriteChunk && m_transfer == Transfer::kConfigWrite) m_transfer = Transfer::kNone;
  const bool old = m_settings.old_firmware;
  switch (command) {
    case kCmdGetVersion:
      return Accept(std::vector<uint8_t>(m_settings.identification.begin(), m_settings.identification.end()));

    case kCmdPassword:
      // A device without a password takes any; a wrong one locks the session again.
      if (!m_settings.password.empty() &&
          std::string(reinterpret_cast<const char*>(payload), size) != m_settings.password) {
        m_authorized = false;
        return Refuse(kAnsBadPassword);
      }
      m_authorized = true;
      return Accept();

    case kCmdConfigReadBegin:
    case kCmdJournalReadBegin: {
      const bool journal = command == kCmdJournalReadBegin;
      if (!journal && m_image.size() < kImageHeaderSize) return Refuse(kAnsNoConfiguration);
      m_transfer = journal ? Transfer::kJournalRead : Transfer::kConfigRead;
      m_transfer_bytes = journal ? m_journal : m_image;
      m_transfer_pos = 0;
      std::vector<uint8_t> answer;
      uint32_t length = uint32_t(m_transfer_bytes.size());
      if (journal && m_settings.announced_journal_length) length = *m_settings.announced_journal_length;
      AppendLe32(answer, length);
      return Accept(std::move(answer));
    }
    case kCmdConfigReadChunk:
      return ReadChunk(false);
    case kCmdJournalReadChunk:
      return ReadChunk(true);

    case kCmdGsmStatus:
      return Accept(GsmStatus(now_ms));

    case kCmdConfigWriteBegin: {
      uint32_t length = 0;
      if (size != kImageHeaderSize) return Refuse(kAnsBadParameters);
      if (!ImageDataLength(payload, length) || ReadLe32(payload + 16) != length) return Refuse(kAnsBadHeader);
      if (uint64_t(length) + kImageHeaderSize > m_settings.image_capacity) return Refuse(kAnsTooLarge);
      m_transfer = Transfer::kConfigWrite;
      m_transfer_bytes.clear();
      std::memcpy(m_write_header.data(), payload, kImageHeaderSize);
      m_write_expected = kImageHeaderSize + length;
      std::vector<uint8_t> answer;
      AppendLe16(answer, m_settings.write_chunk);
      return Accept(std::move(answer));
    }
    case kCmdConfigWriteChunk:
      return ConfigWriteChunk(payload, size, now_ms);

    case kCmdSetTime:
      if (size < 4) return Refuse(kAnsBadParameters);
      m_clock_base = ReadLe32(payload);
      m_clock_set_ms = now_ms;
      LogEvent(now_ms, {1, payload[0], payload[1], payload[2], payload[3]});
      return Accept();

    case kCmdReboot:
      Reboot(now_ms);
      return Refuse(kAnsReconnect);

    case kCmdEnterBootloader:
      Reboot(now_ms);
      m_bootloader_requested = true;
      return Accept();

    case kCmdClearEventQueue:
      if (m_journal_live) ClearQueuedRecords(m_journal);
      LogEvent(now_ms, {3});
      return Accept();

    case kCmdSerialRead:
      if (old) return Refuse(kAnsUnknownCommand);
      return Accept(std::vector<uint8_t>(m_settings.serial_number.begin(), m_settings.serial_number.end()));

    case kCmdSerialWrite:
      if (old) return Refuse(kAnsUnknownCommand);
      if (size == 0 || size > 32) return Refuse(kAnsBadParameters);
      m_settings.serial_number.assign(reinterpret_cast<const char*>(payload), size);
      return Accept();

    case kCmdKeysStatus:
      if (old) return Refuse(kAnsUnknownCommand);
      return Accept({m_settings.key_slots, m_settings.key_mask});

    case kCmdKeyChange:
      if (old) return Refuse(kAnsUnknownCommand);
      return KeyChange(payload, size, now_ms);

    default:  // a command this firmware does not know
      return Refuse(kAnsUnknownCommand);
  }
}

Block DeviceEngine::ReadChunk(bool journal) {
  if (m_transfer != (journal ? Transfer::kJournalRead : Transfer::kConfigRead)) return Refuse(kAnsOutOfSequence);
  const size_t left = m_transfer_bytes.size() - m_transfer_pos;
  if (left == 0 && !journal) return Refuse(kAnsOutOfSequence);
  const size_t n = std::min<size_t>(left, m_settings.read_chunk);
  std::vector<uint8_t> chunk(m_transfer_bytes.begin() + ptrdiff_t(m_transfer_pos),
                             m_transfer_bytes.begin() + ptrdiff_t(m_transfer_pos + n));
  m_transfer_pos += n;
  return Accept(std::move(chunk));
}

Block DeviceEngine::ConfigWriteChunk(const uint8_t* payload, size_t size, uint64_t now_ms) {
  if (m_transfer != Transfer::kConfigWrite) return Refuse(kAnsOutOfSequence);
  if (size == 0 || size > m_settings.write_chunk) return Refuse(kAnsBadParameters);
  if (m_transfer_bytes.size() + size > m_settings.image_capacity) return Refuse(kAnsTooLarge);
  m_transfer_bytes.insert(m_transfer_bytes.end(), payload, payload + size);
  if (m_transfer_bytes.size() < m_write_expected) return Accept();
  // The image is complete (bytes past its announced data are kept as sent).
  // Its header must be the one the write began with.
  if (std::memcmp(m_transfer_bytes.data(), m_write_header.data(), kImageHeaderSize) != 0) {
    m_transfer = Transfer::kNone;
    return Refuse(kAnsBadHeader);
  }
  const bool first_commit = m_transfer_bytes.size() - size < m_write_expected;
  m_image = m_transfer_bytes;
  if (first_commit) ++m_config_number;
  WriteLe32(&m_image[kImageNumberOffset], m_config_number);
  WriteLe32(&m_image[kImageTimeOffset], DeviceTime(now_ms));
  if (const auto& alteration = m_settings.alter_after_write;
      alteration && kImageHeaderSize + alteration->offset < m_image.size())
    m_image[kImageHeaderSize + alteration->offset] ^= alteration->mask;
  m_config_written_since_boot = true;
  if (first_commit) LogEvent(now_ms, {2});
  if (on_image_stored) on_image_stored(m_image);
  return Accept();
}

Block DeviceEngine::KeyChange(const uint8_t* payload, size_t size, uint64_t now_ms) {
  if ((size != 1 && size != 17) || payload[0] >= m_settings.key_slots) return Refuse(kAnsBadParameters);
  if (m_settings.key_needs_reboot_after_config && m_config_written_since_boot) return Refuse(kAnsRebootRequired);
  const uint8_t slot = payload[0];
  if (size == 17) {
    std::memcpy(m_keys[slot].data(), payload + 1, 16);
    m_settings.key_mask = uint8_t(m_settings.key_mask | 1u << slot);
  } else {
    m_keys[slot].fill(0);
    m_settings.key_mask = uint8_t(m_settings.key_mask & ~(1u << slot));
  }
  LogEvent(now_ms, {8, uint8_t((size == 17 ? 0x80 : 0) | slot)});
  return Accept();
}

void DeviceEngine::Reboot(uint64_t now_ms) {
  ++m_reboots;
  m_connected = false;
  m_authorized = false;
  m_have_last = false;
  m_config_written_since_boot = false;
  m_transfer = Transfer::kNone;
  LogEvent(now_ms, {0});
}

}  // namespace tamlo::sim
