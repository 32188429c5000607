#pragma once
// A scriptable port for the link's tests, on a ManualClock.
//
// Host writes are decoded with the link's own receiver; each good request
// block goes to the responder, which answers with Answer() (framed, arriving
// after a delay) or stays silent. Reads hand out arrived bytes at most
// `read_chunk` at a time; with nothing arrived they advance the clock to the
// next arrival or by the 100 ms read wait, as a real port blocks.
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "link/clock.h"
#include "link/frame.h"
#include "link/serial_port.h"

namespace tamlo::link::testing {

using Bytes = std::vector<uint8_t>;

struct Request {
  uint16_t number = 0;
  uint8_t command = 0;
  Bytes payload;
  uint32_t at_ms = 0;
};

class FakePort final : public SerialPort {
 public:
  using Responder = std::function<void(const Request& request, FakePort& port)>;

  explicit FakePort(ManualClock& clock) : m_clock(clock) {}

  // Script.
  void SetResponder(Responder responder) { m_responder = std::move(responder); }
  // Queues an answer block (CRC and escapes added) arriving `delay_ms` from now.
  void Answer(uint16_t number, uint8_t code, const Bytes& payload, uint32_t delay_ms = 5);
  // Queues raw bytes arriving `delay_ms` from now.
  void Feed(const Bytes& bytes, uint32_t delay_ms = 0);
  size_t read_chunk = 1024;
  bool refuse_open = false;
  bool fail_get_settings = false, fail_set_settings = false, fail_purge = false, fail_timeouts = false;
  bool fail_read = false, fail_write = false;
  bool stall_write = false;  // every write call takes 100 ms and nothing
  bool carrier = true;
  bool queues_known = true;
  PortSettings driver_settings;  // what GetSettings() reports
  // Sees every written chunk as raw bytes (modem commands, bootloader traffic).
  std::function<void(const uint8_t* data, size_t size)> on_bytes;

  // Record.
  const std::vector<Request>& requests() const { return m_requests; }
  const Bytes& written() const { return m_written; }
  const PortSettings& applied_settings() const { return m_applied; }
  std::string opened_name;
  int open_count = 0, close_count = 0, purge_count = 0;

  // SerialPort.
  bool Open(const std::string& name) override;
  void Close() override;
  bool IsOpen() const override { return m_open; }
  bool GetSettings(PortSettings& settings) override;
  bool SetSettings(const PortSettings& settings) override;
  bool Purge() override;
  bool SetTimeouts() override { return Check(!fail_timeouts); }
  std::optional<PortQueues> Queues() override;
  bool Read(uint8_t* buffer, size_t capacity, size_t& got) override;
  bool Write(const uint8_t* data, size_t size, size_t& written) override;
  bool CarrierDetected() override { return carrier; }
  uint32_t LastErrorCode() const override { return m_error; }
  std::string LastErrorText() const override { return m_error_text; }

 private:
  bool Check(bool ok);

  ManualClock& m_clock;
  Responder m_responder;
  FrameReceiver m_device_rx;
  std::deque<std::pair<uint32_t, uint8_t>> m_inbound;  // arrival time, byte
  std::vector<Request> m_requests;
  Bytes m_written;
  PortSettings m_applied;
  bool m_open = false;
  uint32_t m_error = 0;
  std::string m_error_text;
};

// Builds a framed block, for feeding raw frames.
Bytes FrameBlock(uint16_t number, uint8_t code, const Bytes& payload);

}  // namespace tamlo::link::testing
