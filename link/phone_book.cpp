#include "link/phone_book.h"

#include <filesystem>

#include "config/cp1251.h"
#include "config/utf8_path.h"
#include "config/whole_input.h"
#include "config/whole_output.h"
#include "link/text_format.h"

namespace tamlo::link {

std::string PhoneBookPath(const std::string& user_data_folder, const std::string& program_folder,
                          FileSystem& files) {
  if (user_data_folder.empty()) return Utf8OfPath(PathOfUtf8(program_folder) / kPhoneBookFileName);
  const std::filesystem::path folder = PathOfUtf8(user_data_folder) / kPhoneBookFolderName;
  files.MakeFolders(Utf8OfPath(folder));  // a failure shows later as a failed load or save
  return Utf8OfPath(folder / kPhoneBookFileName);
}

LoadedPhoneBook LoadPhoneBook(const std::string& path, FileSystem& files) {
  LoadedPhoneBook book;
  std::string bytes;
  FileProblem problem;
  const auto reason = [&problem] { return problem.text.empty() ? "ошибка чтения" : problem.text.c_str(); };
  switch (ReadWholeInput(files, path, kMaxPhoneBookBytes, bytes, problem)) {
    case WholeInput::kOk: break;
    case WholeInput::kCannotOpen:
      // No file yet (the first run) is an empty book that may be saved.
      if (!problem.missing) book.problem = Format("не удается открыть файл \"%s\": %s", path.c_str(), reason());
      return book;
    case WholeInput::kTooLarge:
      book.problem = Format("файл \"%s\" больше 1 МБ", path.c_str());
      return book;
    case WholeInput::kReadFailed:
      book.problem = Format("ошибка чтения файла \"%s\": %s", path.c_str(), reason());
      return book;
  }
  std::vector<PhoneBookRow>& rows = book.rows;

  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find('\n', start);
    if (end == std::string::npos) end = bytes.size();
    std::string line = bytes.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;  // an empty row is written as "=", so this is no row
    const size_t eq = line.find('=');
    PhoneBookRow row;
    row.phone = tamlo::Cp1251ToUtf8(line.substr(0, eq));
    if (eq != std::string::npos) row.comment = tamlo::Cp1251ToUtf8(line.substr(eq + 1));
    rows.push_back(std::move(row));
  }
  return book;
}

bool SavePhoneBook(const std::string& path, const std::vector<PhoneBookRow>& rows, std::string& error,
                   FileSystem& files) {
  std::string bytes;
  for (const PhoneBookRow& row : rows) {
    // Line breaks inside a cell would split the row in two on the next load.
    auto one_line = [](std::string text) {
      for (char& c : text)
        if (c == '\r' || c == '\n') c = ' ';
      return tamlo::Utf8ToCp1251(text);
    };
    bytes += one_line(row.phone) + "=" + one_line(row.comment) + "\r\n";
  }
  const WholeOutputResult written =
      WriteWholeFile(files, path, std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
  if (!written.ok())
    error = Format("Не удается сохранить файл \"%s\": %s", path.c_str(),
                   written.problem.empty() ? "ошибка записи" : written.problem.c_str());
  return written.ok();
}

std::string UsableNumber(const std::string& phone) {
  std::string number;
  for (char c : phone)
    if (c == '+' || (c >= '0' && c <= '9')) number += c;
  return number;
}

}  // namespace tamlo::link
