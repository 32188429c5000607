#pragma once
// ConfigTree: one configuration while it is being stored. The pages put their
// parameters into a fresh tree, EncodeConfig turns it into bytes, and the tree
// is thrown away; reading a configuration never builds a tree.
//
// The tree is an ordered multimap from parameter id to entry: ascending id,
// and among equal ids the put order, which becomes the repeat index once the
// tree is encoded and walked (SIM 1 before SIM 2, direction 1 before 2, ...).
// Ids are local to one tree; a nested group numbers its parameters from 1.
//
// Each entry already holds its value in the byte form of its encoding type:
//   type 0  non-negative varint   value 0 .. 2 097 151        (1..3 bytes)
//   type 1  negated varint        value -2 097 151 .. -1      (varint of -value)
//   type 2  fixed 32-bit          any other value             (4 bytes, little-endian)
//   type 4  byte string           Windows-1251 text + one terminating zero
//   type 5  group                 no value bytes; the nested tree is the content
// (type 3, fixed 64-bit, exists only on reading.)
//
// Strings: the put functions take UTF-8 (what the Qt pages hold) and store
// Windows-1251 bytes, converted with Utf8ToCp1251; a character with no 1251
// form becomes '?'. Walking hands the raw 1251 bytes back to the visitors.
//
// Every put may carry a setting name (UTF-8 display text) and the minimal
// firmware version (major * 100 + minor) that understands it; both go to the
// settings registry (NoteSetting). An empty name or version 0 records nothing.
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace tamlo {

enum EncodingType : uint8_t {
  kTypeVarint = 0,
  kTypeNegVarint = 1,
  kTypeFixed32 = 2,
  kTypeFixed64 = 3,
  kTypeBytes = 4,
  kTypeGroup = 5,
};

// The largest parameter id: the key (id * 16 + type) must stay below 2^28,
// the most a key varint can carry on reading.
inline constexpr uint32_t kMaxParameterId = 0xFFFFFF;

class ConfigTree;

struct ConfigEntry {
  uint32_t id = 0;
  EncodingType type = kTypeVarint;
  std::vector<uint8_t> value;          // encoded value bytes; empty for a group
  std::unique_ptr<ConfigTree> group;   // type 5 only
};

class ConfigTree {
 public:
  ConfigTree();
  ~ConfigTree();
  ConfigTree(ConfigTree&&) noexcept;
  ConfigTree& operator=(ConfigTree&&) noexcept;
  ConfigTree(const ConfigTree&) = delete;
  ConfigTree& operator=(const ConfigTree&) = delete;

  // Ids above kMaxParameterId are a programming error: std::out_of_range.
  void PutInt(uint32_t id, int32_t value, std::string_view setting = {}, uint32_t min_version = 0);
  void PutString(uint32_t id, std::string_view utf8, std::string_view setting = {}, uint32_t min_version = 0);
  // Trims spaces and control characters at both ends; an empty result puts
  // nothing and records no setting.
  void PutTrimmedString(uint32_t id, std::string_view utf8, std::string_view setting = {},
                        uint32_t min_version = 0);
  // The entry takes the nested tree over. No setting is recorded for a group.
  void PutGroup(uint32_t id, ConfigTree nested);

  // Entries in tree order.
  const std::vector<ConfigEntry>& entries() const { return Ordered(); }
  auto begin() const { return Ordered().begin(); }
  auto end() const { return Ordered().end(); }
  bool empty() const { return m_entries.empty(); }
  size_t size() const { return m_entries.size(); }

 private:
  ConfigEntry& Insert(uint32_t id, EncodingType type);
  const std::vector<ConfigEntry>& Ordered() const;

  // Entries in put order until they are read: the remote access list puts
  // its phones and notes in turn (3, 4, 3, 4, ...), so ordering each put
  // at once would move every later entry again, quadratic in the rows.
  // Ordered() sorts them once, stably, which keeps the put order among
  // equal ids.
  mutable std::vector<ConfigEntry> m_entries;
  mutable bool m_ordered = true;
};

// Trims spaces and control characters (codes up to 32) at both ends, as the
// pages do before putting a string.
std::string_view TrimText(std::string_view text);
// Trims them at the right end only (the note column of the remote access list).
std::string_view TrimTextRight(std::string_view text);

}  // namespace tamlo
