#include "link/win32/win32_serial_port.h"

#include <windows.h>

#include <climits>

#include "config/win32/wide_text.h"
#include "link/system_serial_port.h"

namespace tamlo::link {
namespace {

constexpr DWORD kQueueBytes = 4096;

HANDLE HandleOf(void* handle) { return static_cast<HANDLE>(handle); }

DWORD ChunkOf(size_t size) { return size > MAXDWORD ? MAXDWORD : static_cast<DWORD>(size); }

}  // namespace

std::unique_ptr<SerialPort> NewSystemSerialPort() { return std::make_unique<Win32SerialPort>(); }

std::string Win32DevicePath(const std::string& name) {
  if (name.rfind("\\\\.\\", 0) == 0) return name;
  std::string plain = name;
  if (plain.rfind("./", 0) == 0 || plain.rfind(".\\", 0) == 0) plain = plain.substr(2);
  if (plain.empty() || plain.find_first_of("/\\:") != std::string::npos) return name;
  return "\\\\.\\" + plain;
}

Win32SerialPort::~Win32SerialPort() { Close(); }

bool Win32SerialPort::Ok() {
  m_error = 0;
  m_error_text.clear();
  return true;
}

bool Win32SerialPort::Fail(uint32_t error) {
  m_error = error;
  m_error_text = SystemErrorText(error);
  return false;
}

bool Win32SerialPort::FailWithLastError() { return Fail(::GetLastError()); }

bool Win32SerialPort::Open(const std::string& name) {
  Close();
  const HANDLE handle = ::CreateFileW(WideOf(Win32DevicePath(name)).c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return FailWithLastError();
  ::SetupComm(handle, kQueueBytes, kQueueBytes);
  m_handle = handle;
  return Ok();
}

void Win32SerialPort::Close() {
  if (!m_handle) return;
  ::CloseHandle(HandleOf(m_handle));
  m_handle = nullptr;
}

bool Win32SerialPort::GetSettings(PortSettings& settings) {
  if (!m_handle) return Fail(ERROR_INVALID_HANDLE);
  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  if (!::GetCommState(HandleOf(m_handle), &dcb)) return FailWithLastError();
  settings = {};
  settings.baud = dcb.BaudRate;
  settings.raw_8n1 = dcb.fBinary && !dcb.fParity && dcb.ByteSize == 8 && dcb.Parity == NOPARITY &&
                     dcb.StopBits == ONESTOPBIT && !dcb.fErrorChar && !dcb.fNull && !dcb.fAbortOnError;
  settings.xon_xoff = dcb.fOutX || dcb.fInX;
  settings.rts_cts = dcb.fOutxCtsFlow && dcb.fRtsControl == RTS_CONTROL_HANDSHAKE;
  settings.dsr_flow = dcb.fOutxDsrFlow || dcb.fDsrSensitivity;
  settings.dtr_on = dcb.fDtrControl == DTR_CONTROL_ENABLE;
  settings.rts_on = dcb.fRtsControl == RTS_CONTROL_ENABLE;
  settings.xon_limit = dcb.XonLim;
  settings.xoff_limit = dcb.XoffLim;
  return Ok();
}

bool Win32SerialPort::SetSettings(const PortSettings& settings) {
  if (!m_handle) return Fail(ERROR_INVALID_HANDLE);
  if (settings.baud == 0) return Fail(ERROR_INVALID_PARAMETER);
  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  if (!::GetCommState(HandleOf(m_handle), &dcb)) return FailWithLastError();
  dcb.BaudRate = settings.baud;
  if (settings.raw_8n1) {
    dcb.fBinary = TRUE;
    dcb.fParity = FALSE;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.fErrorChar = FALSE;
    dcb.fNull = FALSE;
    dcb.fAbortOnError = FALSE;
  }
  dcb.fOutxDsrFlow = settings.dsr_flow;
  dcb.fDsrSensitivity = settings.dsr_flow;
  dcb.fDtrControl = settings.dtr_on ? DTR_CONTROL_ENABLE : DTR_CONTROL_DISABLE;
  dcb.fOutX = settings.xon_xoff;
  dcb.fInX = settings.xon_xoff;
  dcb.fOutxCtsFlow = settings.rts_cts;
  if (settings.rts_cts) dcb.fRtsControl = RTS_CONTROL_HANDSHAKE;
  else dcb.fRtsControl = settings.rts_on ? RTS_CONTROL_ENABLE : RTS_CONTROL_DISABLE;
  if (!::SetCommState(HandleOf(m_handle), &dcb)) return FailWithLastError();
  return Ok();
}

bool Win32SerialPort::Purge() {
  if (!m_handle) return Fail(ERROR_INVALID_HANDLE);
  if (!::PurgeComm(HandleOf(m_handle), PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR))
    return FailWithLastError();
  return Ok();
}

bool Win32SerialPort::SetTimeouts() {
  if (!m_handle) return Fail(ERROR_INVALID_HANDLE);
  COMMTIMEOUTS timeouts{};
  timeouts.ReadIntervalTimeout = MAXDWORD;
  timeouts.ReadTotalTimeoutMultiplier = MAXDWORD;
  timeouts.ReadTotalTimeoutConstant = kReadWaitMs;
  timeouts.WriteTotalTimeoutMultiplier = 0;
  timeouts.WriteTotalTimeoutConstant = kWriteWaitMs;
  if (!::SetCommTimeouts(HandleOf(m_handle), &timeouts)) return FailWithLastError();
  return Ok();
}

std::optional<PortQueues> Win32SerialPort::Queues() {
  if (!m_handle) return std::nullopt;
  COMMPROP properties{};
  if (!::GetCommProperties(HandleOf(m_handle), &properties)) return std::nullopt;
  auto count = [](DWORD value) { return value > INT_MAX ? INT_MAX : static_cast<int>(value); };
  return PortQueues{count(properties.dwMaxTxQueue), count(properties.dwMaxRxQueue),
                    count(properties.dwCurrentTxQueue), count(properties.dwCurrentRxQueue)};
}

bool Win32SerialPort::Read(uint8_t* buffer, size_t capacity, size_t& got) {
  got = 0;
  if (!m_handle) return Fail(ERROR_INVALID_HANDLE);
  // Asks for no more than is waiting, or for one byte when nothing is: wine's
  // serial driver ends a read only when its count is complete or the total
  // time-out has passed, not at the first byte as Windows does under these
  // time-outs, so a larger request would wait the whole kReadWaitMs for every
  // short reply. A driver that cannot tell its queue gets the whole request.
  DWORD want = ChunkOf(capacity);
  DWORD errors = 0;
  COMSTAT status{};
  if (::ClearCommError(HandleOf(m_handle), &errors, &status) && status.cbInQue < want)
    want = status.cbInQue > 0 ? status.cbInQue : 1;
  DWORD n = 0;
  if (!::ReadFile(HandleOf(m_handle), buffer, want, &n, nullptr)) return FailWithLastError();
  got = n;
  return Ok();
}

bool Win32SerialPort::Write(const uint8_t* data, size_t size, size_t& written) {
  written = 0;
  if (!m_handle) return Fail(ERROR_INVALID_HANDLE);
  DWORD n = 0;
  if (!::WriteFile(HandleOf(m_handle), data, ChunkOf(size), &n, nullptr)) return FailWithLastError();
  written = n;
  return Ok();
}

bool Win32SerialPort::CarrierDetected() {
  DWORD status = 0;
  return m_handle && ::GetCommModemStatus(HandleOf(m_handle), &status) && (status & MS_RLSD_ON) != 0;
}

}  // namespace tamlo::link
