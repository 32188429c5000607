#include "config/config_tree.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "config/byte_order.h"
#include "config/cp1251.h"
#include "config/settings_registry.h"
#include "config/tagged_encoding.h"

namespace tamlo {
namespace {

// Up to 21 bits travel as a varint of at most three bytes; anything wider is
// no shorter than the fixed four bytes.
constexpr int32_t kMaxVarintValue = 0x1FFFFF;

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

}  // namespace

ConfigTree::ConfigTree() = default;
ConfigTree::~ConfigTree() = default;
ConfigTree::ConfigTree(ConfigTree&&) noexcept = default;
ConfigTree& ConfigTree::operator=(ConfigTree&&) noexcept = default;

ConfigEntry& ConfigTree::Insert(uint32_t id, EncodingType type) {
  if (id > kMaxParameterId) throw std::out_of_range("ConfigTree: parameter id " + std::to_string(id) + " too large");
  if (!m_entries.empty() && m_entries.back().id > id) m_ordered = false;
  ConfigEntry& entry = m_entries.emplace_back();
  entry.id = id;
  entry.type = type;
  return entry;
}

const std::vector<ConfigEntry>& ConfigTree::Ordered() const {
  // Stable: among equal ids the put order is the repeat index.
  if (!m_ordered)
    std::stable_sort(m_entries.begin(), m_entries.end(),
                     [](const ConfigEntry& a, const ConfigEntry& b) { return a.id < b.id; });
  m_ordered = true;
  return m_entries;
}

void ConfigTree::PutInt(uint32_t id, int32_t value, std::string_view setting, uint32_t min_version) {
  NoteSetting(setting, min_version);
  if (value >= 0 && value <= kMaxVarintValue) {
    AppendVarint(Insert(id, kTypeVarint).value, static_cast<uint32_t>(value));
  } else if (value < 0 && value >= -kMaxVarintValue) {
    AppendVarint(Insert(id, kTypeNegVarint).value, static_cast<uint32_t>(-value));
  } else {
    AppendLe32(Insert(id, kTypeFixed32).value, static_cast<uint32_t>(value));
  }
}

void ConfigTree::PutString(uint32_t id, std::string_view utf8, std::string_view setting, uint32_t min_version) {
  NoteSetting(setting, min_version);
  const std::string text = Utf8ToCp1251(utf8);
  std::vector<uint8_t>& bytes = Insert(id, kTypeBytes).value;
  bytes.assign(text.begin(), text.end());
  bytes.push_back(0);
}

void ConfigTree::PutTrimmedString(uint32_t id, std::string_view utf8, std::string_view setting,
                                  uint32_t min_version) {
  const std::string_view trimmed = TrimText(utf8);
  if (trimmed.empty()) return;
  PutString(id, trimmed, setting, min_version);
}

void ConfigTree::PutGroup(uint32_t id, ConfigTree nested) {
  Insert(id, kTypeGroup).group = std::make_unique<ConfigTree>(std::move(nested));
}

std::string_view TrimText(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  return TrimTextRight(text);
}

std::string_view TrimTextRight(std::string_view text) {
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace tamlo
