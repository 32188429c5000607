#include "device/device_window.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "config/config_image.h"
#include "device/journal/journal_errors.h"
#include "device/journal/journal_export.h"
#include "device/config_compare.h"
#include "device/entry_rules.h"
#include "device/load_config_image.h"
#include "device/port_order.h"
#include "device/service_log_line.h"
#include "device/session/safe_write.h"
#include "device/session/session_texts.h"
#include "link/phone_book.h"
#include "tamlo_version.h"

namespace tamlo::device {
namespace {

constexpr const char* kLocalPortCaption = "Выбор COM порта:";
constexpr const char* kModemPortCaption = "COM-порт модема:";
constexpr const char* kCheckCaption = "Проверить";
constexpr const char* kConnectCaption = "Подключиться";
constexpr const char* kDisconnectCaption = "Отключиться";
constexpr const char* kShowVersionCaption = "Показать версию";
constexpr const char* kConfigWriteCaption = "Запись конфигурации";
constexpr const char* kJournalFilter =
    "Журнал в формате HTML (*.htm, *.html)|*.htm;*.html|Текстовый журнал (*.txt)|*.txt|Все файлы (*.*)|*";
constexpr const char* kFirmwareFilter = "Прошивки (*.fmw)|*.FMW|Все файлы (*.*)|*";

// The operation labels that follow SetOperationsEnabled's first flag.
constexpr DeviceControl kOperations[] = {
    DeviceControl::L_ConfigRead,      DeviceControl::L_ConfigWrite, DeviceControl::L_ReadJournal,
    DeviceControl::L_ViewJournal,     DeviceControl::L_Show_GSM_Status, DeviceControl::L_FW_ShowVer,
    DeviceControl::L_OtherActions,
};
constexpr DeviceControl kConnectionControls[] = {
    DeviceControl::RB_Local,
    DeviceControl::RB_Remote,
    DeviceControl::L_PortList,
    DeviceControl::CmbBx_PortList,
};

// The firmware file as the bootloader transfer reads it.
class InputFirmwareFile final : public link::FirmwareFile {
 public:
  explicit InputFirmwareFile(InputFile& file) : m_file(file) {}
  uint64_t Length() override { return m_file.Size(); }
  bool Read(uint8_t* buffer, size_t capacity, size_t& got) override {
    got = m_file.Read(buffer, capacity);
    return true;
  }

 private:
  InputFile& m_file;
};

// A remembered port name as stored: a text that fits the 64-byte value.
std::string StoredPortName(const std::optional<std::string>& value) {
  if (!value || value->empty() || value->size() > kMaxStoredPortName) return {};
  return *value;
}

// "Посмотреть" when no program opens the journal's file (no browser, no
// desktop to ask): the journal is there all the same.
std::string NoJournalViewerMessage(const std::string& path) {
  return "Не удалось открыть журнал для просмотра: не найдена программа, которая открывает файлы HTML.\n\n"
         "Журнал сохранен в файле \"" + path + "\"";
}

}  // namespace

DeviceWindowModel::DeviceWindowModel(DeviceWindowSeams seams)
    : m_seams(std::move(seams)),
      m_exchange(*this, m_seams.progress, m_seams.prompt),
      m_wait_pump(m_seams.pump, m_seams.clock, m_seams.progress),
      m_dispatcher(m_seams.port, m_seams.clock, m_wait_pump) {
  m_wait_pump.Watch(m_dispatcher.protocol());
  const std::pair<DeviceControl, const char*> captions[] = {
      {DeviceControl::RB_Local, "Локальное"},
      {DeviceControl::RB_Remote, "Удаленное (через модем M-17GSM)"},
      {DeviceControl::L_PortList, kLocalPortCaption},
      {DeviceControl::L_PortChk, kCheckCaption},
      {DeviceControl::L_ConfigRead, "Прочитать"},
      {DeviceControl::L_ConfigWrite, "Записать"},
      {DeviceControl::L_OtherActions, "Прочее"},
      {DeviceControl::L_ReadJournal, "Сохранить в файл"},
      {DeviceControl::L_ViewJournal, "Посмотреть"},
      {DeviceControl::L_Show_GSM_Status, "Показать"},
      {DeviceControl::L_FW_ShowVer, kShowVersionCaption},
      {DeviceControl::L_FW_Update, "Обновить"},
      {DeviceControl::N_Keys, "Ключи шифрования"},
      {DeviceControl::N_SetTime, "Записать время в устройство"},
      {DeviceControl::N_Reboot, "Перезагрузить устройство"},
      {DeviceControl::N_Backup, "Резервная копия перед записью"},
      {DeviceControl::N_VerifyWrite, "Проверить запись"},
      {DeviceControl::N_Compare, "Сравнить с прибором"},
  };
  for (const auto& [id, caption] : captions) mutable_control(id).caption = caption;
  mutable_control(DeviceControl::N_VerifyWrite).enabled = false;
}

void DeviceWindowModel::Changed(DeviceWindowChange change) {
  if (m_listener) m_listener(change);
}

// --- lifecycle

void DeviceWindowModel::FormCreate() {
  m_last_local_port = StoredPortName(m_seams.settings.ReadText(kLastLocalPortValue));
  m_last_modem_port = StoredPortName(m_seams.settings.ReadText(kLastModemPortValue));
  const std::optional<uint32_t> connect_type = m_seams.settings.ReadNumber(kConnectTypeValue);
  m_backup = m_seams.settings.ReadNumber(kBackupBeforeWriteValue).value_or(1) != 0;
  RB_LocalClick(connect_type.value_or(0) != 0);
}

void DeviceWindowModel::FormShow() {
  if (m_connected) return;  // the list stays as it was when the call was made
  m_ports = m_seams.ports.EnumerateComPorts();
  std::sort(m_ports.begin(), m_ports.end(), PortNameLess);
  m_ports.erase(std::unique(m_ports.begin(), m_ports.end()), m_ports.end());
  m_selected = -1;
  UpdateConnectionMode();
}

void DeviceWindowModel::Save() {
  if (!m_last_local_port.empty()) m_seams.settings.WriteText(kLastLocalPortValue, m_last_local_port);
  if (!m_last_modem_port.empty()) m_seams.settings.WriteText(kLastModemPortValue, m_last_modem_port);
  m_seams.settings.WriteNumber(kConnectTypeValue, m_remote ? 1 : 0);
}

// --- connection states

void DeviceWindowModel::UpdateConnectionMode() {
  mutable_control(DeviceControl::L_PortList).caption = m_remote ? kModemPortCaption : kLocalPortCaption;
  mutable_control(DeviceControl::L_PortChk).caption = m_remote ? kConnectCaption : kCheckCaption;
  SetOperationsEnabled(!m_remote, !m_remote);
  SelectRememberedPort();
  Changed(DeviceWindowChange::Controls);
}

void DeviceWindowModel::SelectRememberedPort() {
  // A remembered port that is gone selects the first one but stays
  // remembered: it comes back when the device is plugged in again.
  const std::string& remembered = remembered_port();
  m_selected = m_ports.empty() ? -1 : 0;
  if (remembered.empty()) return;
  const auto found = std::find(m_ports.begin(), m_ports.end(), remembered);
  if (found != m_ports.end()) m_selected = static_cast<int>(found - m_ports.begin());
}

void DeviceWindowModel::SetConnectionControlsEnabled(bool enabled) {
  for (DeviceControl id : kConnectionControls) mutable_control(id).enabled = enabled;
  mutable_control(DeviceControl::L_FW_ShowVer).caption = kShowVersionCaption;
  Changed(DeviceWindowChange::Controls);
}

void DeviceWindowModel::SetOperationsEnabled(bool operations, bool firmware_update) {
  for (DeviceControl id : kOperations) mutable_control(id).enabled = operations;
  mutable_control(DeviceControl::L_FW_Update).enabled = firmware_update;
  Changed(DeviceWindowChange::Controls);
}

void DeviceWindowModel::RB_LocalClick(bool remote) {
  m_remote = remote;
  UpdateConnectionMode();
}

void DeviceWindowModel::CmbBx_PortListChange(int index) {
  if (index < 0 || index >= static_cast<int>(m_ports.size())) return;
  m_selected = index;
  remembered_port() = m_ports[static_cast<size_t>(index)];
  Changed(DeviceWindowChange::Controls);
}

// --- the service log

void DeviceWindowModel::LogInfo(std::string_view text) {
  m_log.push_back(ServiceLogLine(m_seams.log_time_text ? m_seams.log_time_text() : std::string(), text));
  Changed(DeviceWindowChange::Log);
}

void DeviceWindowModel::ShowInfo(const std::string& text) {
  LogInfo(text);
  m_seams.dialogs.ShowMessage(text, kApplicationTitle, MessageIcon::Information);
}

void DeviceWindowModel::ReportError(const std::string& text) {
  LogInfo(text);
  m_seams.dialogs.ShowMessage(text, "Ошибка", MessageIcon::Error);
}

// --- exchange reports

void DeviceWindowModel::ShowExchangeError(const std::string& text) {
  m_seams.dialogs.ShowMessage(text, kExchangeErrorCaption, MessageIcon::Error);
}

void DeviceWindowModel::ShowFirmwareVersion(const std::string& text) {
  mutable_control(DeviceControl::L_FW_ShowVer).caption = text;
  Changed(DeviceWindowChange::Controls);
}

void DeviceWindowModel::GsmStatus(const uint8_t* reply, size_t length) {
  if (m_gsm_state == GsmWindowState::Idle) return;
  if (m_gsm_state == GsmWindowState::Requested) {
    // The first reply: the GSM window takes the progress window's place.
    m_gsm_state = GsmWindowState::Shown;
    m_seams.progress.Hide();
    m_seams.gsm_status.Show([this] { RequestCancel(); });
  }
  m_seams.gsm_status.ShowStatus(reply, length);
}

void DeviceWindowModel::KeyStatus(unsigned count, unsigned mask) {
  if (m_key_status_listener) m_key_status_listener(static_cast<int>(count), mask);
}

// --- operations

int DeviceWindowModel::RunDeviceAction(unsigned action, const link::ActionInput& input,
                                       const std::optional<std::string>& success_text) {
  // The link runs one exchange at a time; a click that reaches the model
  // while one runs (the pump keeps windows alive) is refused.
  if (m_running) return -1;
  m_exchange.Begin();
  std::optional<std::string> port;  // none: the modem call the dispatcher keeps open
  if (!m_connected) {
    if (m_selected < 0) return -1;
    port = m_ports[static_cast<size_t>(m_selected)];
  }
  m_wait_pump.Begin();
  m_seams.progress.Begin([this] { RequestCancel(); });
  m_seams.main_window.SetActiveWindowEnabled(false);
  m_running = true;
  const int result = m_dispatcher.serial_process(port, action, input, m_exchange);
  m_running = false;
  m_seams.main_window.SetActiveWindowEnabled(true);
  m_seams.progress.End();
  if (result >= 0 && success_text) ShowInfo(*success_text);
  return result;
}

int DeviceWindowModel::LoadConfigImage(const uint8_t* bytes, size_t length) {
  return device::LoadConfigImage(bytes, length, m_seams.pages, *this, m_seams.dialogs);
}

int DeviceWindowModel::ExportJournal(const std::string& path) {
  journal::ServiceLogJournalErrors errors(*this, m_seams.dialogs);
  const journal::JournalReader read = [this](std::string& bytes) {
    m_exchange.ClearReceiveBuffer();
    const int result = RunDeviceAction(link::JOURNAL_READ, {});
    // The window keeps no copy, nor the part of a failed read: the journal
    // lives in `bytes` alone while it is rendered.
    const std::vector<uint8_t> buffer = m_exchange.TakeReceiveBuffer();
    if (result < 0) return result;
    bytes.assign(buffer.begin(), buffer.end());
    return result;
  };
  return journal::ExportJournal(path, read, m_seams.event_codes, errors, m_seams.files);
}

// --- handlers

bool DeviceWindowModel::has_port() const { return m_connected || m_selected >= 0; }

void DeviceWindowModel::L_PortChkClick() {
  if (m_connected) {
    // The call ends whatever the modem answers to the hang-up.
    RunDeviceAction(link::MODEM_HANGUP, {});
    m_connected = false;
    SetConnectionControlsEnabled(true);
    UpdateConnectionMode();
    return;
  }
  if (!m_remote) {
    RunDeviceAction(link::SERIAL_READ, {});
    return;
  }
  m_seams.main_window.SetMainWindowVisible(false);
  const std::optional<DialTarget> target = m_seams.phone_book.ChooseNumber();
  m_seams.main_window.SetMainWindowVisible(true);
  if (!target) return;
  const std::string number = link::UsableNumber(target->number);
  if (number.empty()) return;
  link::ActionInput dial;
  dial.text = number.c_str();
  dial.fast_connect = target->fast_connect;
  if (RunDeviceAction(link::MODEM_DIAL, dial) < 0) return;
  m_connected = true;
  m_dialled_number = number;
  SetConnectionControlsEnabled(false);
  mutable_control(DeviceControl::L_PortChk).caption = kDisconnectCaption;
  SetOperationsEnabled(true, false);
  m_connection_start_ms = m_seams.clock.NowMs();
  m_seams.main_window.StartConnectionClock();
}

void DeviceWindowModel::L_ConfigWriteClick() {
  if (m_seams.dialogs.ShowMessage("Записать конфигурацию в прибор ?", kConfigWriteCaption, MessageIcon::Question,
                                  MessageButtons::OkCancel, MessageResult::Cancel) != MessageResult::Ok)
    return;
  const std::vector<uint8_t> image = BuildConfigImage(m_seams.pages);
  const ConfigWriteResult written =
      WriteConfiguration(*this, image, m_backup ? &m_seams.history : nullptr, PlaceOfDevice(), m_seams.dialogs);
  if (written.outcome == WriteOutcome::NotWritten) return;
  m_written_image = image;
  mutable_control(DeviceControl::N_VerifyWrite).enabled = true;
  Changed(DeviceWindowChange::Controls);
  if (written.outcome != WriteOutcome::Written) return;
  if (m_seams.dialogs.ShowMessage("Конфигурация успешно записана. Для использования новой конфигурации устройство "
                                  "необходимо перезагрузить.\n\nПроизвести перезагрузку сейчас?",
                                  kConfigWriteCaption, MessageIcon::Question,
                                  MessageButtons::OkCancel) == MessageResult::Ok)
    N_RebootClick();
}

std::optional<std::vector<uint8_t>> DeviceWindowModel::ReadDeviceImage() {
  if (!RunAction(link::CONFIG_READ, {})) return std::nullopt;
  return m_exchange.receive_buffer();
}

std::string DeviceWindowModel::PlaceOfDevice() const {
  if (m_connected) return m_dialled_number;
  return m_selected < 0 ? std::string() : m_ports[static_cast<size_t>(m_selected)];
}

bool DeviceWindowModel::RunAction(unsigned action, const link::ActionInput& input) {
  m_exchange.ClearReceiveBuffer();
  return RunDeviceAction(action, input) >= 0;
}

std::string DeviceWindowModel::ReportedSerialNumber() const {
  return m_exchange.reported_serial_number().value_or(std::string());
}

void DeviceWindowModel::BackupStopped(BackupStop why, const std::string& reason) {
  // A refusal ends with the check's own text, punctuation and all.
  ReportError(reason + (why == BackupStop::NotAConfiguration ? "" : ".") +
              "\nЗапись отменена. Резервное копирование отключается в меню \"Прочее\".");
}

void DeviceWindowModel::N_BackupClick() {
  m_backup = !m_backup;
  m_seams.settings.WriteNumber(kBackupBeforeWriteValue, m_backup ? 1 : 0);
  Changed(DeviceWindowChange::Controls);
}

void DeviceWindowModel::N_VerifyWriteClick() {
  if (m_written_image.empty()) return;
  const Verification verified = VerifyWrite(*this, m_written_image);
  if (!verified.read) return;
  if (verified.fault) {
    ReportError(*verified.fault);
    return;
  }
  ShowInfo(kWriteVerified);
}

void DeviceWindowModel::N_CompareClick() {
  const std::optional<std::vector<uint8_t>> read = ReadDeviceImage();
  if (!read) return;
  const DeviceImage device_image = CheckDeviceImage(*read);
  if (!device_image.accepted()) {
    ReportError(device_image.refusal);
    return;
  }
  const DeviceImage pages_image = CheckDeviceImage(BuildConfigImage(m_seams.pages));
  std::vector<SettingDifference> differences;
  try {
    differences = DiffConfigData(pages_image.data, device_image.data);
  } catch (const ConfigLoadError& error) {
    ReportError(error.what());
    return;
  }
  if (differences.empty()) {
    ShowInfo("Конфигурация в приборе совпадает с настройками на страницах");
    return;
  }
  std::vector<DifferenceRow> rows;
  for (const SettingDifference& d : differences) rows.push_back(DifferenceRowOf(d));
  LogInfo("Настроек, отличающихся от прибора: " + std::to_string(rows.size()));
  m_seams.differences.ShowDifferences(rows);
}

void DeviceWindowModel::L_ConfigReadClick() {
  m_exchange.ClearReceiveBuffer();
  if (RunDeviceAction(link::CONFIG_READ, {}) < 0) return;
  const std::vector<uint8_t>& image = m_exchange.receive_buffer();
  if (LoadConfigImage(image.data(), image.size()) == 0) ShowInfo(kConfigReadDone);
}

void DeviceWindowModel::L_ReadJournalClick() {
  if (!has_port()) return;
  FileDialogRequest request;
  request.save = true;
  request.filter = kJournalFilter;
  request.default_ext = "htm";
  request.initial_name = m_last_journal_file;
  const std::optional<std::string> path = m_seams.dialogs.ChooseFile(request);
  if (!path) return;
  m_last_journal_file = *path;
  if (ExportJournal(*path) >= 0) ShowInfo(kJournalReadDone);
}

void DeviceWindowModel::L_ViewJournalClick() {
  if (!has_port()) return;
  // A fresh file created for this view alone, never a name another user
  // could have prepared in a shared folder.
  const std::optional<std::string> path = m_seams.desktop.CreatePrivateTempFile("tmp_XXXXXX.htm");
  if (!path) {
    ReportError("Невозможно определить каталог для временных файлов");
    return;
  }
  if (ExportJournal(*path) < 0 || m_seams.desktop.OpenWithDefaultHandler(*path)) return;
  // The journal was read and written: the user must learn where it is.
  const std::string text = NoJournalViewerMessage(*path);
  LogInfo(text);
  m_seams.dialogs.ShowMessage(text, kApplicationTitle, MessageIcon::Warning);
}

void DeviceWindowModel::L_Show_GSM_StatusClick() {
  m_gsm_state = GsmWindowState::Requested;
  RunDeviceAction(link::GSM_STATUS, {});
  if (m_gsm_state == GsmWindowState::Shown) m_seams.gsm_status.Close();
  m_gsm_state = GsmWindowState::Idle;
}

void DeviceWindowModel::L_FW_ShowVerClick() { RunDeviceAction(link::SERIAL_READ, {}); }

void DeviceWindowModel::L_FW_UpdateClick() {
  if (m_connected) return;  // the bootloader cannot be reached through the modem
  FileDialogRequest request;
  request.filter = kFirmwareFilter;
  request.default_ext = "fmw";
  request.initial_name = m_last_firmware_file;
  request.title = "Выберите файл с прошивкой";
  const std::optional<std::string> path = m_seams.dialogs.ChooseFile(request);
  if (!path) return;
  m_last_firmware_file = *path;
  FileProblem problem;
  const std::unique_ptr<InputFile> file = m_seams.files.OpenRead(*path, problem);
  if (!file) {
    ReportError("Невозможно открыть файл \"" + *path + "\"");
    return;
  }
  InputFirmwareFile firmware(*file);
  link::ActionInput input;
  input.firmware = &firmware;
  RunDeviceAction(link::FW_UPDATE, input, kFirmwareUpdated);
}

void DeviceWindowModel::N_SetTimeClick() {
  RunDeviceAction(link::SET_TIME, {}, std::string(kTimeSetDone));
}

void DeviceWindowModel::N_RebootClick() {
  RunDeviceAction(link::REBOOT, {}, std::string(kRebooting));
}

bool DeviceWindowModel::FormShortCut(char key, bool ctrl, bool alt, bool shift) {
  if (key != 'W' || !ctrl || !alt || shift) return false;
  // Remote mode without a call: there is no device to write to.
  if (!control(DeviceControl::L_ConfigRead).enabled) return true;
  const std::optional<std::string> number = m_seams.prompt.Ask(SerialNumberRequest());
  if (!number || number->empty()) return true;
  link::ActionInput input;
  input.text = number->c_str();
  if (RunDeviceAction(link::SERIAL_WRITE, input) >= 0) LogInfo("Записан серийный номер " + *number);
  return true;
}

}  // namespace tamlo::device
