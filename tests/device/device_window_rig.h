#pragma once
// The device window's model with every seam replaced by a scripted double and
// the link running against the in-process simulated device on a fake clock:
// no window, no real port, no sleeping.
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "config/system_file_system.h"
#include "device/device_window.h"
#include "link/clock.h"
#include "pages/settings_pages.h"
#include "sim/sim_device.h"
#include "sim/sim_port.h"

namespace tamlo::device::testing {

struct ShownBox {
  std::string text;
  std::string caption;
  MessageIcon icon = MessageIcon::None;
  MessageButtons buttons = MessageButtons::Ok;
  MessageResult default_button = MessageResult::Ok;
};

class ScriptedDialogs final : public UserDialogs {
 public:
  std::deque<std::optional<std::string>> files;  // answers of the file dialogs; none left: cancelled
  std::deque<MessageResult> answers;            // answers of OK/Cancel boxes; none left: OK
  std::vector<FileDialogRequest> file_requests;
  std::vector<ShownBox> boxes;

  std::optional<std::string> ChooseFile(const FileDialogRequest& request) override {
    file_requests.push_back(request);
    if (files.empty()) return std::nullopt;
    std::optional<std::string> answer = files.front();
    files.pop_front();
    return answer;
  }
  MessageResult ShowMessage(std::string_view text, std::string_view caption, MessageIcon icon,
                            MessageButtons buttons, MessageResult default_button) override {
    boxes.push_back({std::string(text), std::string(caption), icon, buttons, default_button});
    if (buttons != MessageButtons::OkCancel || answers.empty()) return MessageResult::Ok;
    const MessageResult answer = answers.front();
    answers.pop_front();
    return answer;
  }
  std::vector<std::string> Texts() const {
    std::vector<std::string> out;
    for (const ShownBox& b : boxes) out.push_back(b.text);
    return out;
  }
};

// Values keep their type, as the registry does: a text read as a number (or
// the other way round) is nothing.
class MemorySettings final : public SettingsStore {
 public:
  std::map<std::string, std::variant<std::string, uint32_t>, std::less<>> values;

  std::optional<std::string> ReadText(std::string_view name) override {
    const auto it = values.find(name);
    if (it == values.end() || !std::holds_alternative<std::string>(it->second)) return std::nullopt;
    return std::get<std::string>(it->second);
  }
  std::optional<uint32_t> ReadNumber(std::string_view name) override {
    const auto it = values.find(name);
    if (it == values.end() || !std::holds_alternative<uint32_t>(it->second)) return std::nullopt;
    return std::get<uint32_t>(it->second);
  }
  void WriteText(std::string_view name, const std::string& value) override { values[std::string(name)] = value; }
  void WriteNumber(std::string_view name, uint32_t value) override { values[std::string(name)] = value; }
};

class FixedPorts final : public PortEnumerator {
 public:
  std::vector<std::string> names;
  std::vector<std::string> EnumerateComPorts() override { return names; }
};

// Creates the temporary file in `folder` the way the real desktop does
// (exclusively, owner only); without a folder there is no temporary folder.
class FolderDesktop final : public Desktop {
 public:
  std::string folder;
  std::vector<std::string> templates;
  std::vector<std::string> created;
  std::vector<std::string> opened;
  bool viewer = true;  // false: no program opens the file

  std::optional<std::string> CreatePrivateTempFile(std::string_view name_template) override;
  bool OpenWithDefaultHandler(const std::string& path) override {
    opened.push_back(path);
    return viewer;
  }
};

class RecordingProgress final : public ProgressView {
 public:
  std::vector<std::string> events;  // "begin", "step TEXT/MAX", "hide", "end"
  std::vector<uint32_t> positions;
  std::vector<std::string> wait_texts;  // each change, "" included
  std::function<void()> cancel;  // the "Отмена" button of the running exchange
  std::function<void(const std::string&)> on_step;  // e.g. the user cancels at a step

  void Begin(std::function<void()> cancel_request) override {
    events.push_back("begin");
    cancel = std::move(cancel_request);
  }
  void SetStep(const std::string& text, uint32_t maximum) override {
    events.push_back("step " + text + "/" + std::to_string(maximum));
    if (on_step) on_step(text);
  }
  void SetPosition(uint32_t position) override { positions.push_back(position); }
  void SetWaitText(const std::string& text) override { wait_texts.push_back(text); }
  void Hide() override { events.push_back("hide"); }
  void End() override {
    events.push_back("end");
    cancel = nullptr;
  }
  int Exchanges() const;
};

class ScriptedPrompt final : public EntryPrompt {
 public:
  std::deque<std::optional<std::string>> answers;  // none left: cancelled
  std::vector<EntryRequest> requests;
  std::optional<std::string> Ask(const EntryRequest& request) override {
    requests.push_back(request);
    if (answers.empty()) return std::nullopt;
    std::optional<std::string> answer = answers.front();
    answers.pop_front();
    return answer;
  }
};

class ScriptedPhoneBook final : public PhoneBookPicker {
 public:
  std::optional<DialTarget> choice;
  int shown = 0;
  std::optional<DialTarget> ChooseNumber() override {
    ++shown;
    return choice;
  }
};

class RecordingMainWindow final : public MainWindowControl {
 public:
  std::vector<std::string> events;
  void SetActiveWindowEnabled(bool enabled) override { events.push_back(enabled ? "enable" : "disable"); }
  void SetMainWindowVisible(bool visible) override { events.push_back(visible ? "show" : "hide"); }
  void StartConnectionClock() override { events.push_back("clock"); }
};

class RecordingGsmView final : public GsmStatusView {
 public:
  std::vector<std::string> events;  // "show", "status", "close"
  std::function<void()> cancel;     // closing the window
  void Show(std::function<void()> cancel_request) override {
    events.push_back("show");
    cancel = std::move(cancel_request);
  }
  void ShowStatus(const uint8_t*, size_t) override { events.push_back("status"); }
  void Close() override { events.push_back("close"); }
};

// The history folder in memory: paths to contents, a UTC clock that ticks a
// second per file, and switches to fail creation or removal.
class MemoryHistoryFolder final : public HistoryFolder {
 public:
  std::map<std::string, std::vector<uint8_t>> files;
  UtcDateTime now{2026, 12, 8, 17, 48, 2};
  bool tick = true;          // each UtcNow() a second later
  bool fail_writes = false;  // every new file fails
  bool fail_folders = false;
  std::vector<std::string> taken;  // paths that report NameTaken once (raced)

  bool MakeFolders(const std::string&) override { return !fail_folders; }
  std::vector<std::string> ListNames(const std::string& folder) override;
  NewFile WriteNewFile(const std::string& path, const std::vector<uint8_t>& bytes) override;
  bool RemoveFile(const std::string& path) override { return files.erase(path) == 1; }
  UtcDateTime UtcNow() override;
  std::string LastError() const override { return "No space left on device"; }
  // The files of one device folder under the rig's root, by name.
  std::vector<std::string> Names(const std::string& device);
};

class RecordingDifferences final : public DifferenceView {
 public:
  std::vector<std::vector<DifferenceRow>> shown;
  void ShowDifferences(const std::vector<DifferenceRow>& rows) override { shown.push_back(rows); }
};

inline constexpr const char* kHistoryRoot = "/data/history";

class Rig {
 public:
  explicit Rig(sim::DeviceSettings device_settings = {}, uint32_t baud = sim::kDefaultBaud);

  // Creates and shows the page with these ports (the settings as given).
  void Start(std::vector<std::string> port_names = {"COM3"});
  // The boxes shown since the last call, and forgotten.
  std::vector<std::string> TakeBoxes();

  link::ManualClock clock{1000};
  link::ManualPump pump{clock};
  std::shared_ptr<sim::SimDevice> device;
  sim::SimPort port;

  ScriptedDialogs dialogs;
  MemorySettings settings;
  FixedPorts ports;
  FolderDesktop desktop;
  RecordingProgress progress;
  ScriptedPrompt prompt;
  ScriptedPhoneBook phone_book;
  RecordingMainWindow main_window;
  RecordingGsmView gsm;
  SettingsPages pages{dialogs};
  journal::EventCodeList codes;
  MemoryHistoryFolder history_folder;
  ConfigHistory history{history_folder, kHistoryRoot};
  RecordingDifferences differences;
  DeviceWindowModel model;
};

}  // namespace tamlo::device::testing
