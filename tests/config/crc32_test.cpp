#include "config/crc32.h"

#include <gtest/gtest.h>

#include <string>

namespace tamlo {
namespace {

const uint8_t* Bytes(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }

TEST(Crc32, KnownValues_RegisterAndComplement) {
  const std::string abc = "abc";
  EXPECT_EQ(Crc32(Bytes(abc), abc.size()), 0x352441C2u);
  // Stored in the image header as 3D BE DB CA.
  EXPECT_EQ(Crc32Register(Bytes(abc), abc.size()), 0xCADBBE3Du);
  EXPECT_EQ(Crc32Register(nullptr, 0), 0xFFFFFFFFu);
  const std::string check = "123456789";
  EXPECT_EQ(Crc32(Bytes(check), check.size()), 0xCBF43926u);
}

TEST(Crc32, UpdateInPieces_EqualsWhole) {
  const std::string text = "The quick brown fox jumps over the lazy dog";
  uint32_t reg = kCrc32Preset;
  for (size_t i = 0; i < text.size(); i += 5)
    reg = Crc32Update(reg, Bytes(text) + i, std::min<size_t>(5, text.size() - i));
  EXPECT_EQ(~reg, 0x414FA339u);
}

TEST(Crc32, BlockWithAppendedCrc_LeavesResidue) {
  uint8_t block[8] = {0x01, 0x00, 0x48, 0x00};
  const uint32_t crc = Crc32(block, 4);
  EXPECT_EQ(crc, 0xA1587D74u);
  for (int i = 0; i < 4; ++i) block[4 + i] = static_cast<uint8_t>(crc >> (8 * i));
  EXPECT_EQ(Crc32Register(block, 8), kCrc32Residue);
}

}  // namespace
}  // namespace tamlo
