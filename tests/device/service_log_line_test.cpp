// The service log line both front ends write.
#include "device/service_log_line.h"

#include <gtest/gtest.h>

namespace tamlo::device::testing {
namespace {

TEST(ServiceLogLine, DateTimeThenTextOnOneLine) {
  const struct {
    const char* text;
    const char* line;
  } cases[] = {
      {"Связь установлена", "08.12.2026 17:35:02: Связь установлена"},
      {"a\r\nb", "08.12.2026 17:35:02: a b"},
      {"a\nb\n", "08.12.2026 17:35:02: a b "},
      {"a\r\n\r\nb", "08.12.2026 17:35:02: a  b"},
      {"a\rb", "08.12.2026 17:35:02: a\rb"},
      {"a\r", "08.12.2026 17:35:02: a\r"},
      {"", "08.12.2026 17:35:02: "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ServiceLogLine("08.12.2026 17:35:02", c.text), c.line);
  }
}

}  // namespace
}  // namespace tamlo::device::testing
