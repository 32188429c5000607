#pragma once
// What the device window's logic uses of the world besides the link: the
// system's serial ports, the per-user settings, the desktop (a private
// temporary file, opening a file with its default program), the exchange
// progress window, the one-line entry dialog, the modem phone book and the
// main window. The Qt program gives the real ones (device/qt), tests give
// doubles, so every rule of the window runs without a window.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tamlo::device {

// The serial ports the system offers, by name ("ttyUSB0", "COM3"), in any
// order; the window sorts them.
class PortEnumerator {
 public:
  virtual ~PortEnumerator() = default;
  virtual std::vector<std::string> EnumerateComPorts() = 0;
};

// Per-user settings of the program (value names "LastLocalPort",
// "LastModemPort", "ConnectType"). A value that is missing or stored with
// another type reads as nothing; a failed write is silent.
class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  virtual std::optional<std::string> ReadText(std::string_view name) = 0;
  virtual std::optional<uint32_t> ReadNumber(std::string_view name) = 0;
  virtual void WriteText(std::string_view name, const std::string& value) = 0;
  virtual void WriteNumber(std::string_view name, uint32_t value) = 0;
};

class Desktop {
 public:
  virtual ~Desktop() = default;
  // A new, empty file in the user's own temporary folder, created
  // exclusively (never an existing file or a link planted there) and
  // readable by the owner only, named after `name_template` ("tmp_XXXXXX.htm":
  // the X's become a unique part). Its full path, or nothing when no
  // temporary folder can be used.
  virtual std::optional<std::string> CreatePrivateTempFile(std::string_view name_template) = 0;
  // Opens `path` with the desktop's default program for it; no message.
  // False when no program could be started for it.
  virtual bool OpenWithDefaultHandler(const std::string& path) = 0;
};

// The exchange progress window (TF_UpdateProgress) as an exchange drives it.
class ProgressView {
 public:
  virtual ~ProgressView() = default;
  // Shows the window centred on the main window, not modal: status "...",
  // bar at 0, the cancel button enabled, closing refused. `cancel` is what
  // the cancel button and the close box request (once per exchange).
  virtual void Begin(std::function<void()> cancel) = 0;
  // A new step: the status text, the bar at 0 with `maximum` (never 0).
  virtual void SetStep(const std::string& text, uint32_t maximum) = 0;
  virtual void SetPosition(uint32_t position) = 0;
  // Below the bar: how long the command under way has waited for the
  // device's answer ("Ожидание ответа: 12 из 30 с"); empty while no wait runs
  // long. Begin() starts without one.
  virtual void SetWaitText(const std::string& text) = 0;
  // Hidden while the GSM status window shows instead.
  virtual void Hide() = 0;
  // The exchange has returned: closing allowed, the window closes.
  virtual void End() = 0;
};

// The GSM status window (TF_GSM_Status) while GSM_STATUS polls the device.
class GsmStatusView {
 public:
  virtual ~GsmStatusView() = default;
  // Shows the window centred on the main window, not modal. `cancel` is what
  // closing it requests: the polling exchange ends at its next wait.
  virtual void Show(std::function<void()> cancel) = 0;
  // One status reply of the device (link/gsm_status.h decodes it).
  virtual void ShowStatus(const uint8_t* reply, size_t length) = 0;
  virtual void Close() = 0;
};

// A program without the GSM window: the replies are not shown.
class NoGsmStatusView final : public GsmStatusView {
 public:
  void Show(std::function<void()>) override {}
  void ShowStatus(const uint8_t*, size_t) override {}
  void Close() override {}
};

// The one-line entry dialog (TF_PassInput) in its three uses.
enum class EntryMode { Password, SerialNumber, Key };

struct EntryRequest {
  EntryMode mode = EntryMode::Password;
  std::string caption;  // the dialog's title
  std::string prompt;   // the label above the edit
  size_t max_length = 0;
  std::string prefill;  // the edit's text when the dialog opens
};

class EntryPrompt {
 public:
  virtual ~EntryPrompt() = default;
  // Shows the dialog modally, centred on the main window. The accepted text
  // (a serial number already cut to its 12 digits), or nothing when the user
  // gave up.
  virtual std::optional<std::string> Ask(const EntryRequest& request) = 0;
};

// The modem phone book window (TF_Phonebook): the number to dial.
struct DialTarget {
  std::string number;
  bool fast_connect = true;  // V.110
  bool operator==(const DialTarget&) const = default;
};

class PhoneBookPicker {
 public:
  virtual ~PhoneBookPicker() = default;
  // Shows the phone book modally; the chosen entry or nothing.
  virtual std::optional<DialTarget> ChooseNumber() = 0;
};

// What the device window does to the main window around an exchange and a
// modem connection.
class MainWindowControl {
 public:
  virtual ~MainWindowControl() = default;
  // The window active when an exchange starts is disabled until it returns,
  // so no second operation can start.
  virtual void SetActiveWindowEnabled(bool enabled) = 0;
  // Hidden while the phone book shows.
  virtual void SetMainWindowVisible(bool visible) = 0;
  // The connection duration display: started after a dial (it reads the
  // start tick from the device window), stopped when the connection ends.
  virtual void StartConnectionClock() = 0;
};

// The table of "Сравнить с прибором": one row per differing setting.
struct DifferenceRow {
  std::string setting;       // as the pages show it: "Общие настройки › Номер объекта (Account)"
  std::string pages_value;   // "-" when the pages have no such setting
  std::string device_value;  // "-" likewise
  bool operator==(const DifferenceRow&) const = default;
};

class DifferenceView {
 public:
  virtual ~DifferenceView() = default;
  // Shows the rows modally, centred on the main window (never empty).
  virtual void ShowDifferences(const std::vector<DifferenceRow>& rows) = 0;
};

}  // namespace tamlo::device
