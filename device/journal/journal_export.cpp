#include "device/journal/journal_export.h"

#include <cerrno>
#include <cstdio>
#include <random>
#include <span>
#include <system_error>

#include "device/journal/journal_render.h"

namespace tamlo::journal {
namespace {

std::string Lower(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

// Buffered stdio output that remembers the first failed write.
class FileJournalOutput : public JournalOutput {
 public:
  explicit FileJournalOutput(std::FILE* file) : m_file(file) {}
  void Write(std::string_view bytes) override {
    if (m_failed) return;
    if (std::fwrite(bytes.data(), 1, bytes.size(), m_file) != bytes.size()) m_failed = true;
  }
  bool failed() const { return m_failed; }

 private:
  std::FILE* m_file;
  bool m_failed = false;
};

// Opens a new file next to `target` that no one else is using ("x": fails
// when the name exists). Empty path when the folder cannot take one.
std::filesystem::path CreateTempBeside(const std::filesystem::path& target, std::FILE** file) {
  std::random_device seed;
  std::mt19937 random(seed());
  for (int attempt = 0; attempt < 50; ++attempt) {
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".%08x.part", static_cast<unsigned>(random()));
    std::filesystem::path temp = target;
    temp += suffix;
    *file = std::fopen(temp.c_str(), "wbx");
    if (*file) return temp;
    if (errno != EEXIST) break;
  }
  return {};
}

std::string Quoted(const char* message, const std::filesystem::path& path) {
  return std::string(message) + " \"" + path.string() + "\"";
}

}  // namespace

bool IsHtmlJournalPath(const std::filesystem::path& path) {
  const std::string extension = Lower(path.extension().string());
  return extension == ".htm" || extension == ".html";
}

int ExportJournal(const std::filesystem::path& path, const JournalReader& read, const EventCodeList& codes,
                  JournalErrors& errors) {
  std::FILE* file = nullptr;
  std::error_code ec;
  const std::filesystem::path temp = std::filesystem::is_directory(path, ec) ? std::filesystem::path()
                                                                             : CreateTempBeside(path, &file);
  if (temp.empty()) {
    errors.ReportError(Quoted("Не удается создать файл журнала", path));
    return -1;
  }
  auto discard = [&] {
    std::fclose(file);
    std::filesystem::remove(temp, ec);
  };

  std::string journal;
  if (read(journal) < 0) {
    discard();
    return -1;
  }

  FileJournalOutput out(file);
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(journal.data());
  const int result = RenderJournal(std::span(bytes, journal.size()), out, IsHtmlJournalPath(path), codes, errors);
  const bool flushed = std::fflush(file) == 0 && !std::ferror(file);
  if (out.failed() || !flushed) {
    discard();
    errors.ReportError(Quoted("Ошибка записи файла журнала", path));
    return -1;
  }
  if (std::fclose(file) == 0) std::filesystem::rename(temp, path, ec);
  else ec = std::make_error_code(std::errc::io_error);
  if (ec) {
    std::filesystem::remove(temp, ec);
    errors.ReportError(Quoted("Ошибка записи файла журнала", path));
    return -1;
  }
  return result;
}

}  // namespace tamlo::journal
