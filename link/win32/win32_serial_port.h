#pragma once
// The link's byte port on a Win32 communications device, without Qt: the
// console tool's port on Windows.
//
// - Open() takes the port exclusively (CreateFileW without sharing, so a port
//   another program holds fails with ERROR_ACCESS_DENIED). A bare port name
//   ("COM3", "COM12", also with the "./" the command line puts before a
//   relative name) opens as "\\.\COM3", which reaches every COM number; a
//   name that already has the prefix, or a path, opens as it is. The driver's
//   queues are asked for 4096 bytes each way (SetupComm; a driver that
//   refuses keeps its own).
// - Settings: the DCB as the driver reports it with the link's fields
//   changed: raw 8N1 (binary mode, no parity check, no error-character
//   replacement, no null stripping, no abort on error), DTR enabled, XON/XOFF,
//   CTS flow with RTS handshake or RTS raised or lowered, DSR flow and
//   sensitivity; what the link does not name (XON/XOFF limits, "continue after
//   XOFF") stays as the driver had it. The XON/XOFF limits are reported.
// - Time-outs: a read returns at once with the bytes waiting, else after the
//   first byte or kReadWaitMs (read interval and total multiplier MAXDWORD,
//   total constant kReadWaitMs); a write returns within kWriteWaitMs. A read
//   asks for no more than the driver's queue holds (ClearCommError), one byte
//   when it is empty: wine ends a read only when its count is complete or the
//   time-out has passed.
// - Queues: GetCommProperties; carrier: GetCommModemStatus (MS_RLSD_ON).
// - Errors: GetLastError() and its FormatMessageW text.
#include <string>

#include "link/serial_port.h"

namespace tamlo::link {

class Win32SerialPort final : public SerialPort {
 public:
  Win32SerialPort() = default;
  ~Win32SerialPort() override;
  Win32SerialPort(const Win32SerialPort&) = delete;
  Win32SerialPort& operator=(const Win32SerialPort&) = delete;

  bool Open(const std::string& name) override;
  void Close() override;
  bool IsOpen() const override { return m_handle != nullptr; }
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
  bool Fail(uint32_t error);
  bool FailWithLastError();
  bool Ok();

  void* m_handle = nullptr;  // the HANDLE; nullptr while closed
  uint32_t m_error = 0;
  std::string m_error_text;
};

// The path CreateFileW opens for a port name (UTF-8): see Open() above.
std::string Win32DevicePath(const std::string& name);

}  // namespace tamlo::link
