#pragma once
// The tagged encoding of a configuration: the byte string kept in .tamlo files
// (after the 32-byte image header) and in the device's memory.
//
// A configuration is a sequence of fields with no count and no terminator:
//   key      varint  id * 16 + type (bit 3 reserved, must be 0)
//   length   varint  types 4 and 5 only
//   content  by type:
//     0  varint v, value v                 -> kind 0 (integer)
//     1  varint v, value -v                -> kind 0
//     2  4 bytes LE two's complement       -> kind 0
//     3  8 bytes LE, upper half 0 or ~0    -> kind 0 (the lower half)
//     4  length bytes                      -> kind 1 (text: length > 0 and the
//                                             last byte is 0), else kind 2 (bytes)
//     5  length bytes, themselves an encoding -> kind 3 (group)
//     6, 7 invalid
// Varints carry 7 bits per byte, least significant group first, bit 7 set on
// every byte but the last. Any 32-bit value is written (up to 5 bytes); a
// reader takes at most 4 bytes, so only values below 2^28 read back.
// Ids never decrease along one level; a field's repeat index is the number of
// fields with its id directly before it on that level.
//
// Worked example: a SIM group (id 1) holding the text "abc" as id 1, the
// integer 4660 as id 257 and 2 as id 258:
//   15 06 14 04 61 62 63 00   90 20 B4 24   A0 20 02
// An empty first SIM group before that one is written as 15 00 so the second
// keeps repeat index 1; empty groups with nothing of their id after them
// leave no bytes.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace tamlo {

class ConfigTree;

enum FieldKind : uint32_t {
  kFieldInteger = 0,
  kFieldText = 1,
  kFieldBytes = 2,
  kFieldGroup = 3,
};

// Field code handed to a visitor: id * 4 + kind.
inline constexpr uint32_t FieldCode(uint32_t id, FieldKind kind) { return id * 4 + kind; }
inline constexpr uint32_t FieldCodeId(uint32_t code) { return code >> 2; }
inline constexpr FieldKind FieldCodeKind(uint32_t code) { return static_cast<FieldKind>(code & 3); }

// Results of WalkConfig.
inline constexpr int kWalkOk = 1;            // every field taken
inline constexpr int kWalkUnrecognised = 0;  // some field taken by nobody
inline constexpr int kWalkMalformed = -1;    // bad varint, ids out of order, bad type, content past the end
inline constexpr int kWalkUnknownCoding = -2;  // key with bit 3 set

// The walk's callback. value: the integer for kind 0, else 0. data/length:
// for kinds 1..3 the content inside the walked buffer (valid during the call;
// a text's length includes its zero); for kind 0 nullptr and 0.
// Returns 1 when it took the field, 0 when not; any other value (a nested
// walk's -1 or -2) is passed on.
using ConfigVisitor = int (*)(uint32_t code, int32_t value, const uint8_t* data, size_t length, uint32_t repeat,
                              void* user);
using ConfigVisitorFn =
    std::function<int(uint32_t code, int32_t value, const uint8_t* data, size_t length, uint32_t repeat)>;

std::vector<uint8_t> EncodeConfig(const ConfigTree& tree);

// Visits every field of data[0, length) in order; never reads outside it.
// Returns 1 when every visit returned 1 (also for no bytes), else the last
// visit result that was not 1; a malformed encoding stops at once with -1 or
// -2 after the fields before the fault were visited.
int WalkConfig(const uint8_t* data, size_t length, ConfigVisitor visitor, void* user);
int WalkConfig(const uint8_t* data, size_t length, const ConfigVisitorFn& visitor);

// Varint helpers shared with the tree.
void AppendVarint(std::vector<uint8_t>& out, uint32_t value);
// Reads one varint of at most 4 bytes from [pos, end), advancing pos; false on
// failure (input ends inside it, or a fifth byte would be needed).
bool ReadVarint(const uint8_t*& pos, const uint8_t* end, uint32_t& value);

}  // namespace tamlo
