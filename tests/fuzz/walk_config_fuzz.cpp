// WalkConfig on arbitrary bytes, with visitors that walk every group they
// meet (as the settings pages do) and touch every byte handed to them, so the
// address sanitizer sees any read outside the buffer.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "config/tagged_encoding.h"

namespace {

struct Level {
  const uint8_t* begin;
  const uint8_t* end;
  int depth;
  uint32_t previous_id;
  uint32_t expected_repeat;
  bool any;
  unsigned sink;
};

void Check(bool ok) {
  if (!ok) std::abort();
}

int Visit(uint32_t code, int32_t value, const uint8_t* data, size_t length, uint32_t repeat, void* user) {
  Level& level = *static_cast<Level*>(user);
  const uint32_t id = tamlo::FieldCodeId(code);
  const tamlo::FieldKind kind = tamlo::FieldCodeKind(code);
  // Repeat indexes count equal ids directly before, on this level.
  level.expected_repeat = level.any && id == level.previous_id ? level.expected_repeat + 1 : 0;
  Check(!level.any || id >= level.previous_id);
  Check(repeat == level.expected_repeat);
  level.any = true;
  level.previous_id = id;

  if (kind == tamlo::kFieldInteger) {
    Check(data == nullptr && length == 0);
    return (value & 1) ? 1 : 0;  // some fields "not taken"
  }
  Check(data >= level.begin && length <= static_cast<size_t>(level.end - data));
  for (size_t i = 0; i < length; ++i) level.sink += data[i];
  if (kind == tamlo::kFieldText) Check(length > 0 && data[length - 1] == 0);
  if (kind == tamlo::kFieldBytes) Check(length == 0 || data[length - 1] != 0);
  if (kind != tamlo::kFieldGroup || level.depth >= 8) return 1;

  Level nested{data, data + length, level.depth + 1, 0, 0, false, 0};
  const int result = tamlo::WalkConfig(data, length, &Visit, &nested);
  Check(result >= -2 && result <= 1);
  level.sink += nested.sink;
  return result;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Level top{data, data + size, 0, 0, 0, false, 0};
  const int result = tamlo::WalkConfig(data, size, &Visit, &top);
  Check(result >= -2 && result <= 1);
  return 0;
}
