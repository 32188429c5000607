#pragma once
// The byte port the device link talks through. Implementations: the POSIX
// terminal port (link/posix/), the Qt Serial Port adapter (link/qt/), the
// simulated device (sim/) and the tests' scriptable fake. The link core never
// sees the operating system directly.
//
// Contract, in the words of the line to the device:
// - Open() takes the port exclusively; a port busy in another program fails.
// - Read() returns at once with the bytes already waiting; when none are
//   waiting it blocks (in the OS for a real port, on its own clock for a
//   simulated one) until the first byte arrives or kReadWaitMs pass, and then
//   returns what it has (possibly nothing). It never spins.
// - Write() returns within kWriteWaitMs, having taken some or all bytes;
//   the caller repeats with the rest.
// - Every call that can fail returns false and leaves the system's error
//   number and text in LastErrorCode()/LastErrorText().
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace tamlo::link {

inline constexpr uint32_t kReadWaitMs = 100;   // longest wait of a read for its first byte
inline constexpr uint32_t kWriteWaitMs = 100;  // longest a write call may take

// The line settings. GetSettings() reports what the driver has; the link
// changes the fields it cares about and hands the record back to SetSettings().
struct PortSettings {
  uint32_t baud = 0;
  // 8 data bits, no parity, 1 stop bit, raw bytes (no end-of-file character,
  // no parity check, no error-character replacement, no null stripping, no
  // abort on error).
  bool raw_8n1 = false;
  bool xon_xoff = false;  // software flow control, both directions
  bool rts_cts = false;   // hardware flow control: CTS gates output, RTS in handshake mode
  bool dsr_flow = false;  // DSR gates output / DSR sensitivity
  bool dtr_on = false;    // DTR line raised (no DTR handshake)
  bool rts_on = false;    // RTS line raised; meaningful without rts_cts
  // XON/XOFF thresholds of the driver's receive queue where the platform has
  // such values; left empty where it does not (POSIX has none). Read only.
  std::optional<int> xon_limit;
  std::optional<int> xoff_limit;
};

// The driver's queue properties, for the connection log. Zero means "no fixed
// maximum" for the maxima and "not known" for the current sizes.
struct PortQueues {
  int max_tx = 0;
  int max_rx = 0;
  int current_tx = 0;
  int current_rx = 0;
};

// A port name without the Windows device prefix the device window's names
// may carry: "\\.\COM3" is "COM3"; other names pass unchanged.
inline std::string PlainPortName(const std::string& name) {
  return name.rfind("\\\\.\\", 0) == 0 ? name.substr(4) : name;
}

// A port path given on a command line, as the port layers are to open it.
// Such a path is a file path like any other: a relative one ("ttylink",
// "links/tty0") is taken from the current folder. The port layers take a
// bare name for a device under /dev, and Qt Serial Port does so for any name
// that does not start with "/", "./" or "../"; so a relative path gets "./"
// in front. The configurator and the console tool share this rule.
inline std::string CommandLinePortPath(const std::string& path) {
  if (path.empty() || path[0] == '/' || path.rfind("./", 0) == 0 || path.rfind("../", 0) == 0) return path;
  return "./" + path;
}

class SerialPort {
 public:
  virtual ~SerialPort() = default;

  // `name` is a device path ("/dev/ttyUSB0") or a Windows port name ("COM3",
  // "\\.\COM3"); the implementation maps it to what its platform opens.
  virtual bool Open(const std::string& name) = 0;
  virtual void Close() = 0;
  virtual bool IsOpen() const = 0;

  virtual bool GetSettings(PortSettings& settings) = 0;
  virtual bool SetSettings(const PortSettings& settings) = 0;
  // Clears both queues and aborts pending reads and writes.
  virtual bool Purge() = 0;
  // Puts the read and write waits above into force.
  virtual bool SetTimeouts() = 0;
  // Queue properties, or nothing when the query fails.
  virtual std::optional<PortQueues> Queues() = 0;

  // See the contract above. `got`/`written` are set on success.
  virtual bool Read(uint8_t* buffer, size_t capacity, size_t& got) = 0;
  virtual bool Write(const uint8_t* data, size_t size, size_t& written) = 0;

  // Receive-line-signal-detect (DCD). A failing status query counts as off.
  virtual bool CarrierDetected() = 0;

  virtual uint32_t LastErrorCode() const = 0;
  virtual std::string LastErrorText() const = 0;
};

}  // namespace tamlo::link
