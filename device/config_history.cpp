#include "device/config_history.h"

#include <algorithm>
#include <cstdio>

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

}  // namespace

std::string DeviceFolderName(const std::string& serial_number, const std::string& port) {
  if (!serial_number.empty()) return "serial-" + SafeName(serial_number);
  // A device path by its last part: "/dev/ttyUSB0" -> "ttyUSB0".
  const size_t slash = port.find_last_of('/');
  const std::string name = slash == std::string::npos || slash + 1 == port.size() ? port : port.substr(slash + 1);
  return "port-" + SafeName(name);
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

std::vector<std::string> ConfigHistory::List(const std::string& device) {
  std::vector<std::string> names = m_folder.ListNames(m_root + "/" + device);
  names.erase(std::remove_if(names.begin(), names.end(),
                             [](const std::string& name) { return !HistorySequence(name); }),
              names.end());
  std::sort(names.begin(), names.end());
  return names;
}

std::optional<std::string> ConfigHistory::Keep(const std::string& device, std::string_view kind,
                                               const std::vector<uint8_t>& image) {
  const std::string folder = m_root + "/" + device;
  if (!m_folder.MakeFolders(folder)) return std::nullopt;
  const UtcDateTime now = m_folder.UtcNow();
  const std::string stamp = HistoryFileName(now, 0, kind).substr(0, kStampLength);
  std::vector<std::string> names = List(device);
  unsigned sequence = 1;
  for (const std::string& name : names) {
    if (name.compare(0, kStampLength, stamp) == 0) sequence = std::max(sequence, *HistorySequence(name) + 1);
  }
  for (; sequence <= kMaxSequence; ++sequence) {
    const std::string name = HistoryFileName(now, sequence, kind);
    const HistoryFolder::NewFile result = m_folder.WriteNewFile(folder + "/" + name, image);
    if (result == HistoryFolder::NewFile::Failed) return std::nullopt;
    if (result == HistoryFolder::NewFile::NameTaken) continue;
    names.insert(std::upper_bound(names.begin(), names.end(), name), name);
    // Oldest first; a file that cannot be removed stays and is tried again
    // by the next backup.
    for (size_t i = 0; i + kHistoryDepth < names.size(); ++i) m_folder.RemoveFile(folder + "/" + names[i]);
    return folder + "/" + name;
  }
  return std::nullopt;
}

}  // namespace tamlo::device
