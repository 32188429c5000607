// Device commands: one exchange with the device per command, through the
// same link the device window uses. Service log lines and errors go to
// standard error, results to standard output.
#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "cli/catalogue_walk.h"
#include "cli/cli_command.h"
#include "cli/console_dialogs.h"
#include "cli/device_image.h"
#include "cli/device_session.h"
#include "cli/safe_write.h"
#include "config/config_files.h"
#include "config/config_image.h"
#include "config/firmware_check.h"
#include "config/system_file_system.h"
#include "config/settings_registry.h"
#include "config/tagged_encoding.h"
#include "config/whole_output.h"
#include "device/crypto_keys.h"
#include "device/entry_rules.h"
#include "device/gsm_status_text.h"
#include "device/system_history_folder.h"
#include "device/session/key_request.h"
#include "device/session/session_texts.h"
#include "link/device_time.h"
#include "pages/settings_pages.h"

namespace tamlo::cli {
namespace {

using link::ActionInput;

// The compatibility check reports through the device window's log and a
// warning box; here both are lines on standard error.
class ConsoleLog final : public ServiceLog, public UserDialogs {
 public:
  explicit ConsoleLog(DeviceSession& session) : m_session(session) {}
  void LogInfo(std::string_view text) override { m_session.LogInfo(std::string(text)); }
  std::optional<std::string> ChooseFile(const FileDialogRequest&) override { return std::nullopt; }
  MessageResult ShowMessage(std::string_view text, std::string_view caption, MessageIcon, MessageButtons,
                            MessageResult) override {
    std::fprintf(stderr, "%.*s: %.*s\n", static_cast<int>(caption.size()), caption.data(),
                 static_cast<int>(text.size()), text.data());
    return MessageResult::Ok;
  }

 private:
  DeviceSession& m_session;
};

// The device window's success message: a log line, and the text as the result.
void ShowInfo(DeviceSession& session, const char* text) {
  session.LogInfo(text);
  std::printf("%s\n", text);
}

int RunSimple(const GlobalOptions& options, unsigned action, const char* success) {
  DeviceSession session(options);
  if (int usage = session.CheckOptions(); usage != kExitOk) return usage;
  const int result = session.Run(action);
  if (result == kExitOk && success != nullptr) ShowInfo(session, success);
  return result;
}

bool SaveBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  return WriteWholeFile(SystemFileSystem(), path, bytes).ok();
}

// ---- identify ----

int Identify(const GlobalOptions& options, const std::vector<std::string>& args);
int ConfigRead(const GlobalOptions& options, const std::vector<std::string>& args);
int ConfigWrite(const GlobalOptions& options, const std::vector<std::string>& args);
int JournalRaw(const GlobalOptions& options, const std::vector<std::string>& args);
int TimeSet(const GlobalOptions& options, const std::vector<std::string>& args);
int Reboot(const GlobalOptions& options, const std::vector<std::string>& args);
int GsmStatus(const GlobalOptions& options, const std::vector<std::string>& args);
int KeysStatus(const GlobalOptions& options, const std::vector<std::string>& args);
int KeyWrite(const GlobalOptions& options, const std::vector<std::string>& args);
int KeyDelete(const GlobalOptions& options, const std::vector<std::string>& args);
int SerialWrite(const GlobalOptions& options, const std::vector<std::string>& args);

const Command kIdentify{"identify", "", "show the device's firmware version and serial number", Identify};
const Command kConfigRead{"config-read", "FILE", "read the device's configuration into a .tamlo file", ConfigRead};
const Command kConfigWrite{"config-write", "FILE [--force] [--no-backup] [--verify]",
                           "keep the device's configuration in the history, write a .tamlo file into the device and "
                           "list settings its firmware lacks; a file with data the configurator does not know only "
                           "with --force; --verify reads the configuration back and compares",
                           ConfigWrite};
const Command kJournalRaw{"journal-raw", "FILE", "read the device's event journal bytes into FILE", JournalRaw};
const Command kTimeSet{"time-set", "", "set the device clock to this computer's local time", TimeSet};
const Command kReboot{"reboot", "", "reboot the device", Reboot};
const Command kGsmStatus{"gsm-status", "[--count N]",
                         "show the GSM status of both SIM cards once a second (N replies, or until Ctrl+C)",
                         GsmStatus};
const Command kKeysStatus{"keys-status", "", "show the device's encryption key slots", KeysStatus};
const Command kKeyWrite{"key-write", "HEX32", "write encryption key No. 1 (32 hexadecimal digits)", KeyWrite};
const Command kKeyDelete{"key-delete", "", "delete encryption key No. 1 (the device returns to its default key)",
                         KeyDelete};
const Command kSerialWrite{"serial-write", "NUMBER",
                           "write the device's serial number: 13 digits of an EAN-13 number (the check digit is "
                           "not stored) or the 12 digits without it",
                           SerialWrite};

TAMLO_CLI_COMMAND(kIdentify);
TAMLO_CLI_COMMAND(kConfigRead);
TAMLO_CLI_COMMAND(kConfigWrite);
TAMLO_CLI_COMMAND(kJournalRaw);
TAMLO_CLI_COMMAND(kTimeSet);
TAMLO_CLI_COMMAND(kReboot);
TAMLO_CLI_COMMAND(kGsmStatus);
TAMLO_CLI_COMMAND(kKeysStatus);
TAMLO_CLI_COMMAND(kKeyWrite);
TAMLO_CLI_COMMAND(kKeyDelete);
TAMLO_CLI_COMMAND(kSerialWrite);

int Identify(const GlobalOptions& options, const std::vector<std::string>& args) {
  if (!args.empty()) return UsageError(kIdentify, "no arguments expected");
  DeviceSession session(options);
  if (int usage = session.CheckOptions(); usage != kExitOk) return usage;
  const int result = session.Run(link::SERIAL_READ);
  if (result != kExitOk) return result;
  std::string serial = session.serial().value_or("");
  if (!session.serial_supported()) serial = "not supported";
  else if (serial.empty()) serial = "not set";
  std::printf("firmware: %s\n", session.version().c_str());
  std::printf("serial: %s\n", serial.c_str());
  return kExitOk;
}

// ---- configuration ----

int ConfigRead(const GlobalOptions& options, const std::vector<std::string>& args) {
  if (args.size() != 1) return UsageError(kConfigRead, "one file name expected");
  DeviceSession session(options);
  if (int usage = session.CheckOptions(); usage != kExitOk) return usage;
  if (!CheckOutputBeforeExchange(args[0])) return kExitFailed;
  const int result = session.Run(link::CONFIG_READ);
  if (result != kExitOk) return result;
  // The checks the device window makes before it loads a configuration read
  // from the device; a failed one leaves the target file as it was.
  if (!CheckedDeviceData(session, session.received())) return kExitFailed;
  if (!SaveBytes(args[0], session.received())) {
    session.LogInfo("Ошибка записи файла " + args[0]);
    return kExitFailed;
  }
  ShowInfo(session, device::kConfigReadDone);
  std::printf("%zu bytes saved to %s\n", session.received().size(), args[0].c_str());
  return kExitOk;
}

// Which of the file's settings need a newer firmware: the file goes through
// the pages as the window's store does, and the pages note them.
void NotePageSettings(const ConfigImageFile& file) {
  ConsoleDialogs dialogs;
  SettingsPages pages(dialogs);
  try {
    LoadConfigData(pages.Set(), file.data.data(), file.data.size(), file.header);
  } catch (const ConfigLoadError&) {
    // Data the pages do not know (written with --force) was reported before
    // the write; the settings the pages did load are still noted.
  }
  BuildConfigImage(pages.Set());
}

int ConfigWrite(const GlobalOptions& options, const std::vector<std::string>& args) {
  std::string path;
  bool force = false;
  bool backup = true;
  bool verify = false;
  for (const std::string& a : args) {
    if (a == "--force") force = true;
    else if (a == "--no-backup") backup = false;
    else if (a == "--verify") verify = true;
    else if (a.rfind("--", 0) == 0) return UsageError(kConfigWrite, "unknown option " + a);
    else if (path.empty()) path = a;
    else return UsageError(kConfigWrite, "one file name expected");
  }
  if (path.empty()) return UsageError(kConfigWrite, "one file name expected");
  DeviceSession session(options);
  if (int usage = session.CheckOptions(); usage != kExitOk) return usage;
  ConfigImageFile file;
  try {
    file = ReadConfigImageFile(SystemFileSystem(), path);
  } catch (const ConfigLoadError& e) {
    std::fprintf(stderr, "%s: %s\n", kLoadErrorCaption, e.what());
    return kExitFailed;
  }
  // What loading the file would refuse is not sent: a malformed encoding
  // never, data the pages do not know only when the user insists (the
  // device would get settings nobody can see or edit).
  const size_t encoded = std::min<size_t>(file.header.length2, file.data.size());
  switch (WalkAgainstCatalogue(file.data.data(), encoded, nullptr)) {
    case kWalkOk: break;
    case kWalkUnrecognised:
      if (force) break;
      std::fprintf(stderr, "%s: %s\ntamlocfg-cli: nothing written; --force writes the file as it is\n",
                   kLoadErrorCaption, UnknownDataMessage(file.header.version).c_str());
      return kExitUnrecognisedData;
    case kWalkUnknownCoding:
      std::fprintf(stderr, "%s: %s\n", kLoadErrorCaption, UnknownEncodingMessage(file.header.version).c_str());
      return kExitMalformedData;
    default:
      std::fprintf(stderr, "%s: %s\n", kLoadErrorCaption, ParseErrorMessage().c_str());
      return kExitMalformedData;
  }
  std::vector<uint8_t> image;
  const auto header = file.header.Serialize();
  image.insert(image.end(), header.begin(), header.end());
  image.insert(image.end(), file.data.begin(), file.data.end());

  // The device's configuration is kept before anything is written.
  std::optional<device::ConfigHistory> history;
  if (backup) {
    const std::optional<std::string> root = ConsoleHistoryRoot();
    if (!root) {
      std::fprintf(stderr, "tamlocfg-cli: no folder for backups (neither XDG_DATA_HOME nor HOME is set); "
                           "--no-backup writes without one\n");
      return kExitFailed;
    }
    history.emplace(device::SystemHistoryFolder(), *root);
  }
  const device::SafeWriteResult written = SafeWrite(session, options, image, history ? &*history : nullptr);
  // A step after the device took the whole image (a Ctrl+C among its
  // failures) leaves the new configuration in it: copy kept, exit status of
  // its own; the log said which step did not finish.
  if (written.outcome == device::WriteOutcome::NotWritten) return kExitFailed;
  if (written.outcome == device::WriteOutcome::Written)
    std::printf("Конфигурация успешно записана (%zu байт)\n", image.size());
  else
    std::printf("Конфигурация записана (%zu байт), но шаги после записи не завершены\n", image.size());
  if (written.written_copy) std::printf("written: %s\n", written.written_copy->c_str());
  // Which of the file's settings this firmware does not know: the same names
  // and versions the window lists.
  NotePageSettings(file);
  ConsoleLog log(session);
  CheckFirmwareCompatibility(session.firmware_version_number(), log, log);
  std::printf("firmware %s; settings it does not support:", session.version().c_str());
  bool any = false;
  for (const NotedSetting& s : NotedSettings()) {
    if (s.min_version <= session.firmware_version_number()) continue;
    std::printf("\n  %s (%s)", s.name.c_str(), FormatFirmwareVersion(s.min_version).c_str());
    any = true;
  }
  std::printf("%s\n", any ? "" : " none");
  if (written.outcome != device::WriteOutcome::Written) return kExitWrittenIncomplete;
  return verify ? VerifyWrite(session, image) : kExitOk;
}

// ---- journal, clock, reboot ----

int JournalRaw(const GlobalOptions& options, const std::vector<std::string>& args) {
  if (args.size() != 1) return UsageError(kJournalRaw, "one file name expected");
  DeviceSession session(options);
  if (int usage = session.CheckOptions(); usage != kExitOk) return usage;
  if (!CheckOutputBeforeExchange(args[0])) return kExitFailed;
  const int result = session.Run(link::JOURNAL_READ);
  if (result != kExitOk) return result;
  if (!SaveBytes(args[0], session.received())) {
    session.LogInfo("Ошибка записи файла " + args[0]);
    return kExitFailed;
  }
  std::printf("%zu bytes saved to %s\n", session.received().size(), args[0].c_str());
  return kExitOk;
}

int TimeSet(const GlobalOptions& options, const std::vector<std::string>& args) {
  if (!args.empty()) return UsageError(kTimeSet, "no arguments expected");
  return RunSimple(options, link::SET_TIME, device::kTimeSetDone);
}

int Reboot(const GlobalOptions& options, const std::vector<std::string>& args) {
  if (!args.empty()) return UsageError(kReboot, "no arguments expected");
  return RunSimple(options, link::REBOOT, device::kRebooting);
}

// ---- GSM status ----

// Pads to `width` characters (not bytes: the texts are UTF-8 Cyrillic).
std::string PadRight(const std::string& s, size_t width) {
  size_t chars = 0;
  for (unsigned char c : s) chars += (c & 0xC0) != 0x80;
  return chars >= width ? s : s + std::string(width - chars, ' ');
}

std::string PadLeft(const std::string& s, size_t width) {
  size_t chars = 0;
  for (unsigned char c : s) chars += (c & 0xC0) != 0x80;
  return chars >= width ? s : std::string(width - chars, ' ') + s;
}

std::string Trim(const std::string& s) {
  const size_t b = s.find_first_not_of(' ');
  const size_t e = s.find_last_not_of(' ');
  return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
}

int GsmStatus(const GlobalOptions& options, const std::vector<std::string>& args) {
  long count = 0;  // 0: until Ctrl+C
  if (args.size() == 2 && args[0] == "--count") {
    char* end = nullptr;
    errno = 0;
    count = std::strtol(args[1].c_str(), &end, 10);
    if (end == args[1].c_str() || *end != '\0' || errno == ERANGE || count < 1 || count > INT32_MAX)
      return UsageError(kGsmStatus, "--count needs a number from 1 to 2147483647");
  } else if (!args.empty()) {
    return UsageError(kGsmStatus, "unexpected arguments");
  }
  DeviceSession session(options);
  if (int usage = session.CheckOptions(); usage != kExitOk) return usage;
  long replies = 0;
  session.on_gsm_status = [&](const uint8_t* data, size_t length) {
    const auto views = device::GsmStatusText(data, length);
    for (const device::GsmSimView& v : views) {
      std::printf("%s %s %s  %s\n", PadRight(Trim(v.caption), 20).c_str(), PadLeft(v.level_db, 8).c_str(),
                  PadLeft(v.level_percent, 6).c_str(), v.state.c_str());
    }
    std::fflush(stdout);
    // Enough replies: stop the poll as closing the GSM window does.
    if (++replies == count) session.RequestCancel();
  };
  return session.Run(link::GSM_STATUS);
}

// ---- keys and serial number ----

void PrintKeyStatus(uint8_t count, uint8_t mask) {
  std::printf("keys: %u, mask: %02X\n", count, mask);
  std::printf("Ключ №1: %s\n", device::KeyStatusText(count, mask).text.c_str());
}

int KeysStatus(const GlobalOptions& options, const std::vector<std::string>& args) {
  if (!args.empty()) return UsageError(kKeysStatus, "no arguments expected");
  DeviceSession session(options);
  if (int usage = session.CheckOptions(); usage != kExitOk) return usage;
  session.on_key_status = PrintKeyStatus;
  return session.Run(link::KEYS_STATUS);
}

int RunKeyChange(const GlobalOptions& options, const device::KeyChangeRequest& request, const char* success) {
  DeviceSession session(options);
  if (int usage = session.CheckOptions(); usage != kExitOk) return usage;
  session.on_key_status = PrintKeyStatus;
  const int result = session.Run(link::KEY_CHANGE, ActionInput{request.data(), request.size(), nullptr});
  if (result == kExitOk) ShowInfo(session, success);
  return result;
}

int KeyWrite(const GlobalOptions& options, const std::vector<std::string>& args) {
  if (args.size() != 1) return UsageError(kKeyWrite, "one key of 32 hexadecimal digits expected");
  const std::optional<device::KeyChangeRequest> request = device::KeyChangeRequest::Write(0, args[0]);  // key No. 1
  if (!request) {
    std::fprintf(stderr, "%s\n", device::kBadKeyMessage);
    return kExitUsage;
  }
  return RunKeyChange(options, *request, device::kKeyWrittenMessage);
}

int KeyDelete(const GlobalOptions& options, const std::vector<std::string>& args) {
  if (!args.empty()) return UsageError(kKeyDelete, "no arguments expected");
  return RunKeyChange(options, device::KeyChangeRequest::Delete(0), device::kKeyDeletedMessage);
}

// The number as the device window's dialog takes it from a scanner (13
// digits of a valid EAN-13 number, the check digit dropped), or its 12
// digits already without the check digit.
std::optional<std::string> SerialNumberArgument(const std::string& text, std::string& error) {
  if (text.size() == 12 && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return text;
  return device::SerialNumberFromScan(text, error);
}

int SerialWrite(const GlobalOptions& options, const std::vector<std::string>& args) {
  if (args.size() != 1) return UsageError(kSerialWrite, "one serial number expected");
  std::string error;
  const std::optional<std::string> number = SerialNumberArgument(args[0], error);
  if (!number) return UsageError(kSerialWrite, error);
  DeviceSession session(options);
  if (int usage = session.CheckOptions(); usage != kExitOk) return usage;
  const int result = session.Run(link::SERIAL_WRITE, ActionInput{nullptr, 0, number->c_str()});
  if (result == kExitOk) ShowInfo(session, ("Серийный номер записан: " + *number).c_str());
  return result;
}

}  // namespace
}  // namespace tamlo::cli
