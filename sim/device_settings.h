#pragma once
// What the simulated device is: its identity, limits, secrets and stored data.
// Everything here can be set from the command line of tamlo-sim, by the
// console tool's demo mode and by tests; the defaults describe an ordinary
// TK208-2GSM with current firmware and no access password.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tamlo::sim {

// Device time: seconds since 2012-01-01 00:00:00 of the device clock, every
// year divisible by 4 a leap year (the device's own calendar, valid to 2099).
uint32_t DeviceTimeOf(int year, int month, int day, int hour, int minute, int second);

inline constexpr uint32_t kDefaultDeviceTime = 391856400;  // 01.06.24 09:00:00

struct DeviceSettings {
  // Answer to the version command: the device name and firmware version.
  std::string identification = "Tamlo 3.11";
  // The two sizes of the handshake answer: A (the device's own receive
  // limit, reported only) and B, the largest request payload it takes.
  uint16_t size_a = 256;
  uint16_t size_b = 256;
  // Chunk size announced to a configuration write (may be set above the
  // host's limit to see the host refuse it).
  uint16_t write_chunk = 256;
  // Largest payload of a configuration or journal read answer (1 to 256).
  uint16_t read_chunk = 256;
  // Room for a stored configuration image, header included.
  uint32_t image_capacity = 64 * 1024;

  std::string password;        // empty: no access password
  std::string serial_number;   // empty: "not set"
  uint8_t key_slots = 4;       // number of encryption key slots
  uint8_t key_mask = 0;        // slots that hold a key (bit 0 = key 1)
  // Firmware before serial numbers and keys: commands 0x0B, 0x0C, 0x4B and
  // 0x4C are unknown (answer 0x82).
  bool old_firmware = false;
  // After a configuration write the device takes no key until it has been
  // rebooted (answer 0x95), as the firmware does.
  bool key_needs_reboot_after_config = true;

  uint32_t device_time = kDefaultDeviceTime;  // device clock at start

  // A device that changes its stored configuration on its own (a firmware
  // fault, another configurator on the same line): when a configuration
  // write completes, the byte `offset` bytes into the stored data (after the
  // header) is XORed with `mask`. An offset past the data changes nothing.
  struct StoredAlteration {
    uint32_t offset = 0;
    uint8_t mask = 0x01;
  };
  std::optional<StoredAlteration> alter_after_write;

  // Stored configuration image; empty: the factory image (header, no data).
  std::vector<uint8_t> image;
  // Journal bytes; nothing: the generated demo journal (see journal_generator.h).
  // A journal given here is served unchanged, the device adds no events to it.
  std::optional<std::vector<uint8_t>> journal;
  // Journal length announced by the read-begin command instead of the real
  // one (the host must read on to the first empty chunk regardless).
  std::optional<uint32_t> announced_journal_length;
};

}  // namespace tamlo::sim
