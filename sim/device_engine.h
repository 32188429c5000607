#pragma once
// The simulated device's firmware at the command level: one request block in,
// one answer block out. No wire, no time of its own: the caller says when each
// request arrived (milliseconds since the device was switched on).
//
// Request: u16 block number, u8 command, u8 reserved, payload.
// Answer:  the request's block number, u8 answer code (0x80 accepted, else a
//          refusal), payload.
//
// Behaviour a host relies on:
// - Block number 0 with command 0x00 is the handshake: payload u32 challenge,
//   u16, u16; answer u32 ~challenge, u16 size A, u16 size B. It starts a new
//   session (forgets the password, any transfer in progress and the last
//   block number). Other commands before the first handshake after power-on or
//   a reboot are answered 0x81 (reconnect).
// - A request carrying the same block number as the one just answered is a
//   retransmission (the host lost the answer): the same answer is sent again
//   and nothing is done twice, so a configuration chunk is never stored twice.
// - With an access password set, every command except the handshake, the
//   version and the password itself is answered 0x88 until the right password
//   has been given in this session.
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "sim/device_settings.h"

namespace tamlo::sim {

enum Command : uint8_t {
  kCmdConnect = 0x00,
  kCmdGetVersion = 0x01,
  kCmdConfigReadBegin = 0x02,
  kCmdConfigReadChunk = 0x03,
  kCmdJournalReadBegin = 0x04,
  kCmdJournalReadChunk = 0x05,
  kCmdGsmStatus = 0x07,
  kCmdPassword = 0x08,
  kCmdSerialRead = 0x0B,
  kCmdKeysStatus = 0x0C,
  kCmdConfigWriteBegin = 0x42,
  kCmdConfigWriteChunk = 0x43,
  kCmdSetTime = 0x46,
  kCmdReboot = 0x48,
  kCmdEnterBootloader = 0x49,
  kCmdClearEventQueue = 0x4A,
  kCmdSerialWrite = 0x4B,
  kCmdKeyChange = 0x4C,
};

enum Answer : uint8_t {
  kAnsOk = 0x80,
  kAnsReconnect = 0x81,
  kAnsUnknownCommand = 0x82,
  kAnsOutOfSequence = 0x83,
  kAnsBadParameters = 0x84,
  kAnsRetryLater = 0x87,
  kAnsBadPassword = 0x88,
  kAnsBadHeader = 0x90,
  kAnsTooLarge = 0x91,
  kAnsNoConfiguration = 0x94,
  kAnsRebootRequired = 0x95,
  kAnsNoSpace = 0x96,
};

struct Block {
  uint16_t number = 0;
  uint8_t code = 0;
  std::vector<uint8_t> payload;
};

class DeviceEngine {
 public:
  explicit DeviceEngine(DeviceSettings settings);

  Block Handle(uint16_t number, uint8_t command, const uint8_t* payload, size_t size, uint64_t now_ms);

  // GSM status answer at a moment: u8 2 (SIM records), u8 index of the SIM
  // in use, then per SIM u8 status (bit 7 in use, bit 6 failed, bits 0-5
  // state: 32 not registered, 33 active) and u8 level 0-31 (99 unknown).
  // SIM 1 is in use, its level drifts between 12 and 27 over 20 s; SIM 2 is
  // on standby, drifts between 5 and 20 over 33 s and loses the network for
  // 10 s of every minute.
  std::vector<uint8_t> GsmStatus(uint64_t now_ms) const;

  uint32_t DeviceTime(uint64_t now_ms) const;
  const std::vector<uint8_t>& image() const { return m_image; }
  const std::vector<uint8_t>& journal() const { return m_journal; }
  const std::string& serial_number() const { return m_settings.serial_number; }
  uint8_t key_mask() const { return m_settings.key_mask; }
  const std::array<uint8_t, 16>& key(size_t slot) const { return m_keys.at(slot); }
  int reboots() const { return m_reboots; }
  // True once after CMD_ENTER_BOOTLOADER was accepted: the device restarts
  // into its bootloader.
  bool TakeBootloaderRequest() {
    const bool requested = m_bootloader_requested;
    m_bootloader_requested = false;
    return requested;
  }
  int handshakes() const { return m_handshakes; }
  const DeviceSettings& settings() const { return m_settings; }

  // Called after every completed configuration write with the stored image
  // (tamlo-sim keeps its configuration file up to date with it).
  std::function<void(const std::vector<uint8_t>&)> on_image_stored;

 private:
  enum class Transfer { kNone, kConfigRead, kJournalRead, kConfigWrite };

  Block Execute(uint8_t command, const uint8_t* payload, size_t size, uint64_t now_ms);
  Block ConfigWriteChunk(const uint8_t* payload, size_t size, uint64_t now_ms);
  Block ReadChunk(bool journal);
  Block KeyChange(const uint8_t* payload, size_t size, uint64_t now_ms);
  void Reboot(uint64_t now_ms);
  void LogEvent(uint64_t now_ms, std::initializer_list<uint8_t> data);

  DeviceSettings m_settings;
  std::vector<uint8_t> m_image;
  std::vector<uint8_t> m_journal;
  bool m_journal_live = true;  // the device adds its own events
  std::vector<std::array<uint8_t, 16>> m_keys;

  uint32_t m_clock_base = 0;     // device time at m_clock_set_ms
  uint64_t m_clock_set_ms = 0;
  uint32_t m_config_number = 0;

  // Session
  bool m_connected = false;
  bool m_authorized = false;
  bool m_config_written_since_boot = false;
  bool m_have_last = false;
  uint16_t m_last_number = 0;
  Block m_last_answer;

  // Transfer in progress
  Transfer m_transfer = Transfer::kNone;
  std::vector<uint8_t> m_transfer_bytes;  // snapshot being read, or image being written
  size_t m_transfer_pos = 0;
  std::array<uint8_t, 32> m_write_header{};
  size_t m_write_expected = 0;

  int m_reboots = 0;
  bool m_bootloader_requested = false;
  int m_handshakes = 0;
};

}  // namespace tamlo::sim
