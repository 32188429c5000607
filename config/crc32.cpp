#include "config/crc32.h"

#include <array>

namespace tamlo {
namespace {

constexpr std::array<uint32_t, 256> MakeTable() {
  std::array<uint32_t, 256> table{};
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t c = i;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
    table[i] = c;
  }
  return table;
}

constexpr std::array<uint32_t, 256> kTable = MakeTable();

}  // namespace

uint32_t Crc32Update(uint32_t reg, const uint8_t* data, size_t size) {
  for (size_t i = 0; i < size; ++i) reg = (reg >> 8) ^ kTable[(reg ^ data[i]) & 0xFFu];
  return reg;
}

}  // namespace tamlo
