#include "device/config_history.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "config/crc32.h"

namespace tamlo::device {
namespace {

constexpr std::string_view kExtension = ".tamlo";
constexpr size_t kStampLength = 19;  // "2026-12-08_17-48-02"
constexpr unsigned kMaxSequence = 999;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsNameCharacter(unsigned char c) {
  // Bytes of multi-byte UTF-8 letters pass whole ("порт" stays readable).
  return c >= 0x80 || IsDigit(static_cast<char>(c)) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
         c == '-' || c == '_' || c == '.';
}

std::string SafeName(const std::string& text) {
  std::string out;
  // No '/' survives, and the prefix the caller puts in front keeps "." and
  // ".." from naming the root or its parent.
  for (unsigned char c : text) out += IsNameCharacter(c) ? static_cast<char>(c) : '_';
  return out;
}

// `folder` cut to kMaxDeviceFolderName bytes, `whole` (what it was made
// from) telling apart the names that begin alike.
std::string BoundedFolderName(const std::string& folder, const std::string& whole) {
  if (folder.size() <= kMaxDeviceFolderName) return folder;
  char checksum[16];
  std::snprintf(checksum, sizeof checksum, "-%08x",
                static_cast<unsigned>(Crc32(reinterpret_cast<const uint8_t*>(whole.data()), whole.size())));
  size_t cut = kMaxDeviceFolderName - std::strlen(checksum);
  // Never inside a multi-byte letter.
  while (cut > 0 && (static_cast<unsigned char>(folder[cut]) & 0xC0) == 0x80) --cut;
  return folder.substr(0, cut) + checksum;
}

}  // namespace

std::string DeviceFolderName(const std::string& serial_number, const std::string& port) {
  if (!serial_number.empty()) return BoundedFolderName("serial-" + SafeName(serial_number), serial_number);
  // A device path by its last part: "/dev/ttyUSB0" -> "ttyUSB0".
  const size_t slash = port.find_last_of('/');
  const std::string name = slash == std::string::npos || slash + 1 == port.size() ? port : port.substr(slash + 1);
  return BoundedFolderName("port-" + SafeName(name), name);
}

std::string HistoryFileName(const UtcDateTime& time, unsigned sequence, std::string_view kind) {
  char stamp[64];
  std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d_%02d-%02d-%02d_%03u_", time.year, time.month, time.day,
                time.hour, time.minute, time.second, sequence);
  return std::string(stamp) + std::string(kind) + std::string(kExtension);
}

std::optional<unsigned> HistorySequence(std::string_view name) {
  // stamp, '_', three digits, '_', a kind of at least one character, extension
  constexpr size_t kFixed = kStampLength + 5;
  if (name.size() < kFixed + 1 + kExtension.size()) return std::nullopt;
  if (name.substr(name.size() - kExtension.size()) != kExtension) return std::nullopt;
  constexpr std::string_view kPattern = "dddd-dd-dd_dd-dd-dd_ddd_";
  for (size_t i = 0; i < kPattern.size(); ++i) {
    if (kPattern[i] == 'd' ? !IsDigit(name[i]) : name[i] != kPattern[i]) return std::nullopt;
  }
  return static_cast<unsigned>((name[20] - '0') * 100 + (name[21] - '0') * 10 + (name[22] - '0'));
}

std::string ConfigHistory::Join(const std::string& folder, const std::string& name) const {
  return folder + m_folder.Separator() + name;
}

std::vector<std::string> ConfigHistory::List(const std::string& device) {
  std::vector<std::string> names = m_folder.ListNames(Join(m_root, device));
  names.erase(std::remove_if(names.begin(), names.end(),
                             [](const std::string& name) { return !HistorySequence(name); }),
              names.end());
  std::sort(names.begin(), names.end());
  return names;
}

std::optional<std::string> ConfigHistory::Keep(const std::string& device, std::string_view kind,
                                               const std::vector<uint8_t>& image) {
  const std::string folder = Join(m_root, device);
  if (!m_folder.MakeFolders(folder)) {
    m_last_error = m_folder.LastError();
    return std::nullopt;
  }
  const UtcDateTime now = m_folder.UtcNow();
  const std::string stamp = HistoryFileName(now, 0, kind).substr(0, kStampLength);
  std::vector<std::string> names = List(device);
  unsigned sequence = 1;
  for (const std::string& name : names) {
    if (name.compare(0, kStampLength, stamp) == 0) sequence = std::max(sequence, *HistorySequence(name) + 1);
  }
  for (; sequence <= kMaxSequence; ++sequence) {
    const std::string name = HistoryFileName(now, sequence, kind);
    const HistoryFolder::NewFile result = m_folder.WriteNewFile(Join(folder, name), image);
    if (result == HistoryFolder::NewFile::Failed) {
      m_last_error = m_folder.LastError();
      return std::nullopt;
    }
    if (result == HistoryFolder::NewFile::NameTaken) continue;
    // Room for the new file among the others, oldest first, but never the
    // file kept just before: the backup of the write whose image this is. A
    // file that cannot be removed stays and is tried again by the next one.
    size_t excess = names.size() + 1 > kHistoryDepth ? names.size() + 1 - kHistoryDepth : 0;
    for (auto old = names.begin(); excess > 0 && old != names.end(); ++old) {
      const std::string path = Join(folder, *old);
      if (path == m_last_kept) continue;
      m_folder.RemoveFile(path);
      --excess;
    }
    m_last_kept = Join(folder, name);
    return m_last_kept;
  }
  m_last_error = "все имена файлов этой секунды заняты";
  return std::nullopt;
}

}  // namespace tamlo::device
