#pragma once
// The simulated device on its serial line: host bytes in, device bytes out,
// against a time given by the caller (nanoseconds since the line came up).
//
// Both directions run at the line's baud rate, 10 bits per byte (start, 8
// data, stop): a byte written at time t by a side whose line is idle arrives
// at t + 10/baud s, and bytes queue behind each other. Baud 0 means an ideal
// line with no transfer time. The device reads frames with the link's own
// receiver, executes each good block on the DeviceEngine at the moment its
// closing flag arrived, applies the faults and puts the answer on the line
// (after the answer delay). Damaged frames are dropped silently, as the
// firmware does; the host's retransmission recovers.
#include <cstdint>
#include <deque>
#include <memory>
#include <random>

#include "link/frame.h"
#include "sim/bootloader.h"
#include "sim/device_engine.h"
#include "sim/faults.h"
#include "sim/gsm_modem.h"

namespace tamlo::sim {

inline constexpr uint32_t kDefaultBaud = 115200;

class SimDevice {
 public:
  SimDevice(DeviceSettings settings, Faults faults = {}, uint32_t baud = kDefaultBaud);

  // The host puts bytes on the line at `now_ns` (not earlier than any time
  // given before).
  void HostSend(const uint8_t* data, size_t size, uint64_t now_ns);
  // Copies out the device bytes that have reached the host by `now_ns`.
  size_t HostReceive(uint8_t* buffer, size_t capacity, uint64_t now_ns);
  // Device bytes that have reached the host by `now_ns`, not yet taken.
  size_t HostAvailable(uint64_t now_ns);
  // Forgets the device bytes that have reached the host (a purge of the
  // host's receive queue); bytes still on the wire arrive later.
  void HostPurge(uint64_t now_ns);
  // The next moment something happens on the line (a host byte reaching the
  // device or a device byte reaching the host); UINT64_MAX when nothing is
  // under way.
  uint64_t NextEventNs() const;

  DeviceEngine& engine() { return m_engine; }
  Faults& faults() { return m_faults; }
  uint32_t baud() const { return m_baud; }
  // Every byte each side has put on the line, for wire-time accounting.
  uint64_t bytes_from_host() const { return m_bytes_from_host; }
  uint64_t bytes_to_host() const { return m_bytes_to_host; }
  // Requests the device answered (good frames received).
  int requests() const { return m_requests; }

  // A GSM modem in front of the device: the host then talks to the modem,
  // and reaches the device only through a call.
  void AttachModem(ModemSettings settings);
  // Back on the cable: the host talks to the device directly again.
  void DetachModem() { m_modem.reset(); }
  SimModem* modem() { return m_modem.get(); }
  // The carrier the host sees: always on a cable, the modem's DCD otherwise.
  bool CarrierDetected(uint64_t now_ns);

  // The bootloader. CMD_ENTER_BOOTLOADER restarts the device into it; a
  // completed transfer restarts it into its firmware. StartInBootloader()
  // switches it on in the bootloader (receive_at_once: already in the XMODEM
  // receive state, as after the prompt was answered).
  void StartInBootloader(bool receive_at_once = false);
  bool in_bootloader() const { return m_in_bootloader; }
  SimBootloader& bootloader() { return m_bootloader; }
  // Called with each completed firmware image.
  std::function<void(const std::vector<uint8_t>&)> on_firmware_received;
  // The host port's speed (0: not known, as on a pseudo-terminal). Bytes sent
  // at another speed than the device listens at (115200 Bd in the firmware,
  // 19200 Bd in the bootloader) never make sense to it.
  void SetHostBaud(uint32_t baud) { m_host_baud = baud; }

 private:
  struct TimedByte {
    uint64_t at_ns;
    uint8_t byte;
  };

  void Advance(uint64_t now_ns);
  void DeliverToDevice(uint8_t byte, uint64_t at_ns);
  uint64_t NextTimerNs() const;
  void RunTimers(uint64_t now_ns);
  uint64_t ByteNs() const;
  void OnBlock(size_t length, uint64_t at_ns);
  void SendAnswer(const Block& answer, uint64_t start_ns);
  // Puts bytes on a line that is free from `line_free_ns`, applying the noise.
  void Transmit(const uint8_t* data, size_t size, uint64_t start_ns, uint64_t& line_free_ns,
                std::deque<TimedByte>& queue);
  bool FaultRefusal(uint8_t command, uint8_t& code);

  DeviceEngine m_engine;
  Faults m_faults;
  uint32_t m_baud;
  uint64_t m_byte_ns;
  std::mt19937 m_random;
  link::FrameReceiver m_receiver;

  std::deque<TimedByte> m_to_device;
  std::deque<TimedByte> m_to_host;
  uint64_t m_host_line_free_ns = 0;
  uint64_t m_device_line_free_ns = 0;
  Block m_previous_answer;
  bool m_have_previous = false;

  std::unique_ptr<SimModem> m_modem;
  SimBootloader m_bootloader;
  bool m_in_bootloader = false;
  uint32_t m_host_baud = 0;

  uint64_t m_bytes_from_host = 0;
  uint64_t m_bytes_to_host = 0;
  int m_requests = 0;
};

}  // namespace tamlo::sim
