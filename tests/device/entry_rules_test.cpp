#include "device/entry_rules.h"

#include <gtest/gtest.h>

namespace tamlo::device {
namespace {

TEST(SerialNumber, Ean13CheckAndScanRule) {
  const struct {
    const char* scanned;
    const char* written;  // nullptr: refused with `error`
    const char* error;
  } cases[] = {
      {"4006381333931", "400638133393", nullptr},     // a valid EAN-13
      {" 4006381333931\r\n", "400638133393", nullptr},  // what a scanner adds around it
      {"0000000000000", "000000000000", nullptr},
      {"4006381333932", nullptr, kSerialCheckMessage},  // check digit one off
      {"4006381333921", nullptr, kSerialCheckMessage},  // a weight-3 digit changed
      {"400638133393", nullptr, kSerialLengthMessage},
      {"40063813339310", nullptr, kSerialLengthMessage},
      {"400638133393a", nullptr, kSerialCheckMessage},  // 13 characters, not all digits
      {"", nullptr, kSerialLengthMessage},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.scanned);
    std::string error;
    const std::optional<std::string> written = SerialNumberFromScan(c.scanned, error);
    if (c.written != nullptr) {
      ASSERT_TRUE(written.has_value()) << error;
      EXPECT_EQ(*written, c.written);
    } else {
      EXPECT_FALSE(written.has_value());
      EXPECT_EQ(error, c.error);
    }
  }
}

}  // namespace
}  // namespace tamlo::device
