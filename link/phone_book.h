#pragma once
// The modem phone book file: the numbers of the site devices the user calls.
//
// "TamloCfg_PhoneBook.ini" in the folder "Velmora" of the per-user
// application data folder (the roaming AppData folder on Windows,
// ~/.config elsewhere), or in the program's folder when that folder is not
// known. Despite the extension the file has no sections: Windows-1251 text,
// CR LF line ends, one row per line as "phone=comment", in row order.
//
// Plain C++: the caller passes the folders in, so the window only binds it.
#include <string>
#include <vector>

#include "config/file_system.h"

namespace tamlo::link {

inline constexpr char kPhoneBookFileName[] = "TamloCfg_PhoneBook.ini";
inline constexpr char kPhoneBookFolderName[] = "Velmora";

struct PhoneBookRow {
  std::string phone;    // UTF-8
  std::string comment;  // UTF-8
  bool operator==(const PhoneBookRow&) const = default;
};

// The phone book's path: <user_data_folder>/Velmora/TamloCfg_PhoneBook.ini,
// the Velmora folder being created when missing; <program_folder>/... when
// `user_data_folder` is empty.
std::string PhoneBookPath(const std::string& user_data_folder, const std::string& program_folder,
                          FileSystem& files);

// The largest book file read; a larger file is not one the program wrote.
inline constexpr size_t kMaxPhoneBookBytes = size_t{1} << 20;

struct LoadedPhoneBook {
  std::vector<PhoneBookRow> rows;
  // Why a file that is there could not be read whole (too large, no access,
  // a read error), for the user; empty when it was read or does not exist
  // yet. Such a book must never be saved: its rows would replace the file's.
  std::string problem;
};

// The rows of the file; a missing file gives an empty book, one that cannot
// be read whole an empty book and a problem.
LoadedPhoneBook LoadPhoneBook(const std::string& path, FileSystem& files);

// Replaces the file with the rows. On failure the previous file stays as it
// was and `error` holds a text for the user.
bool SavePhoneBook(const std::string& path, const std::vector<PhoneBookRow>& rows, std::string& error,
                   FileSystem& files);

// The number the modem dials: the phone text with everything but "+" and the
// digits removed ("+7 (1) 2" gives "+712"). Empty: the row is not usable.
std::string UsableNumber(const std::string& phone);

}  // namespace tamlo::link
