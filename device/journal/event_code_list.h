#pragma once
// The event code list: "ademco.txt" beside the program, one Contact ID event
// code per line with its description. The main window reads it once at
// start-up; the code picker lists it and the journal export uses it to
// describe Contact ID events.
//
// File format (Windows-1251 text, one entry per line):
//   - a line is cut into fields at ';';
//   - a double quote switches quoting on and off and is itself dropped; a ';'
//     inside quotes belongs to the field; a backslash is an ordinary character;
//     there are no comments;
//   - field n is the text between the (n-1)-th and the n-th separator, two
//     adjacent separators give an empty field, and the field after the last
//     separator exists only when at least one character follows it;
//   - field 1 is the event code, exactly three decimal digits (anything else
//     makes the line a non-entry: headers, blank lines, "13A");
//   - field 2 is the description, field 3 (optional) the restoral's
//     description.
// Example: 130;Тревога;Восстановление  -> code 130, "Тревога", "Восстановление".
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "config/file_system.h"

namespace tamlo::journal {

// The file's lines as raw Windows-1251 bytes, line ends (CR LF, LF or a lone
// CR) stripped, in file order. Lines that are not entries stay in the list.
using EventCodeList = std::vector<std::string>;

inline constexpr const char* kEventCodeFileName = "ademco.txt";
// A list above this size is not read (the shipped one is a few KiB).
inline constexpr size_t kMaxEventCodeFileBytes = 16 * 1024 * 1024;

// Reads "ademco.txt" from `folder`; on a case-sensitive file system the name
// is matched without regard to letter case ("Ademco.txt", "ADEMCO.TXT"), an
// exact match winning. A missing or unreadable file gives an empty list and
// reports nothing: the picker warns about it when it opens.
EventCodeList LoadEventCodeList(FileSystem& fs, const std::filesystem::path& folder);

// The program's list: LoadEventCodeList of the program's folder, or, when
// that finds nothing, of the installed data folder (kDataFolderFromProgram
// from the program's folder, "../share/tamlocfg").
EventCodeList LoadProgramEventCodeList(FileSystem& fs, const std::filesystem::path& program_folder);

// Reads one named file the same way (the console tool's --codes FILE).
EventCodeList LoadEventCodeFile(FileSystem& fs, const std::filesystem::path& file);

// Cuts file contents into lines.
EventCodeList SplitEventCodeLines(std::string_view bytes);

// Cuts one line into its fields by the rules above; nothing is trimmed. An
// empty line has no fields.
std::vector<std::string> SplitEventCodeFields(std::string_view line);

// True when `field` is exactly three decimal digits.
bool IsEventCodeField(std::string_view field);

// One row of the code picker.
struct EventCodeRow {
  std::string code;   // field 1, three decimal digits
  std::string value;  // UTF-8: field 2 unchanged, then " ; " and field 3 when the line has one
};

// The picker's rows, in file order. A line is skipped when its field 1 is not
// a three-digit code or its field 2 is missing or blank after trimming. Equal
// codes give several rows.
std::vector<EventCodeRow> EventCodeRows(const EventCodeList& list);

}  // namespace tamlo::journal
