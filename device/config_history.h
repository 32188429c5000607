#pragma once
// The configuration history: before a configuration write the device's
// current configuration is read and kept, and so is the image written, as
// .tamlo files in a folder per device under the user's application data
// folder:
//
//   <root>/serial-123456789012/2026-12-08_17-48-02_001_read.tamlo
//   <root>/serial-123456789012/2026-12-08_17-48-03_002_written.tamlo
//   <root>/port-dev_ttyUSB0/...
//
// A name is the UTC date and time, a sequence number and the kind. The
// sequence number is one more than the highest among the names of the same
// second, so files kept within one second (the read and the written image
// of one write) still sort in the order they were kept. A file is created
// only when its name is new: a backup never overwrites an older one (a name
// taken meanwhile gets the next number).
// Only the newest kHistoryDepth files of a folder are kept: a new file makes
// room by removing the oldest of the others, never itself nor the file kept
// just before it (the backup read before the image written), even when
// older names sort after them (a PC clock that was once ahead). Files whose
// names are not of this form are never counted nor removed.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tamlo::device {

inline constexpr size_t kHistoryDepth = 50;

// The backup before a write, in the window and in the console: the log line
// for a device that holds no configuration (nothing to keep, the write goes
// ahead), and the start of the error for a read that is no configuration
// (the refusal of CheckDeviceImage follows; nothing is written).
inline constexpr const char* kNothingToBackUp = "Резервная копия не нужна: в устройстве нет конфигурации";
inline constexpr const char* kBackupRefused = "Резервная копия не сохранена: ";

struct UtcDateTime {
  int year = 1970;
  int month = 1;
  int day = 1;
  int hour = 0;
  int minute = 0;
  int second = 0;
};

// What the history needs of the world: folders, exclusive creation, removal
// and the UTC clock. The real one is SystemHistoryFolder()
// (device/system_history_folder.h); tests keep the files in memory.
class HistoryFolder {
 public:
  enum class NewFile { Written, NameTaken, Failed };

  virtual ~HistoryFolder() = default;
  // Creates `path` and its missing parents; true when it is a folder then.
  virtual bool MakeFolders(const std::string& path) = 0;
  // The names (not paths) of the entries of `folder`; empty when it cannot be
  // listed.
  virtual std::vector<std::string> ListNames(const std::string& folder) = 0;
  // Creates `path` only if no entry has that name and writes `bytes` into it.
  // A failed write leaves no file behind.
  virtual NewFile WriteNewFile(const std::string& path, const std::vector<uint8_t>& bytes) = 0;
  virtual bool RemoveFile(const std::string& path) = 0;
  virtual UtcDateTime UtcNow() = 0;
  // Why the last MakeFolders or WriteNewFile failed, as the system words it
  // ("No space left on device", "File name too long").
  virtual std::string LastError() const = 0;
  // What joins a folder and a name in the paths the history makes: one
  // separator throughout a path the user is shown.
  virtual char Separator() const { return '/'; }
};

// The longest device folder name in bytes: far below the 255 a file system
// allows for one name, with room for the checksum that shortening adds.
inline constexpr size_t kMaxDeviceFolderName = 64;

// The device's folder name: "serial-" and the serial number when the device
// reported one, else "port-" and the port's name (the last part of a path);
// characters other than letters, digits, '-', '_' and '.' (path separators
// among them) become '_'. A name longer than kMaxDeviceFolderName is cut (at
// a character's start) and ends in '-' and the CRC-32 of the whole serial
// number or port name in 8 hexadecimal digits, so two long names that begin
// alike keep apart.
std::string DeviceFolderName(const std::string& serial_number, const std::string& port);

// "2026-12-08_17-48-02_001_read.tamlo"
std::string HistoryFileName(const UtcDateTime& time, unsigned sequence, std::string_view kind);

// The sequence number of a history file name, or nothing for another name.
std::optional<unsigned> HistorySequence(std::string_view name);

class ConfigHistory {
 public:
  // `root`: the folder that holds the device folders.
  ConfigHistory(HistoryFolder& folder, std::string root) : m_folder(folder), m_root(std::move(root)) {}

  const std::string& root() const { return m_root; }

  // Keeps `image` in the folder `device` (DeviceFolderName) as a file of
  // `kind` ("read", "written") and drops the oldest files beyond
  // kHistoryDepth. The full path of the new file, or nothing when it could
  // not be written (nothing is dropped then; last_error() says why).
  std::optional<std::string> Keep(const std::string& device, std::string_view kind,
                                  const std::vector<uint8_t>& image);
  // Why the last Keep that failed did.
  const std::string& last_error() const { return m_last_error; }

  // The history file names of the device's folder, oldest first.
  std::vector<std::string> List(const std::string& device);

 private:
  std::string Join(const std::string& folder, const std::string& name) const;

  HistoryFolder& m_folder;
  std::string m_root;
  std::string m_last_error;
  std::string m_last_kept;  // path
};

}  // namespace tamlo::device
