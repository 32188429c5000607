#pragma once
// The file side of a journal export: the device window's "Сохранить в файл"
// and "Посмотреть", and the console tool's journal commands.
//
// The table goes into a replacement file (a temporary file in the target's
// folder, renamed over the target on commit) that is committed only after the
// device has delivered the journal and every byte was written: a failed read
// or write never leaves a truncated file in place of an existing one, and a
// failed read leaves no new file behind.
#include <functional>
#include <string>

#include "config/file_system.h"
#include "device/journal/event_code_list.h"
#include "device/journal/journal_errors.h"

namespace tamlo::journal {

// HTML when the extension is ".htm" or ".html" in any letter case.
bool IsHtmlJournalPath(const std::string& path);

// Fetches the journal bytes; negative on failure (the link has already
// reported it).
using JournalReader = std::function<int(std::string& journal)>;

// Checks that the output can be written, reads the journal, creates the
// output, renders the journal into it (HTML by the extension, CR LF line
// ends) and puts the file in place. Returns the result of the
// rendering: 1 for a whole journal, -1 for a damaged one (the rows before the
// damage are kept in the file). Returns -1 without a file when the output
// cannot be created ("Не удается создать файл журнала "%s""), when the read
// fails, or when writing fails ("Ошибка записи файла журнала "%s"").
// `path` is UTF-8 text, handed to the file seam as it is: a round trip
// through std::filesystem::path would change its bytes on Windows.
int ExportJournal(const std::string& path, const JournalReader& read, const EventCodeList& codes,
                  JournalErrors& errors, FileSystem& fs);

}  // namespace tamlo::journal
