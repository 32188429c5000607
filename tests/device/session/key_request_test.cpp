#include "device/session/key_request.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace tamlo::device {
namespace {

std::vector<uint8_t> Bytes(const KeyChangeRequest& request) {
  return std::vector<uint8_t>(request.data(), request.data() + request.size());
}

TEST(KeyChangeRequest, SlotLengthKey_DeleteWithoutKey_BadTextNone_WipedWhenMovedOrDone) {
  std::optional<KeyChangeRequest> write = KeyChangeRequest::Write(3, "00112233445566778899AABBCCDDEEFF");
  ASSERT_TRUE(write);
  EXPECT_EQ(Bytes(*write), (std::vector<uint8_t>{3, 16, 0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88, 0x99,
                                                 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF}));
  EXPECT_EQ(Bytes(KeyChangeRequest::Delete(1)), (std::vector<uint8_t>{1, 0}));
  EXPECT_FALSE(KeyChangeRequest::Write(0, "0011"));

  // The moved-from request holds no copy of the key.
  KeyChangeRequest moved(std::move(*write));
  EXPECT_EQ(write->size(), 0u);
  EXPECT_EQ(std::vector<uint8_t>(write->data(), write->data() + 18), std::vector<uint8_t>(18, 0));
  EXPECT_EQ(moved.size(), 18u);
  const uint8_t* bytes = moved.data();
  moved.Wipe();
  EXPECT_EQ(moved.size(), 0u);
  EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + 18), std::vector<uint8_t>(18, 0));
}

}  // namespace
}  // namespace tamlo::device
