// Journal commands: render-journal (raw journal bytes from a file, no
// device). The journal is written as an HTML page when FILE ends in .htm or
// .html, as a text table otherwise, Windows-1251 with CR LF; "-" writes the
// text table to standard output.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <span>
#include <string>
#include <system_error>
#include <vector>

#include "cli/cli_command.h"
#include "device/journal/event_code_list.h"
#include "device/journal/journal_export.h"
#include "device/journal/journal_render.h"

namespace tamlo::cli {
namespace {

namespace fs = std::filesystem;
using journal::EventCodeList;

class StderrJournalErrors : public journal::JournalErrors {
 public:
  void ReportError(std::string_view text) override {
    std::fprintf(stderr, "tamlocfg-cli: %.*s\n", static_cast<int>(text.size()), text.data());
  }
};

class StdoutJournalOutput : public journal::JournalOutput {
 public:
  void Write(std::string_view bytes) override { std::fwrite(bytes.data(), 1, bytes.size(), stdout); }
};

// --codes FILE, or "ademco.txt" beside this executable (missing: no
// descriptions, as in the configurator). False when the named file cannot
// be read.
bool LoadCodes(const GlobalOptions& options, EventCodeList& codes) {
  std::error_code ec;
  if (!options.codes.empty()) {
    if (!fs::is_regular_file(options.codes, ec)) {
      std::fprintf(stderr, "tamlocfg-cli: cannot read the event code list %s\n", options.codes.c_str());
      return false;
    }
    codes = journal::LoadEventCodeFile(options.codes);
    return true;
  }
  const fs::path self = fs::read_symlink("/proc/self/exe", ec);
  if (!ec) codes = journal::LoadEventCodeList(self.parent_path());
  return true;
}

bool ReadWholeFile(const fs::path& path, std::string& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

// Writes the journal to FILE (or standard output for "-"); the exit status
// says whether the whole journal was rendered.
int WriteJournal(const std::string& target, const journal::JournalReader& read, const EventCodeList& codes) {
  StderrJournalErrors errors;
  if (target == "-") {
    std::string bytes;
    if (read(bytes) < 0) return kExitFailed;
    StdoutJournalOutput out;
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    const int result = journal::RenderJournal(std::span(data, bytes.size()), out, false, codes, errors);
    return (std::fflush(stdout) == 0 && result > 0) ? kExitOk : kExitFailed;
  }
  return journal::ExportJournal(target, read, codes, errors) > 0 ? kExitOk : kExitFailed;
}

int RunRenderJournal(const GlobalOptions& options, const std::vector<std::string>& args);

const Command kRenderJournal = {
    "render-journal", "RAW FILE",
    "render raw journal bytes (as journal-raw saves them) as HTML (.htm, .html) or text; FILE - is stdout",
    RunRenderJournal};

int RunRenderJournal(const GlobalOptions& options, const std::vector<std::string>& args) {
  if (args.size() != 2) return UsageError(kRenderJournal, "expected RAW and FILE");
  EventCodeList codes;
  if (!LoadCodes(options, codes)) return kExitFailed;
  const std::string raw_path = args[0];
  const journal::JournalReader read = [&raw_path](std::string& bytes) {
    if (ReadWholeFile(raw_path, bytes)) return 0;
    std::fprintf(stderr, "tamlocfg-cli: cannot read %s\n", raw_path.c_str());
    return -1;
  };
  return WriteJournal(args[1], read, codes);
}

}  // namespace

TAMLO_CLI_COMMAND(kRenderJournal);

}  // namespace tamlo::cli
