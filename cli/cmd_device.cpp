// Device commands: the arguments parsed, one exchange through the session the
// device window shares (device/session/), its result printed. Service log
// lines and errors go to standard error, results to standard output.
#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "cli/cli_command.h"
#include "cli/device_session.h"
#include "cli/page_files.h"
#include "cli/safe_write.h"
#include "cli/text_output.h"
#include "config/firmware_check.h"
#include "config/system_file_system.h"
#include "config/whole_output.h"
#include "device/entry_rules.h"
#include "device/gsm_status_text.h"
#include "device/session/key_request.h"
#include "device/session/session_texts.h"

namespace tamlo::cli {
namespace {

using Args = std::vector<std::string>;

// `body` with a session on the device the options choose, or their usage
// error.
template <class Body>
int WithSession(const GlobalOptions& options, Body body) {
  DeviceSession session(options);
  if (int usage = session.CheckOptions(); usage != kExitOk) return usage;
  return body(session);
}

// The device window's success message: a log line, and the text as the result.
void ShowInfo(DeviceSession& session, const std::string& text) {
  session.LogInfo(text);
  std::printf("%s\n", text.c_str());
}

// One action; `success` shown when it succeeds, the key status the device
// reports printed.
int RunShowing(const GlobalOptions& options, unsigned action, const link::ActionInput& input,
               const std::string& success) {
  return WithSession(options, [&](DeviceSession& session) {
    session.on_key_status = [](uint8_t count, uint8_t mask) {
      std::printf("keys: %u, mask: %02X\n", count, mask);
      std::printf("Ключ №1: %s\n", device::KeyStatusText(count, mask).text.c_str());
    };
    const int result = session.Run(action, input);
    if (result == kExitOk && !success.empty()) ShowInfo(session, success);
    return result;
  });
}

// What a read delivers (a configuration only once checked, `done` then
// shown) saved into `path`; a target that cannot be written fails before the
// exchange, and a failed read or save leaves it as it was.
int ReadInto(const GlobalOptions& options, const std::string& path, unsigned action, const char* done) {
  return WithSession(options, [&](DeviceSession& session) {
    if (!CheckOutputBeforeExchange(path)) return kExitFailed;
    const bool read = action == link::CONFIG_READ ? session.ReadConfiguration().has_value()
                                                  : session.Run(action) == kExitOk;
    if (!read) return kExitFailed;
    if (const WholeOutputResult saved = WriteWholeFile(SystemFileSystem(), path, session.received()); !saved.ok()) {
      session.LogInfo("Ошибка записи файла " + path + (saved.problem.empty() ? "" : ": " + saved.problem));
      return kExitFailed;
    }
    if (done != nullptr) ShowInfo(session, done);
    std::printf("%zu bytes saved to %s\n", session.received().size(), path.c_str());
    return kExitOk;
  });
}

// The configuration write's outcome; the exit status.
int PrintWritten(DeviceSession& session, const device::ConfigWriteResult& written, size_t size) {
  // A step after the device took the whole image (a Ctrl+C among its
  // failures) leaves the new configuration in it: copy kept, exit status of
  // its own; the log said which step did not finish.
  const bool complete = written.outcome == device::WriteOutcome::Written;
  std::printf(complete ? "Конфигурация успешно записана (%zu байт)\n"
                       : "Конфигурация записана (%zu байт), но шаги после записи не завершены\n",
              size);
  if (written.written_copy) std::printf("written: %s\n", written.written_copy->c_str());
  std::printf("firmware %s; settings it does not support:", session.version().c_str());
  for (const NotedSetting& s : written.unsupported)
    std::printf("\n  %s (%s)", s.name.c_str(), FormatFirmwareVersion(s.min_version).c_str());
  std::printf("%s\n", written.unsupported.empty() ? " none" : "");
  return complete ? kExitOk : kExitWrittenIncomplete;
}

const Command kIdentify{"identify", "", "show the device's firmware version and serial number",
                        [](const GlobalOptions& options, const Args& args) {
  if (!args.empty()) return UsageError(kIdentify, "no arguments expected");
  return WithSession(options, [](DeviceSession& session) {
    const int result = session.Run(link::SERIAL_READ);
    if (result != kExitOk) return result;
    const std::string serial = session.serial().value_or("");
    std::printf("firmware: %s\n", session.version().c_str());
    std::printf("serial: %s\n", !session.serial_supported() ? "not supported"
                                : serial.empty()            ? "not set"
                                                            : serial.c_str());
    return kExitOk;
  });
}};

const Command kConfigRead{"config-read", "FILE", "read the device's configuration into a .tamlo file",
                          [](const GlobalOptions& options, const Args& args) {
  if (args.size() != 1) return UsageError(kConfigRead, "one file name expected");
  return ReadInto(options, args[0], link::CONFIG_READ, device::kConfigReadDone);
}};

const Command kJournalRaw{"journal-raw", "FILE", "read the device's event journal bytes into FILE",
                          [](const GlobalOptions& options, const Args& args) {
  if (args.size() != 1) return UsageError(kJournalRaw, "one file name expected");
  return ReadInto(options, args[0], link::JOURNAL_READ, nullptr);
}};

const Command kConfigWrite{"config-write", "FILE [--force] [--no-backup] [--verify]",
                           "keep the device's configuration in the history, write a .tamlo file into the device and "
                           "list settings its firmware lacks; a file with data the configurator does not know only "
                           "with --force; --verify reads the configuration back and compares",
                           [](const GlobalOptions& options, const Args& args) {
  std::string path;
  bool force = false, backup = true, verify = false;
  for (const std::string& a : args) {
    if (a == "--force") force = true;
    else if (a == "--no-backup") backup = false;
    else if (a == "--verify") verify = true;
    else if (a.rfind("--", 0) == 0) return UsageError(kConfigWrite, "unknown option " + a);
    else if (path.empty()) path = a;
    else return UsageError(kConfigWrite, "one file name expected");
  }
  if (path.empty()) return UsageError(kConfigWrite, "one file name expected");
  return WithSession(options, [&](DeviceSession& session) {
    int status = kExitOk;
    const std::optional<std::vector<uint8_t>> image = ImageToWrite(SystemFileSystem(), path, force, status);
    if (!image) return status;
    const std::optional<device::ConfigWriteResult> written = WriteConfiguration(session, options, *image, backup);
    if (!written || written->outcome == device::WriteOutcome::NotWritten) return kExitFailed;
    status = PrintWritten(session, *written, image->size());
    return status == kExitOk && verify ? VerifyWrite(session, *image) : status;
  });
}};

const Command kTimeSet{"time-set", "", "set the device clock to this computer's local time",
                       [](const GlobalOptions& options, const Args& args) {
  if (!args.empty()) return UsageError(kTimeSet, "no arguments expected");
  return RunShowing(options, link::SET_TIME, {}, device::kTimeSetDone);
}};

const Command kReboot{"reboot", "", "reboot the device", [](const GlobalOptions& options, const Args& args) {
  if (!args.empty()) return UsageError(kReboot, "no arguments expected");
  return RunShowing(options, link::REBOOT, {}, device::kRebooting);
}};

const Command kGsmStatus{"gsm-status", "[--count N]",
                         "show the GSM status of both SIM cards once a second (N replies, or until Ctrl+C)",
                         [](const GlobalOptions& options, const Args& args) {
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
  return WithSession(options, [&](DeviceSession& session) {
    long replies = 0;
    session.on_gsm_status = [&](const uint8_t* data, size_t length) {
      for (const device::GsmSimView& v : device::GsmStatusText(data, length)) {
        std::printf("%s %s %s  %s\n", Column(v.caption, 20, false).c_str(), Column(v.level_db, 8, true).c_str(),
                    Column(v.level_percent, 6, true).c_str(), v.state.c_str());
      }
      std::fflush(stdout);
      // Enough replies: stop the poll as closing the GSM window does.
      if (++replies == count) session.RequestCancel();
    };
    return session.Run(link::GSM_STATUS);
  });
}};

const Command kKeysStatus{"keys-status", "", "show the device's encryption key slots",
                          [](const GlobalOptions& options, const Args& args) {
  if (!args.empty()) return UsageError(kKeysStatus, "no arguments expected");
  return RunShowing(options, link::KEYS_STATUS, {}, "");
}};

const Command kKeyWrite{"key-write", "HEX32", "write encryption key No. 1 (32 hexadecimal digits)",
                        [](const GlobalOptions& options, const Args& args) {
  if (args.size() != 1) return UsageError(kKeyWrite, "one key of 32 hexadecimal digits expected");
  const std::optional<device::KeyChangeRequest> request = device::KeyChangeRequest::Write(0, args[0]);  // key No. 1
  if (!request) {
    std::fprintf(stderr, "%s\n", device::kBadKeyMessage);
    return kExitUsage;
  }
  return RunShowing(options, link::KEY_CHANGE, request->input(), device::kKeyWrittenMessage);
}};

const Command kKeyDelete{"key-delete", "", "delete encryption key No. 1 (the device returns to its default key)",
                         [](const GlobalOptions& options, const Args& args) {
  if (!args.empty()) return UsageError(kKeyDelete, "no arguments expected");
  return RunShowing(options, link::KEY_CHANGE, device::KeyChangeRequest::Delete(0).input(),
                    device::kKeyDeletedMessage);
}};

// The number as the device window's dialog takes it from a scanner (13
// digits of a valid EAN-13 number, the check digit dropped), or its 12
// digits already without the check digit.
const Command kSerialWrite{"serial-write", "NUMBER",
                           "write the device's serial number: 13 digits of an EAN-13 number (the check digit is "
                           "not stored) or the 12 digits without it",
                           [](const GlobalOptions& options, const Args& args) {
  if (args.size() != 1) return UsageError(kSerialWrite, "one serial number expected");
  const std::string& text = args[0];
  std::string error;
  const std::optional<std::string> number =
      text.size() == 12 && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })
          ? text
          : device::SerialNumberFromScan(text, error);
  if (!number) return UsageError(kSerialWrite, error);
  return RunShowing(options, link::SERIAL_WRITE, {nullptr, 0, number->c_str()}, "Серийный номер записан: " + *number);
}};

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

}  // namespace
}  // namespace tamlo::cli
