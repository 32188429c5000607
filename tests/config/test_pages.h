#pragma once
// Small stand-ins for the settings pages, the dialogs and the service log, so
// the image and file operations run without any window.
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "config/config_page.h"
#include "config/config_tree.h"
#include "config/tagged_encoding.h"
#include "config/user_interface.h"

namespace tamlo::testing {

struct SeenField {
  uint32_t group = 0;  // 0 at the top level
  uint32_t group_repeat = 0;
  uint32_t id = 0;
  int kind = 0;
  int32_t value = 0;
  std::string bytes;
  uint32_t repeat = 0;
  bool operator==(const SeenField&) const = default;
};

// Takes the top-level ids in `takes`; a group field is walked with a nested
// visitor that takes the ids in `nested_takes`, the way real pages do.
class FakePage : public ConfigPage {
 public:
  std::set<uint32_t> takes;
  std::set<uint32_t> nested_takes;
  std::function<void(ConfigTree&)> store;
  std::vector<SeenField> seen;
  int resets = 0;
  int after_loads = 0;
  std::vector<std::string>* journal = nullptr;  // shared call order
  std::string name;

  void ResetToDefaults() override {
    ++resets;
    seen.clear();
    if (journal) journal->push_back("reset " + name);
  }

  int LoadFromConfig(int kind, uint32_t id, int32_t value, const uint8_t* data, size_t length,
                     uint32_t repeat) override {
    if (!takes.count(id)) return 0;
    seen.push_back({0, 0, id, kind, value, Bytes(data, length), repeat});
    if (kind != kFieldGroup) return 1;
    struct Ctx { FakePage* page; uint32_t group; uint32_t group_repeat; } ctx{this, id, repeat};
    return WalkConfig(data, length, [&ctx](uint32_t code, int32_t v, const uint8_t* d, size_t n, uint32_t rep) {
      if (!ctx.page->nested_takes.count(FieldCodeId(code))) return 0;
      ctx.page->seen.push_back({ctx.group, ctx.group_repeat, FieldCodeId(code), static_cast<int>(FieldCodeKind(code)),
                                v, Bytes(d, n), rep});
      return 1;
    });
  }

  void StoreToConfig(ConfigTree& tree) override {
    if (journal) journal->push_back("store " + name);
    if (store) store(tree);
  }

  void AfterLoad() override { ++after_loads; }

 private:
  static std::string Bytes(const uint8_t* data, size_t length) {
    return data ? std::string(reinterpret_cast<const char*>(data), length) : std::string();
  }
};

struct ShownMessage {
  std::string text;
  std::string caption;
  MessageIcon icon = MessageIcon::None;
};

class ScriptedDialogs : public UserDialogs {
 public:
  std::deque<std::optional<std::string>> choices;  // answers of the file dialogs, in order
  std::vector<FileDialogRequest> requests;
  std::vector<ShownMessage> messages;

  std::optional<std::string> ChooseFile(const FileDialogRequest& request) override {
    requests.push_back(request);
    if (choices.empty()) return std::nullopt;
    auto c = choices.front();
    choices.pop_front();
    return c;
  }
  MessageResult ShowMessage(std::string_view text, std::string_view caption, MessageIcon icon, MessageButtons,
                            MessageResult) override {
    messages.push_back({std::string(text), std::string(caption), icon});
    return MessageResult::Ok;
  }
};

class RecordingLog : public ServiceLog {
 public:
  std::vector<std::string> lines;
  void LogInfo(std::string_view text) override { lines.emplace_back(text); }
};

inline std::vector<uint8_t> Hex(std::initializer_list<int> bytes) {
  std::vector<uint8_t> out;
  for (int b : bytes) out.push_back(static_cast<uint8_t>(b));
  return out;
}

}  // namespace tamlo::testing
