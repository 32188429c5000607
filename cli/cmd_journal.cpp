// Journal commands: journal (read from the device, as the device window's
// "Сохранить в файл") and render-journal (raw journal bytes from a file, no
// device). The journal is written as an HTML page when FILE ends in .htm or
// .html, as a text table otherwise, Windows-1251 with CR LF; "-" prints the
// text table on standard output in UTF-8, as the tool's other output, so
// that a terminal shows it. Exit status 1 when the read fails or the journal
// is damaged (the rows before the damage are still written).
#include <cstdio>
#include <span>
#include <string>
#include <vector>

#include "cli/cli_command.h"
#include "cli/device_session.h"
#include "cli/terminal.h"
#include "config/cp1251.h"
#include "config/system_file_system.h"
#include "config/utf8_path.h"
#include "config/whole_input.h"
#include "device/journal/event_code_list.h"
#include "device/journal/journal_export.h"
#include "device/journal/journal_render.h"
#include "device/session/session_texts.h"
#include "link/exchange_dispatcher.h"

namespace tamlo::cli {
namespace {

using journal::EventCodeList;

class StderrJournalErrors : public journal::JournalErrors {
 public:
  void ReportError(std::string_view text) override {
    std::fprintf(stderr, "tamlocfg-cli: %.*s\n", static_cast<int>(text.size()), text.data());
  }
};

// With a device the messages go to the session's service log, as in the
// device window.
class SessionJournalErrors : public journal::JournalErrors {
 public:
  explicit SessionJournalErrors(DeviceSession& session) : m_session(session) {}
  void ReportError(std::string_view text) override { m_session.LogInfo(std::string(text)); }

 private:
  DeviceSession& m_session;
};

// The table for a terminal: UTF-8 instead of the file's Windows-1251.
class StdoutJournalOutput : public journal::JournalOutput {
 public:
  void Write(std::string_view bytes) override {
    const std::string text = Cp1251ToUtf8(bytes);
    std::fwrite(text.data(), 1, text.size(), stdout);
  }
};

// Why an input could not be read whole, for the message.
std::string InputProblem(WholeInput result, const FileProblem& problem, size_t limit) {
  switch (result) {
    case WholeInput::kOk: return {};
    case WholeInput::kTooLarge: return "larger than " + std::to_string(limit / (1024 * 1024)) + " MiB";
    case WholeInput::kCannotOpen:
    case WholeInput::kReadFailed: break;
  }
  return !problem.text.empty() ? problem.text : "read error";
}

// The event code list is a small text file; this is far above any real one.
constexpr size_t kMaxCodeListBytes = journal::kMaxEventCodeFileBytes;

// --codes FILE, or the program's "ademco.txt" as the configurator finds it
// (missing: no descriptions). False when the named file cannot be read.
bool LoadCodes(const GlobalOptions& options, EventCodeList& codes) {
  if (!options.codes.empty()) {
    std::string bytes;
    FileProblem problem;
    const WholeInput result = ReadWholeInput(SystemFileSystem(), options.codes, kMaxCodeListBytes, bytes, problem);
    if (result != WholeInput::kOk) {
      std::fprintf(stderr, "tamlocfg-cli: cannot read the event code list %s: %s\n", options.codes.c_str(),
                   InputProblem(result, problem, kMaxCodeListBytes).c_str());
      return false;
    }
    codes = journal::SplitEventCodeLines(bytes);
    return true;
  }
  if (const std::string folder = ProgramFolder(); !folder.empty())
    codes = journal::LoadProgramEventCodeList(SystemFileSystem(), PathOfUtf8(folder));
  return true;
}

// Writes the journal to FILE (or standard output for "-"); the exit status
// says whether the whole journal was rendered.
int WriteJournal(const std::string& target, const journal::JournalReader& read, const EventCodeList& codes,
                 journal::JournalErrors& errors) {
  if (target == "-") {
    std::string bytes;
    if (read(bytes) < 0) return kExitFailed;
    StdoutJournalOutput out;
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    const int result = journal::RenderJournal(std::span(data, bytes.size()), out, false, codes, errors);
    return (std::fflush(stdout) == 0 && result > 0) ? kExitOk : kExitFailed;
  }
  return journal::ExportJournal(target, read, codes, errors, SystemFileSystem()) > 0 ? kExitOk : kExitFailed;
}

int RunJournal(const GlobalOptions& options, const std::vector<std::string>& args);
int RunRenderJournal(const GlobalOptions& options, const std::vector<std::string>& args);

const Command kJournal = {"journal", "FILE",
                          "read the device's event journal into FILE: HTML (.htm, .html) or a text table "
                          "(Windows-1251); FILE - prints the table on stdout in UTF-8",
                          RunJournal};

const Command kRenderJournal = {
    "render-journal", "RAW FILE",
    "render raw journal bytes (as journal-raw saves them) as HTML (.htm, .html) or a text table "
    "(Windows-1251); FILE - prints the table on stdout in UTF-8",
    RunRenderJournal};

int RunRenderJournal(const GlobalOptions& options, const std::vector<std::string>& args) {
  if (args.size() != 2) return UsageError(kRenderJournal, "expected RAW and FILE");
  EventCodeList codes;
  if (!LoadCodes(options, codes)) return kExitFailed;
  const std::string raw_path = args[0];
  const journal::JournalReader read = [&raw_path](std::string& bytes) {
    FileProblem problem;
    const WholeInput result = ReadWholeInput(SystemFileSystem(), raw_path, journal::kMaxJournalBytes, bytes, problem);
    if (result == WholeInput::kOk) return 0;
    std::fprintf(stderr, "tamlocfg-cli: cannot read %s: %s\n", raw_path.c_str(),
                 InputProblem(result, problem, journal::kMaxJournalBytes).c_str());
    return -1;
  };
  StderrJournalErrors errors;
  return WriteJournal(args[1], read, codes, errors);
}

int RunJournal(const GlobalOptions& options, const std::vector<std::string>& args) {
  if (args.size() != 1) return UsageError(kJournal, "one file name expected");
  DeviceSession session(options);
  if (int usage = session.CheckOptions(); usage != kExitOk) return usage;
  EventCodeList codes;
  if (!LoadCodes(options, codes)) return kExitFailed;
  if (args[0] != "-" && !CheckOutputBeforeExchange(args[0])) return kExitFailed;
  const journal::JournalReader read = [&session](std::string& bytes) {
    if (session.Run(link::JOURNAL_READ) != kExitOk) return -1;
    bytes.assign(session.received().begin(), session.received().end());
    return 0;
  };
  SessionJournalErrors errors(session);
  const int result = WriteJournal(args[0], read, codes, errors);
  if (result == kExitOk && args[0] != "-") {
    session.LogInfo(device::kJournalReadDone);
    std::printf("%s\n", device::kJournalReadDone);
  }
  return result;
}

}  // namespace

TAMLO_CLI_COMMAND(kJournal);
TAMLO_CLI_COMMAND(kRenderJournal);

}  // namespace tamlo::cli
