#pragma once
// DeviceWindowModel: the logic of the device window (TF_TamloDev), the page
// "Работа с прибором" from which the user checks a device, writes and reads
// its configuration, saves or views its journal, shows the GSM levels, shows
// and updates the firmware, sets the clock, reboots it and, through a modem,
// works with a device far away.
//
// The Qt window builds the controls, shows the state read here and calls the
// handlers; every rule lives here. Each operation is one exchange of the link
// dispatcher (serial_process), run synchronously inside the handler on the
// GUI thread. While it runs the link's message pump keeps the windows alive,
// and the model calls the change listener whenever a control or the service
// log changes, so the view repaints log lines as they arrive.
//
// Connection states:
//   Local                 "Выбор COM порта:", "Проверить"; everything enabled
//   Remote, not connected "COM-порт модема:", "Подключиться"; only the
//                         connection controls enabled
//   Remote, connected     "COM-порт модема:", "Отключиться"; the operations
//                         without the firmware update; connection controls
//                         disabled; the main window shows the call's duration
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "config/config_page.h"
#include "config/file_system.h"
#include "config/user_interface.h"
#include "device/answer_wait.h"
#include "device/crypto_keys.h"
#include "device/config_history.h"
#include "device/session/exchange_recorder.h"
#include "device/device_seams.h"
#include "device/journal/event_code_list.h"
#include "device/session/safe_write.h"
#include "link/clock.h"
#include "link/exchange_dispatcher.h"
#include "link/serial_port.h"

namespace tamlo::device {

class KeyChangeRequest;

// The window's controls whose caption or enabled state the model decides.
// The group boxes and their captions are the view's own.
enum class DeviceControl {
  RB_Local,           // "Локальное"
  RB_Remote,          // "Удаленное (через модем M-17GSM)"
  L_PortList,         // "Выбор COM порта:" / "COM-порт модема:"
  CmbBx_PortList,     // the port names (ports(), selected_port())
  L_PortChk,          // "Проверить" / "Подключиться" / "Отключиться"
  L_ConfigRead,       // "Прочитать"
  L_ConfigWrite,      // "Записать"
  L_OtherActions,     // "Прочее": pops up the menu below
  L_ReadJournal,      // "Сохранить в файл"
  L_ViewJournal,      // "Посмотреть"
  L_Show_GSM_Status,  // "Показать"
  L_FW_ShowVer,       // "Показать версию", then the device's version text
  L_FW_Update,        // "Обновить"
  N_Keys,             // menu "Ключи шифрования": the key window
  N_SetTime,          // menu "Записать время в устройство"
  N_Reboot,           // menu "Перезагрузить устройство"
  N_Backup,           // menu tick "Резервная копия перед записью" (backup_enabled())
  N_VerifyWrite,      // menu "Проверить запись": enabled after a write in this run
  N_Compare,          // menu "Сравнить с прибором"
};
inline constexpr size_t kDeviceControlCount = static_cast<size_t>(DeviceControl::N_Compare) + 1;

struct ControlState {
  std::string caption;  // empty for the port list
  bool enabled = true;
  bool visible = true;
};

// What changed, for the listener.
enum class DeviceWindowChange {
  Controls,  // captions, enabled flags, the port list or its selection
  Log,       // one line appended to log_lines()
};

// The world the window works in. Every reference must outlive the model.
struct DeviceWindowSeams {
  UserDialogs& dialogs;
  FileSystem& files;
  link::SerialPort& port;  // opened by the dispatcher with the selected name
  const link::Clock& clock;
  link::MessagePump& pump;
  PortEnumerator& ports;
  SettingsStore& settings;
  Desktop& desktop;
  ProgressView& progress;
  EntryPrompt& prompt;  // the program's one entry dialog
  PhoneBookPicker& phone_book;
  MainWindowControl& main_window;
  GsmStatusView& gsm_status;
  PageSet& pages;
  const journal::EventCodeList& event_codes;
  ConfigHistory& history;  // the backups before each configuration write
  DifferenceView& differences;
  // The local date and time in front of a log line, e.g. "08.12.2026 17:35:02".
  std::function<std::string()> log_time_text;
};

// Settings value names.
inline constexpr const char* kLastLocalPortValue = "LastLocalPort";
inline constexpr const char* kLastModemPortValue = "LastModemPort";
inline constexpr const char* kConnectTypeValue = "ConnectType";
// 0: no backup before a configuration write; missing or anything else: backups.
inline constexpr const char* kBackupBeforeWriteValue = "BackupBeforeWrite";

// The longest remembered port name read back (the value held 64 bytes with
// its terminating zero).
inline constexpr size_t kMaxStoredPortName = 63;

class DeviceWindowModel final : public ServiceLog,
                                public KeyOperations,
                                private ExchangeReports,
                                private SafeWriteFrontEnd {
 public:
  enum class GsmWindowState { Idle, Requested, Shown };

  explicit DeviceWindowModel(DeviceWindowSeams seams);
  DeviceWindowModel(const DeviceWindowModel&) = delete;
  DeviceWindowModel& operator=(const DeviceWindowModel&) = delete;

  // Called after every change of a control or of the log, also in the middle
  // of an exchange.
  void SetChangeListener(std::function<void(DeviceWindowChange)> listener) { m_listener = std::move(listener); }
  // Called with every key status the device reports (the key window's
  // ShowKeyStatus).
  void SetKeyStatusListener(std::function<void(int count, unsigned mask)> listener) {
    m_key_status_listener = std::move(listener);
  }

  // --- state for the view
  const ControlState& control(DeviceControl id) const { return m_controls[static_cast<size_t>(id)]; }
  bool remote_selected() const { return m_remote; }  // RB_Remote checked (else RB_Local)
  const std::vector<std::string>& ports() const { return m_ports; }  // PortNameLess order, no twins
  int selected_port() const { return m_selected; }                  // -1: none
  const std::vector<std::string>& log_lines() const { return m_log; }
  bool connected_via_modem() const { return m_connected; }
  // The tick count when the modem call was established (the main window's
  // duration display).
  uint32_t connection_start_ms() const { return m_connection_start_ms; }
  GsmWindowState gsm_window_state() const { return m_gsm_state; }
  const std::string& last_local_port() const { return m_last_local_port; }
  const std::string& last_modem_port() const { return m_last_modem_port; }
  const std::string& last_journal_file() const { return m_last_journal_file; }
  const std::string& last_firmware_file() const { return m_last_firmware_file; }
  // Of the current or last exchange (the compatibility check reads it).
  uint32_t firmware_version_number() const { return m_exchange.firmware_version_number(); }
  bool exchange_running() const { return m_running; }
  // The "Прочее" tick: read and keep the device's configuration before each
  // write.
  bool backup_enabled() const { return m_backup; }
  // The image of the last write of this run that the device took whole (a
  // step after it may have failed); empty before one.
  const std::vector<uint8_t>& written_image() const { return m_written_image; }

  // --- lifecycle
  // Reads the remembered ports and the connection kind; selects the mode.
  void FormCreate();
  // Each time the page is shown: refills the port list unless a modem call
  // is up.
  void FormShow();
  // At the end of the run: writes the remembered ports (those not empty) and
  // the connection kind.
  void Save();

  // --- handlers
  // Either radio button clicked; `remote`: RB_Remote is now checked.
  void RB_LocalClick(bool remote);
  // CmbBx_PortListChange: the user selected entry `index`.
  void CmbBx_PortListChange(int index);
  void L_PortChkClick();
  void L_ConfigReadClick();
  void L_ConfigWriteClick();
  void L_ReadJournalClick();
  void L_ViewJournalClick();
  void L_Show_GSM_StatusClick();
  void L_FW_ShowVerClick();
  void L_FW_UpdateClick();
  void N_SetTimeClick();
  void N_RebootClick();
  // Turns the backup before a write off or on, remembered at once.
  void N_BackupClick();
  // Reads the configuration back and compares it with the last write.
  void N_VerifyWriteClick();
  // Reads the device's configuration, without loading it into the pages,
  // and shows how it differs from the pages (or says that it does not).
  void N_CompareClick();
  // A key press of the page: true when it was the serial number shortcut
  // Ctrl+Alt+W (`key` is the upper-case letter; Shift must be up), which it
  // then handles.
  bool FormShortCut(char key, bool ctrl, bool alt, bool shift);

  // Ends the running exchange at its next wait (the progress window's and the
  // GSM window's cancel).
  void RequestCancel() { m_dispatcher.RequestCancel(); }

  // --- operations shared with the other windows
  // One exchange: `action` with `input`; `success_text` shown by ShowInfo when
  // it succeeds. Negative on failure; -1 at once without a selected port
  // (unless a modem call is up) and while another exchange runs.
  int RunDeviceAction(unsigned action, const link::ActionInput& input,
                      const std::optional<std::string>& success_text = std::nullopt);
  // The journal into `path` (HTML by the extension); negative on failure.
  int ExportJournal(const std::string& path);
  // The bytes of the last configuration read into the pages; 0 or -1.
  int LoadConfigImage(const uint8_t* bytes, size_t length);

  // KeyOperations: the key window's exchanges (device_window_keys.cpp).
  void ReadKeyStatus() override;
  int WriteKey(unsigned slot, const std::string& text) override;
  int DeleteKey(unsigned slot) override;

  // ServiceLog and ExchangeReports: one time-stamped line.
  void LogInfo(std::string_view text) override;
  // The line, then an information box titled with the program's name.
  void ShowInfo(const std::string& text);
  // The line, then an error box "Ошибка".
  void ReportError(const std::string& text);

  // The steps between the three connection states; the handlers call them.
  void UpdateConnectionMode();
  void SetConnectionControlsEnabled(bool enabled);
  void SetOperationsEnabled(bool operations, bool firmware_update);

 private:
  // ExchangeReports
  void ShowExchangeError(const std::string& text) override;
  void ShowFirmwareVersion(const std::string& text) override;
  void GsmStatus(const uint8_t* reply, size_t length) override;
  void KeyStatus(unsigned count, unsigned mask) override;

  ControlState& mutable_control(DeviceControl id) { return m_controls[static_cast<size_t>(id)]; }
  void Changed(DeviceWindowChange change);
  std::string& remembered_port() { return m_remote ? m_last_modem_port : m_last_local_port; }
  void SelectRememberedPort();
  // A port to run an exchange on: a selected one, or the modem call.
  bool has_port() const;
  // CONFIG_READ into a copy; nothing when the exchange failed.
  std::optional<std::vector<uint8_t>> ReadDeviceImage();
  // The port or the dialled number of the next exchange.
  std::string PlaceOfDevice() const;
  // SafeWriteFrontEnd: the safe write's steps as exchanges of the window.
  bool RunAction(unsigned action, const link::ActionInput& input) override;
  const std::vector<uint8_t>& ReceivedBytes() const override { return m_exchange.receive_buffer(); }
  std::string ReportedSerialNumber() const override;
  bool FoundNoConfiguration() const override { return m_dispatcher.found_no_configuration(); }
  bool ImageStored() const override { return m_dispatcher.image_stored(); }
  uint32_t FirmwareVersionNumber() const override { return m_exchange.firmware_version_number(); }
  void LogLine(const std::string& text) override { LogInfo(text); }
  void BackupStopped(BackupStop why, const std::string& reason) override;
  // KEY_CHANGE with `request`; `success` shown when it succeeds.
  int RunKeyChange(const KeyChangeRequest& request, const char* success);

  DeviceWindowSeams m_seams;
  ExchangeRecorder m_exchange;
  AnswerWaitPump m_wait_pump;  // the dispatcher's pump
  link::ExchangeDispatcher m_dispatcher;
  std::function<void(DeviceWindowChange)> m_listener;
  std::function<void(int, unsigned)> m_key_status_listener;

  std::array<ControlState, kDeviceControlCount> m_controls;
  bool m_remote = false;
  std::vector<std::string> m_ports;
  int m_selected = -1;
  std::vector<std::string> m_log;

  std::string m_last_local_port;
  std::string m_last_modem_port;
  std::string m_last_journal_file;
  std::string m_last_firmware_file;
  bool m_connected = false;
  uint32_t m_connection_start_ms = 0;
  GsmWindowState m_gsm_state = GsmWindowState::Idle;
  bool m_running = false;
  bool m_backup = true;
  std::vector<uint8_t> m_written_image;
  std::string m_dialled_number;
};

}  // namespace tamlo::device
