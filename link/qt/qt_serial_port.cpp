#include "link/qt/qt_serial_port.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <initializer_list>

namespace tamlo::link {

QtSerialPort::QtSerialPort() : m_port(std::make_unique<QSerialPort>()) {}
QtSerialPort::~QtSerialPort() { Close(); }

bool QtSerialPort::Ok() {
  m_error = 0;
  m_error_text.clear();
  return true;
}

namespace {

// The system's error number behind a failed Qt call. Qt keeps only its own
// error class (and a text that may come from its translations), so the
// number is errno as the failing call left it where that fits the class, and
// otherwise the number the console's terminal port reports for the same
// failure: Qt's lock file held by another program (errno is then whatever
// its lock file attempts left) is a busy port, a vanished line whose read
// ended without errno is an I/O error.
int SystemErrorOf(QSerialPort::SerialPortError error, int saved_errno) {
  const auto one_of = [saved_errno](std::initializer_list<int> fitting) {
    return std::find(fitting.begin(), fitting.end(), saved_errno) != fitting.end();
  };
  switch (error) {
    case QSerialPort::DeviceNotFoundError:
      return one_of({ENOENT, ENODEV, ENXIO, ENOTDIR}) ? saved_errno : ENOENT;
    case QSerialPort::PermissionError:
      return one_of({EACCES, EPERM, EBUSY, EROFS}) ? saved_errno : EBUSY;
    case QSerialPort::OpenError:
      return EBUSY;
    case QSerialPort::NotOpenError:
      return EBADF;
    case QSerialPort::TimeoutError:
      return ETIMEDOUT;
    case QSerialPort::UnsupportedOperationError:
      return saved_errno != 0 ? saved_errno : EINVAL;
    default:
      return saved_errno != 0 ? saved_errno : EIO;
  }
}

}  // namespace

// The number and text are the system's (the text in the system's language),
// as the console tool reports them through the terminal port.
bool QtSerialPort::Fail(int saved_errno) {
  const int error = SystemErrorOf(m_port->error(), saved_errno);
  m_error = static_cast<uint32_t>(error);
  m_error_text = std::strerror(error);
  m_port->clearError();
  return false;
}

bool QtSerialPort::Open(const std::string& name) {
  Close();
  m_port->setPortName(QString::fromStdString(PlainPortName(name)));
  errno = 0;
  if (!m_port->open(QIODevice::ReadWrite)) return Fail(errno);
  return Ok();
}

void QtSerialPort::Close() {
  if (m_port->isOpen()) m_port->close();
}

bool QtSerialPort::IsOpen() const { return m_port->isOpen(); }

bool QtSerialPort::GetSettings(PortSettings& s) {
  if (!m_port->isOpen()) return Fail(EBADF);
  s.baud = static_cast<uint32_t>(m_port->baudRate());
  s.raw_8n1 = m_port->dataBits() == QSerialPort::Data8 && m_port->parity() == QSerialPort::NoParity &&
              m_port->stopBits() == QSerialPort::OneStop;
  s.rts_cts = m_port->flowControl() == QSerialPort::HardwareControl;
  s.xon_xoff = m_port->flowControl() == QSerialPort::SoftwareControl;
  s.dsr_flow = false;
  s.dtr_on = m_port->isDataTerminalReady();
  s.rts_on = m_port->isRequestToSend();
  s.xon_limit.reset();
  s.xoff_limit.reset();
  return Ok();
}

bool QtSerialPort::SetSettings(const PortSettings& s) {
  errno = 0;
  // Qt opens the line in raw mode (no character processing); these settle the rest.
  bool ok = m_port->setBaudRate(static_cast<qint32>(s.baud));
  if (s.raw_8n1) {
    ok = ok && m_port->setDataBits(QSerialPort::Data8) && m_port->setParity(QSerialPort::NoParity) &&
         m_port->setStopBits(QSerialPort::OneStop);
  }
  const QSerialPort::FlowControl flow = s.rts_cts    ? QSerialPort::HardwareControl
                                        : s.xon_xoff ? QSerialPort::SoftwareControl
                                                     : QSerialPort::NoFlowControl;
  ok = ok && m_port->setFlowControl(flow);
  if (!ok) return Fail(errno);
  // Modem lines: a pseudo-terminal has none, so failures here are not fatal.
  m_port->setDataTerminalReady(s.dtr_on);
  if (!s.rts_cts) m_port->setRequestToSend(s.rts_on);
  m_port->clearError();
  return Ok();
}

bool QtSerialPort::Purge() {
  errno = 0;
  if (!m_port->clear(QSerialPort::AllDirections)) return Fail(errno);
  return Ok();
}

// The waits are applied per call in Read() and Write().
bool QtSerialPort::SetTimeouts() { return m_port->isOpen() ? Ok() : Fail(EBADF); }

std::optional<PortQueues> QtSerialPort::Queues() {
  if (!m_port->isOpen()) return std::nullopt;
  return PortQueues{0, static_cast<int>(m_port->readBufferSize()), static_cast<int>(m_port->bytesToWrite()),
                    static_cast<int>(m_port->bytesAvailable())};
}

bool QtSerialPort::Read(uint8_t* buffer, size_t capacity, size_t& got) {
  got = 0;
  // Qt's wait on a closed port times out as if the line were quiet.
  if (!m_port->isOpen()) return Fail(EBADF);
  if (m_port->bytesAvailable() == 0) {
    errno = 0;
    if (!m_port->waitForReadyRead(static_cast<int>(kReadWaitMs))) {
      if (m_port->error() == QSerialPort::TimeoutError || m_port->error() == QSerialPort::NoError) {
        m_port->clearError();
        return Ok();
      }
      return Fail(errno);
    }
  }
  errno = 0;
  const qint64 n = m_port->read(reinterpret_cast<char*>(buffer), static_cast<qint64>(capacity));
  if (n < 0) return Fail(errno);
  got = static_cast<size_t>(n);
  return Ok();
}

bool QtSerialPort::Write(const uint8_t* data, size_t size, size_t& written) {
  written = 0;
  if (!m_port->isOpen()) return Fail(EBADF);
  errno = 0;
  if (m_port->bytesToWrite() > 0) {
    // The earlier bytes are still on their way: give them up to 100 ms.
    m_port->waitForBytesWritten(static_cast<int>(kWriteWaitMs));
    if (m_port->error() != QSerialPort::NoError && m_port->error() != QSerialPort::TimeoutError) return Fail(errno);
    m_port->clearError();
    if (m_port->bytesToWrite() > 0) return Ok();
  }
  const qint64 n = m_port->write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
  if (n < 0) return Fail(errno);
  written = static_cast<size_t>(n);
  m_port->waitForBytesWritten(static_cast<int>(kWriteWaitMs));
  if (m_port->error() != QSerialPort::NoError && m_port->error() != QSerialPort::TimeoutError) return Fail(errno);
  m_port->clearError();
  return Ok();
}

bool QtSerialPort::CarrierDetected() {
  if (!m_port->isOpen()) return false;
  const QSerialPort::PinoutSignals pins = m_port->pinoutSignals();
  const bool failed = m_port->error() != QSerialPort::NoError;
  m_port->clearError();
  return !failed && (pins & QSerialPort::DataCarrierDetectSignal);
}

}  // namespace tamlo::link
