// The file loader on arbitrary bytes: ConfigFiles::OpenConfigFile over an
// in-memory file, with two pages that take some top-level integers and one
// group each and walk the group's content themselves. A file that loads
// cleanly is saved again and reopened; the pages must then hold the same
// values (store and load agree for every value the walk can deliver).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "config/config_files.h"
#include "config/config_tree.h"
#include "config/cp1251.h"
#include "config/tagged_encoding.h"

namespace {

using namespace tamlo;

void Check(bool ok) {
  if (!ok) std::abort();
}

class MemoryFileSystem : public FileSystem {
 public:
  std::map<std::string, std::string> files;

  std::unique_ptr<InputFile> OpenRead(const std::string& path, FileProblem& problem) override {
    auto it = files.find(path);
    if (it == files.end()) {
      problem = {"No such file or directory", true};
      return nullptr;
    }
    struct In : InputFile {
      const std::string& bytes;
      size_t pos = 0;
      explicit In(const std::string& b) : bytes(b) {}
      size_t Read(uint8_t* buffer, size_t n) override {
        const size_t part = std::min(n, bytes.size() - pos);
        if (part) std::memcpy(buffer, bytes.data() + pos, part);
        pos += part;
        return part;
      }
      uint64_t Size() const override { return bytes.size(); }
    };
    return std::make_unique<In>(it->second);
  }

  std::unique_ptr<ReplacementFile> CreateReplacement(const std::string& target, FileProblem&) override {
    struct Out : ReplacementFile {
      MemoryFileSystem& fs;
      std::string target, bytes;
      Out(MemoryFileSystem& f, std::string t) : fs(f), target(std::move(t)) {}
      size_t Write(const uint8_t* d, size_t n) override {
        bytes.append(reinterpret_cast<const char*>(d), n);
        return n;
      }
      std::string Commit() override {
        fs.files[target] = bytes;
        return {};
      }
      void Discard() override {}
    };
    return std::make_unique<Out>(*this, target);
  }
};

class Dialogs : public UserDialogs {
 public:
  std::string name;
  int messages = 0;
  std::optional<std::string> ChooseFile(const FileDialogRequest&) override { return name; }
  MessageResult ShowMessage(std::string_view, std::string_view, MessageIcon, MessageButtons, MessageResult) override {
    ++messages;
    return MessageResult::Ok;
  }
};

struct Nested {
  uint32_t id;
  FieldKind kind;
  int32_t value;
  std::string text;  // 1251 bytes without the terminating zero
  bool operator==(const Nested&) const = default;
};

// Takes integers with ids in [first, last] and the groups of `group`, whose
// content may hold integers and texts with ids 1..8.
class FuzzPage : public ConfigPage {
 public:
  FuzzPage(uint32_t first, uint32_t last, uint32_t group) : m_first(first), m_last(last), m_group(group) {}

  std::vector<std::pair<uint32_t, int32_t>> ints;
  std::vector<std::vector<Nested>> groups;

  void ResetToDefaults() override {
    ints.clear();
    groups.clear();
  }

  int LoadFromConfig(int kind, uint32_t id, int32_t value, const uint8_t* data, size_t length, uint32_t) override {
    if (kind == kFieldInteger && id >= m_first && id <= m_last) {
      ints.emplace_back(id, value);
      return 1;
    }
    if (kind != kFieldGroup || id != m_group) return 0;
    groups.emplace_back();
    return WalkConfig(data, length, &NestedVisitor, &groups.back());
  }

  void StoreToConfig(ConfigTree& tree) override {
    for (auto [id, value] : ints) tree.PutInt(id, value);
    for (const auto& fields : groups) {
      ConfigTree nested;
      for (const Nested& f : fields) {
        if (f.kind == kFieldInteger) nested.PutInt(f.id, f.value);
        else nested.PutString(f.id, Cp1251ToUtf8(f.text));
      }
      tree.PutGroup(m_group, std::move(nested));
    }
  }

  // Empty groups at the end are dropped by the encoding; the rest must match.
  std::vector<std::vector<Nested>> KeptGroups() const {
    auto g = groups;
    while (!g.empty() && g.back().empty()) g.pop_back();
    return g;
  }

 private:
  static int NestedVisitor(uint32_t code, int32_t value, const uint8_t* data, size_t length, uint32_t, void* user) {
    auto& fields = *static_cast<std::vector<Nested>*>(user);
    const uint32_t id = FieldCodeId(code);
    const FieldKind kind = FieldCodeKind(code);
    if (id < 1 || id > 8) return 0;
    if (kind == kFieldInteger) fields.push_back({id, kind, value, {}});
    else if (kind == kFieldText) fields.push_back({id, kind, 0, std::string(reinterpret_cast<const char*>(data), length - 1)});
    else return 0;
    return 1;
  }

  uint32_t m_first, m_last, m_group;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzPage general(256, 261, 1), directions(262, 267, 2);
  PageSet pages;
  pages.top = {&general, &directions};
  MemoryFileSystem fs;
  fs.files["in.tamlo"].assign(reinterpret_cast<const char*>(data), size);
  Dialogs dialogs;
  dialogs.name = "in.tamlo";
  ConfigFiles files(pages, dialogs, fs);
  const bool clean = files.OpenConfigFile();
  Check(clean == (dialogs.messages == 0));
  Check(clean == !files.CurrentFileName().empty());
  if (!clean) return 0;

  const auto ints1 = general.ints, ints2 = directions.ints;
  const auto groups1 = general.KeptGroups(), groups2 = directions.KeptGroups();
  Check(files.SaveConfigFile("out.tamlo"));
  dialogs.name = "out.tamlo";
  Check(files.OpenConfigFile());
  Check(general.ints == ints1 && directions.ints == ints2);
  Check(general.KeptGroups() == groups1 && directions.KeptGroups() == groups2);
  return 0;
}
