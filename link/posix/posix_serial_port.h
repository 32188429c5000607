#pragma once
// The link's byte port on a POSIX terminal device (termios), without Qt: the
// console tool's port, and the one the tests drive against pseudo-terminals.
//
// - Open() takes the device exclusively: TIOCEXCL refuses later opens by
//   other programs, and an flock() that another program holds refuses ours
//   (EBUSY). A name without a folder is looked for in /dev ("ttyUSB0", and
//   "COM3" or "\\.\COM3" become "/dev/COM3").
// - Reads and writes wait in poll() for at most kReadWaitMs / kWriteWaitMs,
//   so they never spin; a hung-up line (the other end of a pseudo-terminal
//   closed, a USB adapter pulled) is a read failure, not an endless run of
//   empty reads.
// - Settings: raw 8N1 through cfmakeraw, the standard baud rates up to
//   4000000, XON/XOFF and RTS/CTS flow, DTR and RTS raised or lowered where
//   the device has modem lines (a pseudo-terminal has none: not an error).
//   POSIX has no XON/XOFF limits, so none are reported. CLOCAL stays set:
//   carrier is read through TIOCMGET, a dropped carrier never hangs the port.
// - Queues: the bytes waiting in the driver (TIOCOUTQ, FIONREAD); no fixed
//   maxima.
// - Errors: errno and strerror().
#include <string>

#include "link/serial_port.h"

namespace tamlo::link {

class PosixSerialPort final : public SerialPort {
 public:
  PosixSerialPort() = default;
  ~PosixSerialPort() override;
  PosixSerialPort(const PosixSerialPort&) = delete;
  PosixSerialPort& operator=(const PosixSerialPort&) = delete;

  bool Open(const std::string& name) override;
  void Close() override;
  bool IsOpen() const override { return m_fd >= 0; }
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
  bool Fail(int error);
  bool Ok();

  int m_fd = -1;
  uint32_t m_error = 0;
  std::string m_error_text;
};

// The device path a port name opens: names with a "/" as they are, others in
// /dev, the Windows device prefix dropped.
std::string PosixDevicePath(const std::string& name);

}  // namespace tamlo::link
