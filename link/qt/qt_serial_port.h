#pragma once
// The link's byte port on Qt Serial Port, for Linux, Windows and macOS.
//
// Reads block inside QSerialPort::waitForReadyRead (the OS's poll/select or
// overlapped wait), never spinning. Writes go through Qt's buffer but are
// taken only while that buffer is empty, so a stalled line shows up to the
// link as writes that take nothing (and its 30 s write limit applies).
//
// What the connection log can show here: Qt has no XON/XOFF queue limits, so
// the settings report none; the queue report gives Qt's read buffer limit
// (0 = unlimited) as MaxRxQueue, 0 (no fixed maximum) as MaxTxQueue, and the
// bytes waiting in Qt's write and read buffers as the current queues.
//
// A failure reports the system's error number and its text, as the terminal
// port does, not Qt's error class.
#include <QSerialPort>
#include <memory>

#include "link/serial_port.h"

namespace tamlo::link {

class QtSerialPort final : public SerialPort {
 public:
  QtSerialPort();
  ~QtSerialPort() override;

  bool Open(const std::string& name) override;
  void Close() override;
  bool IsOpen() const override;
  bool GetSettings(PortSettings& settings) override;
  bool SetSettings(const PortSettings& settings) override;
  bool Purge() override;
  bool SetTimeouts() override;
  std::optional<PortQueues> Queues() override;
  bool Read(uint8_t* buffer, size_t capacity, size_t& got) override;
  bool Write(const uint8_t* data, size_t size, size_t& written) override;
  bool CarrierDetected() override;
  uint32_t LastErrorCode() const override { return m_error; }
  std::string LastErrorText() const override { return m_error_text; }

 private:
  bool Fail(int saved_errno);
  bool Ok();

  std::unique_ptr<QSerialPort> m_port;
  uint32_t m_error = 0;
  std::string m_error_text;
};

}  // namespace tamlo::link
