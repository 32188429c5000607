// The Win32 communications port without a device: the names it opens, and
// failures reported as the system's error number with its FormatMessageW
// text, the way the link's messages show them ("Ошибка %lu: %s").
#include "link/win32/win32_serial_port.h"

#include <gtest/gtest.h>

#include "config/win32/wide_text.h"

namespace tamlo::link {
namespace {

TEST(Win32SerialPortTest, PortNamesOpenInTheDeviceNamespace) {
  const struct {
    const char* name;
    const char* path;
  } cases[] = {
      {"COM3", "\\\\.\\COM3"},
      {"COM12", "\\\\.\\COM12"},          // beyond COM9 only the prefix reaches it
      {"./COM4", "\\\\.\\COM4"},          // as the command line hands a relative name over
      {"\\\\.\\COM5", "\\\\.\\COM5"},     // already prefixed
      {"C:\\ports\\link", "C:\\ports\\link"},
      {"links/tty0", "links/tty0"},
  };
  for (const auto& c : cases) EXPECT_EQ(Win32DevicePath(c.name), c.path) << c.name;
}

TEST(Win32SerialPortTest, FailuresCarryTheSystemErrorAndItsText) {
  Win32SerialPort port;
  EXPECT_FALSE(port.Open("COM199"));  // no such port
  EXPECT_FALSE(port.IsOpen());
  EXPECT_NE(port.LastErrorCode(), 0u);
  EXPECT_EQ(port.LastErrorText(), SystemErrorText(port.LastErrorCode()));
  EXPECT_NE(port.LastErrorText().rfind("Error ", 0), 0u) << "the system has words for it";

  PortSettings settings;
  uint8_t byte = 0;
  size_t count = 0;
  for (bool ok : {port.GetSettings(settings), port.SetTimeouts(), port.Purge(), port.Read(&byte, 1, count),
                  port.Write(&byte, 1, count)}) {
    EXPECT_FALSE(ok);
    EXPECT_EQ(port.LastErrorCode(), 6u);  // ERROR_INVALID_HANDLE: the port is not open
    EXPECT_EQ(port.LastErrorText(), SystemErrorText(6));
  }
  EXPECT_FALSE(port.CarrierDetected());
  EXPECT_FALSE(port.Queues().has_value());
}

}  // namespace
}  // namespace tamlo::link
