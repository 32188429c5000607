#include "device/device_window_rig.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace tamlo::device::testing {

std::optional<std::string> FolderDesktop::CreatePrivateTempFile(std::string_view name_template) {
  templates.emplace_back(name_template);
  if (folder.empty()) return std::nullopt;
  std::string path = folder + "/" + std::string(name_template);
  const size_t x = path.rfind("XXXXXX");
  if (x == std::string::npos) return std::nullopt;
  path.replace(x, 6, std::to_string(100000 + created.size()));
  // The names count up in a fresh test folder: one that exists is a fault.
  std::error_code ec;
  if (std::filesystem::exists(path, ec) || !std::ofstream(path, std::ios::binary)) return std::nullopt;
  std::filesystem::permissions(path, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write, ec);
  created.push_back(path);
  return path;
}

std::vector<std::string> MemoryHistoryFolder::ListNames(const std::string& folder) {
  std::vector<std::string> names;
  const std::string prefix = folder + "/";
  for (const auto& [path, bytes] : files) {
    if (path.rfind(prefix, 0) == 0 && path.find('/', prefix.size()) == std::string::npos)
      names.push_back(path.substr(prefix.size()));
  }
  return names;
}

HistoryFolder::NewFile MemoryHistoryFolder::WriteNewFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  if (const auto raced = std::find(taken.begin(), taken.end(), path); raced != taken.end()) {
    taken.erase(raced);
    files[path] = {0xEE};  // another program's file: must survive
    return NewFile::NameTaken;
  }
  if (files.count(path) != 0) return NewFile::NameTaken;
  if (fail_writes) return NewFile::Failed;
  files[path] = bytes;
  return NewFile::Written;
}

UtcDateTime MemoryHistoryFolder::UtcNow() {
  const UtcDateTime current = now;
  if (tick && ++now.second == 60) {
    now.second = 0;
    ++now.minute;
  }
  return current;
}

std::vector<std::string> MemoryHistoryFolder::Names(const std::string& device) {
  std::vector<std::string> names = ListNames(std::string(kHistoryRoot) + "/" + device);
  std::sort(names.begin(), names.end());
  return names;
}

int RecordingProgress::Exchanges() const { return static_cast<int>(std::count(events.begin(), events.end(), "begin")); }

Rig::Rig(sim::DeviceSettings device_settings, uint32_t baud)
    : device(std::make_shared<sim::SimDevice>(std::move(device_settings), sim::Faults{}, baud)),
      port(device, clock),
      model(DeviceWindowSeams{
          .dialogs = dialogs,
          .files = SystemFileSystem(),
          .port = port,
          .clock = clock,
          .pump = pump,
          .ports = ports,
          .settings = settings,
          .desktop = desktop,
          .progress = progress,
          .prompt = prompt,
          .phone_book = phone_book,
          .main_window = main_window,
          .gsm_status = gsm,
          .pages = pages.Set(),
          .event_codes = codes,
          .history = history,
          .differences = differences,
          .log_time_text = [] { return std::string("08.12.2026 17:35:02"); },
      }) {}

void Rig::Start(std::vector<std::string> port_names) {
  ports.names = std::move(port_names);
  model.FormCreate();
  model.FormShow();
}

std::vector<std::string> Rig::TakeBoxes() {
  std::vector<std::string> texts = dialogs.Texts();
  dialogs.boxes.clear();
  return texts;
}

}  // namespace tamlo::device::testing
