#include "config/tagged_encoding.h"

#include "config/byte_order.h"
#include "config/config_tree.h"

namespace tamlo {
namespace {

constexpr int kMaxVarintBytes = 4;
constexpr uint32_t kReservedKeyBit = 0x08;

void AppendKey(std::vector<uint8_t>& out, uint32_t id, EncodingType type) { AppendVarint(out, id * 16 + type); }

void AppendBytes(std::vector<uint8_t>& out, const std::vector<uint8_t>& bytes) {
  out.insert(out.end(), bytes.begin(), bytes.end());
}

void Encode(const ConfigTree& tree, std::vector<uint8_t>& out) {
  // Empty groups are held back while a run of groups with one id goes on;
  // they are written (key, zero length) only in front of a later non-empty
  // group of that id, to keep its repeat index.
  bool have_group_id = false;
  uint32_t group_id = 0;
  uint32_t pending_empty = 0;
  for (const ConfigEntry& e : tree) {
    switch (e.type) {
      case kTypeVarint:
      case kTypeNegVarint:
      case kTypeFixed32:
      case kTypeFixed64:
        AppendKey(out, e.id, e.type);
        AppendBytes(out, e.value);
        break;
      case kTypeBytes:
        AppendKey(out, e.id, e.type);
        AppendVarint(out, static_cast<uint32_t>(e.value.size()));
        AppendBytes(out, e.value);
        break;
      case kTypeGroup: {
        if (!have_group_id || group_id != e.id) {
          have_group_id = true;
          group_id = e.id;
          pending_empty = 0;
        }
        std::vector<uint8_t> nested;
        if (e.group) Encode(*e.group, nested);
        if (nested.empty()) {
          ++pending_empty;
          break;
        }
        for (; pending_empty > 0; --pending_empty) {
          AppendKey(out, e.id, kTypeGroup);
          AppendVarint(out, 0);
        }
        AppendKey(out, e.id, kTypeGroup);
        AppendVarint(out, static_cast<uint32_t>(nested.size()));
        AppendBytes(out, nested);
        break;
      }
    }
  }
}


int CallFunction(uint32_t code, int32_t value, const uint8_t* data, size_t length, uint32_t repeat, void* user) {
  return (*static_cast<const ConfigVisitorFn*>(user))(code, value, data, length, repeat);
}

}  // namespace

void AppendVarint(std::vector<uint8_t>& out, uint32_t value) {
  while (value >= 0x80) {
    out.push_back(static_cast<uint8_t>((value & 0x7F) | 0x80));
    value >>= 7;
  }
  out.push_back(static_cast<uint8_t>(value));
}

bool ReadVarint(const uint8_t*& pos, const uint8_t* end, uint32_t& value) {
  uint32_t result = 0;
  const uint8_t* p = pos;
  for (int i = 0; i < kMaxVarintBytes; ++i) {
    if (p == end) return false;
    const uint8_t b = *p++;
    result |= static_cast<uint32_t>(b & 0x7F) << (7 * i);
    if ((b & 0x80) == 0) {
      pos = p;
      value = result;
      return true;
    }
  }
  return false;
}

std::vector<uint8_t> EncodeConfig(const ConfigTree& tree) {
  std::vector<uint8_t> out;
  Encode(tree, out);
  return out;
}

int WalkConfig(const uint8_t* data, size_t length, ConfigVisitor visitor, void* user) {
  int result = kWalkOk;
  bool have_previous = false;
  uint32_t previous_id = 0;
  uint32_t repeat = 0;
  const uint8_t* pos = data;
  const uint8_t* const end = data + length;
  while (pos != end) {
    uint32_t key = 0;
    if (!ReadVarint(pos, end, key)) return kWalkMalformed;
    const uint32_t id = key >> 4;
    if (have_previous) {
      if (id < previous_id) return kWalkMalformed;
      repeat = id == previous_id ? repeat + 1 : 0;
    }
    have_previous = true;
    previous_id = id;
    if (key & kReservedKeyBit) return kWalkUnknownCoding;

    const uint32_t type = key & 7;
    const size_t remaining = static_cast<size_t>(end - pos);
    FieldKind kind = kFieldInteger;
    int32_t value = 0;
    const uint8_t* content = nullptr;
    size_t content_length = 0;
    switch (type) {
      case kTypeVarint:
      case kTypeNegVarint: {
        uint32_t v = 0;
        if (!ReadVarint(pos, end, v)) return kWalkMalformed;
        // v < 2^28, so the negation cannot overflow.
        value = type == kTypeVarint ? static_cast<int32_t>(v) : -static_cast<int32_t>(v);
        break;
      }
      case kTypeFixed32:
        if (remaining < 4) return kWalkMalformed;
        value = static_cast<int32_t>(ReadLe32(pos));
        pos += 4;
        break;
      case kTypeFixed64: {
        if (remaining < 8) return kWalkMalformed;
        const uint32_t high = ReadLe32(pos + 4);
        if (high != 0 && high != 0xFFFFFFFFu) return kWalkMalformed;
        value = static_cast<int32_t>(ReadLe32(pos));
        pos += 8;
        break;
      }
      case kTypeBytes:
      case kTypeGroup: {
        uint32_t n = 0;
        if (!ReadVarint(pos, end, n)) return kWalkMalformed;
        if (n > static_cast<size_t>(end - pos)) return kWalkMalformed;
        content = pos;
        content_length = n;
        pos += n;
        if (type == kTypeGroup) kind = kFieldGroup;
        else kind = (n > 0 && content[n - 1] == 0) ? kFieldText : kFieldBytes;
        break;
      }
      default:
        return kWalkMalformed;
    }
    const int taken = visitor(FieldCode(id, kind), value, content, content_length, repeat, user);
    if (taken != kWalkOk) result = taken;
  }
  return result;
}

int WalkConfig(const uint8_t* data, size_t length, const ConfigVisitorFn& visitor) {
  return WalkConfig(data, length, &CallFunction, const_cast<ConfigVisitorFn*>(&visitor));
}

}  // namespace tamlo
