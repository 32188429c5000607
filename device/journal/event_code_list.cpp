#include "device/journal/event_code_list.h"

#include <algorithm>

#include "config/cp1251.h"
#include "config/utf8_path.h"
#include "config/whole_input.h"
#include "tamlo_version.h"

namespace tamlo::journal {
namespace {

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

// Blank in the sense of the picker's trimming: control characters and spaces.
bool IsBlank(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) <= ' '; });
}

}  // namespace

EventCodeList SplitEventCodeLines(std::string_view bytes) {
  EventCodeList lines;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      lines.emplace_back(bytes.substr(start));
      break;
    }
    lines.emplace_back(bytes.substr(start, end - start));
    start = end + 1;
    if (bytes[end] == '\r' && start < bytes.size() && bytes[start] == '\n') ++start;
  }
  return lines;
}

EventCodeList LoadEventCodeFile(FileSystem& fs, const std::filesystem::path& file) {
  std::string bytes;
  FileProblem problem;
  if (ReadWholeInput(fs, Utf8OfPath(file), kMaxEventCodeFileBytes, bytes, problem) != WholeInput::kOk) return {};
  return SplitEventCodeLines(bytes);
}

EventCodeList LoadEventCodeList(FileSystem& fs, const std::filesystem::path& folder) {
  // The exact name wins; otherwise the smallest name that matches without
  // regard to case, so the choice does not depend on the order of the
  // folder's listing.
  std::string found;
  for (const std::string& name : fs.RegularFileNames(Utf8OfPath(folder))) {
    if (!EqualsIgnoringAsciiCase(name, kEventCodeFileName)) continue;
    if (name == kEventCodeFileName) {
      found = name;
      break;
    }
    if (found.empty() || name < found) found = name;
  }
  if (found.empty()) return {};
  return LoadEventCodeFile(fs, folder / PathOfUtf8(found));
}

EventCodeList LoadProgramEventCodeList(FileSystem& fs, const std::filesystem::path& program_folder) {
  EventCodeList list = LoadEventCodeList(fs, program_folder);
  if (list.empty()) list = LoadEventCodeList(fs, program_folder / kDataFolderFromProgram);
  return list;
}

std::vector<std::string> SplitEventCodeFields(std::string_view line) {
  std::vector<std::string> fields;
  if (line.empty()) return fields;
  std::string field;
  bool quoted = false;
  size_t after_separator = 0;  // raw characters since the last separator
  for (char c : line) {
    if (c == '"') {
      quoted = !quoted;
      ++after_separator;
    } else if (c == ';' && !quoted) {
      fields.push_back(std::move(field));
      field.clear();
      after_separator = 0;
    } else {
      field += c;
      ++after_separator;
    }
  }
  // The field after the last separator exists only when something follows
  // it (a pair of quotes counts: it is an explicitly empty field).
  if (after_separator > 0) fields.push_back(std::move(field));
  return fields;
}

bool IsEventCodeField(std::string_view field) {
  return field.size() == 3 &&
         std::all_of(field.begin(), field.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::vector<EventCodeRow> EventCodeRows(const EventCodeList& list) {
  std::vector<EventCodeRow> rows;
  for (const std::string& line : list) {
    const std::vector<std::string> fields = SplitEventCodeFields(line);
    if (fields.empty() || !IsEventCodeField(fields[0])) continue;
    if (fields.size() < 2 || IsBlank(fields[1])) continue;
    std::string value = fields[1];
    if (fields.size() >= 3) value += " ; " + fields[2];
    rows.push_back({fields[0], Cp1251ToUtf8(value)});
  }
  return rows;
}

}  // namespace tamlo::journal
