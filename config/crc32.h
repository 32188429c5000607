#pragma once
// CRC-32 of IEEE 802.3 / RFC 1662: reflected polynomial 0xEDB88320, register
// preset to all ones, one table look-up per byte.
//
// Two users keep the register differently:
// - the configuration image header stores the register itself, without the
//   final complement ("abc" -> 0xCADBBE3D, stored little-endian
//   as 3D BE DB CA; no bytes -> 0xFFFFFFFF);
// - the link's blocks carry the complemented register (the common CRC-32,
//   "abc" -> 0x352441C2), least significant byte first. Running the register
//   over a whole block including those four bytes leaves kCrc32Residue.
#include <cstddef>
#include <cstdint>

namespace tamlo {

inline constexpr uint32_t kCrc32Preset = 0xFFFFFFFFu;
inline constexpr uint32_t kCrc32Residue = 0xDEBB20E3u;

// Advances the register over the bytes; start from kCrc32Preset.
uint32_t Crc32Update(uint32_t reg, const uint8_t* data, size_t size);

// The register after all bytes, not complemented (the image header's value).
inline uint32_t Crc32Register(const uint8_t* data, size_t size) {
  return Crc32Update(kCrc32Preset, data, size);
}

// The common CRC-32 (complemented register).
inline uint32_t Crc32(const uint8_t* data, size_t size) { return ~Crc32Register(data, size); }

}  // namespace tamlo
