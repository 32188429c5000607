#include "config/cp1251.h"

#include <gtest/gtest.h>

namespace tamlo {
namespace {

TEST(Cp1251, EveryByteValue_RoundTripsThroughUtf8) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  const std::string utf8 = Cp1251ToUtf8(all);
  EXPECT_EQ(Utf8ToCp1251(utf8), all);
}

TEST(Cp1251, CyrillicAndPunctuation_MapToTheirBytes) {
  EXPECT_EQ(Utf8ToCp1251("Вход L1"), "\xC2\xF5\xEE\xE4 L1");
  EXPECT_EQ(Utf8ToCp1251("Ёё№«»—"), "\xA8\xB8\xB9\xAB\xBB\x97");
  EXPECT_EQ(Cp1251ToUtf8("\xCF\xF0\xE8\xE1\xEE\xF0"), "Прибор");
  EXPECT_EQ(Cp1251ToCodePoint(0x88), U'\u20AC');
}

TEST(Cp1251, NoCodePageForm_BecomesOneQuestionMark) {
  EXPECT_EQ(Utf8ToCp1251("a\xE4\xB8\xAD" "b"), "a?b");  // CJK character
  EXPECT_EQ(Utf8ToCp1251("\xF0\x9F\x98\x80"), "?");     // emoji, 4-byte form
  EXPECT_EQ(Utf8ToCp1251("\xC3\xA9"), "?");             // e acute: not in 1251
}

TEST(Cp1251, MalformedUtf8_EachBadByteBecomesQuestionMark) {
  EXPECT_EQ(Utf8ToCp1251("\x80x"), "?x");            // stray continuation
  EXPECT_EQ(Utf8ToCp1251("x\xD0"), "x?");            // truncated at the end
  EXPECT_EQ(Utf8ToCp1251("\xC0\xAF"), "??");         // overlong "/"
  EXPECT_EQ(Utf8ToCp1251("\xE0\x80\xAF"), "???");    // overlong "/" in three bytes
  EXPECT_EQ(Utf8ToCp1251("\xE0\x90\x90"), "???");    // overlong Cyrillic "А" in three bytes
  EXPECT_EQ(Utf8ToCp1251("\xED\xA0\x80"), "???");    // surrogate
  EXPECT_EQ(Utf8ToCp1251("\xD0z"), "?z");            // lead without continuation
}

TEST(DisplayText, ControlsEscapedCyrillicConverted) {
  const struct {
    const char* in;
    const char* out;
  } cases[] = {
      {"plain 3.11", "plain 3.11"},
      {"\x1b[2J\r\n\t\x01\x7f", "\\x1B[2J\\r\\n\\t\\x01\\x7F"},
      {"a\\b \"q\"", "a\\\\b \"q\""},
      {"\xD0\x94\xC2\xA0", "\xD0\x94\xC2\xA0"},  // UTF-8 passes, U+00A0 included
      {"\xC2\x9B" "2J\xC2\x80\xC2\x9F\xC2", "\\xC2\\x9B2J\\xC2\\x80\\xC2\\x9F\xC2"},  // C1: CSI, U+0080, U+009F
  };
  for (const auto& c : cases) EXPECT_EQ(EscapeControls(c.in), c.out) << c.in;
  EXPECT_EQ(DeviceText(std::string("\xCD\xC5 \xC7\xC0\xC4\xC0\xCD\0\x07", 10)), "НЕ ЗАДАН\\x00\\x07");
  EXPECT_EQ(DeviceText("\x98"), "\\xC2\\x98");  // the 1251 byte with no character: U+0098
}

}  // namespace
}  // namespace tamlo
