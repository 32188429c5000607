#include "device/journal/journal_export.h"

#include <span>

#include "config/whole_output.h"
#include "device/journal/journal_render.h"

namespace tamlo::journal {
namespace {

std::string Lower(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

// Collects the rendered lines into large writes; remembers a short write.
class ReplacementJournalOutput : public JournalOutput {
 public:
  explicit ReplacementJournalOutput(ReplacementFile& file) : m_file(file) { m_buffer.reserve(kChunk); }
  void Write(std::string_view bytes) override {
    m_buffer.append(bytes);
    if (m_buffer.size() >= kChunk) Flush();
  }
  // false when any write fell short.
  bool Flush() {
    if (!m_failed && !m_buffer.empty()) {
      const auto* data = reinterpret_cast<const std::uint8_t*>(m_buffer.data());
      m_failed = m_file.Write(data, m_buffer.size()) != m_buffer.size();
    }
    m_buffer.clear();
    return !m_failed;
  }

 private:
  static constexpr size_t kChunk = 64 * 1024;
  ReplacementFile& m_file;
  std::string m_buffer;
  bool m_failed = false;
};

std::string Quoted(const char* message, const std::string& path) { return std::string(message) + " \"" + path + "\""; }

}  // namespace

bool IsHtmlJournalPath(const std::string& path) {
  const size_t name = path.find_last_of("/\\") + 1;  // 0 without a folder
  const size_t dot = path.rfind('.');
  // No extension, or a name that is all extension (".htm").
  if (dot == std::string::npos || dot <= name) return false;
  const std::string extension = Lower(path.substr(dot));
  return extension == ".htm" || extension == ".html";
}

int ExportJournal(const std::string& path, const JournalReader& read, const EventCodeList& codes,
                  JournalErrors& errors, FileSystem& fs) {
  // A target that cannot be written fails before the device is asked; the
  // temporary file is created only once the journal is here.
  if (!fs.OutputProblem(path).empty()) {
    errors.ReportError(Quoted("Не удается создать файл журнала", path));
    return -1;
  }
  std::string journal;
  if (read(journal) < 0) return -1;
  int result = -1;
  const auto render = [&](ReplacementFile& file) {
    ReplacementJournalOutput out(file);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(journal.data());
    result = RenderJournal(std::span(bytes, journal.size()), out, IsHtmlJournalPath(path), codes, errors);
    return out.Flush();
  };
  switch (WriteWholeFile(fs, path, render).status) {
    case WholeOutput::kOk: return result;
    case WholeOutput::kCannotCreate: errors.ReportError(Quoted("Не удается создать файл журнала", path)); return -1;
    case WholeOutput::kWriteFailed: errors.ReportError(Quoted("Ошибка записи файла журнала", path)); return -1;
  }
  return -1;
}

}  // namespace tamlo::journal
