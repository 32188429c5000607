#pragma once
// A plain POSIX SerialPort for the tests that talk to tamlo-sim through a
// real pseudo-terminal: termios raw 8N1, reads that wait in poll() for at
// most 100 ms, no Qt.
#include <string>

#include "link/serial_port.h"

namespace tamlo::sim::testing {

class PosixTestPort final : public link::SerialPort {
 public:
  ~PosixTestPort() override { Close(); }
  bool Open(const std::string& name) override;
  void Close() override;
  bool IsOpen() const override { return m_fd >= 0; }
  bool GetSettings(link::PortSettings& settings) override;
  bool SetSettings(const link::PortSettings& settings) override;
  bool Purge() override;
  bool SetTimeouts() override { return IsOpen(); }
  std::optional<link::PortQueues> Queues() override { return link::PortQueues{}; }
  bool Read(uint8_t* buffer, size_t capacity, size_t& got) override;
  bool Write(const uint8_t* data, size_t size, size_t& written) override;
  bool CarrierDetected() override;
  uint32_t LastErrorCode() const override { return m_error; }
  std::string LastErrorText() const override;

 private:
  bool Fail();
  int m_fd = -1;
  uint32_t m_error = 0;
  uint32_t m_baud = 0;
};

}  // namespace tamlo::sim::testing
