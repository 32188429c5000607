#include "pages/input_rules.h"

#include <gtest/gtest.h>

namespace tamlo {
namespace {

TEST(KeyFilters, DigitsAndContactIdDigits_ControlKeysAlwaysPass) {
  for (char32_t c : {U'0', U'5', U'9', U'\b', U'\t', U'\r', char32_t{27}}) {
    EXPECT_TRUE(DigitsOnlyFilter(c));
    EXPECT_TRUE(ContactIdDigitFilter(c));
  }
  for (char32_t c : {U'a', U'B', U' ', U'-', U'+', U'.', U'/', U':', U'Д', U'٣'}) {
    EXPECT_FALSE(DigitsOnlyFilter(c)) << static_cast<uint32_t>(c);
  }
  for (char32_t c : {U'B', U'C', U'F', U'b', U'f'}) EXPECT_TRUE(ContactIdDigitFilter(c));
  for (char32_t c : {U'A', U'a', U'G', U'g', U'@', U'`', U' ', U'В'}) {
    EXPECT_FALSE(ContactIdDigitFilter(c)) << static_cast<uint32_t>(c);
  }
}

TEST(EditValues, IntegerWithDefault_AndZeroToDefault) {
  struct Case {
    const char* text;
    int32_t value;
  } cases[] = {{"42", 42},  {" 42 ", 42},   {"-7", -7},          {"+7", 7},         {"", -1},
               {"  ", -1},  {"4a", -1},     {"-", -1},           {"2147483647", INT32_MAX},
               {"-2147483648", INT32_MIN},  {"2147483648", -1},  {"99999999999", -1}};
  for (const Case& c : cases) EXPECT_EQ(EditIntValue(c.text, -1), c.value) << c.text;

  EXPECT_EQ(ZeroToDefault("", "60"), "60");
  EXPECT_EQ(ZeroToDefault("0", "60"), "60");
  EXPECT_EQ(ZeroToDefault("000", "60"), "60");
  EXPECT_EQ(ZeroToDefault("x", "60"), "60");
  EXPECT_EQ(ZeroToDefault("15", "60"), "15");
}

TEST(TimeFields, ParseWithoutRangeCheck_FormatCapsAt99_59) {
  EXPECT_EQ(ParseTimeField("  :  "), 0);
  EXPECT_EQ(ParseTimeField(""), 0);
  EXPECT_EQ(ParseTimeField("12:30"), 750);
  EXPECT_EQ(ParseTimeField("00:75"), 75);
  EXPECT_EQ(ParseTimeField("1 :5 "), 65);
  EXPECT_EQ(ParseTimeField("23:"), 1380);

  EXPECT_EQ(FormatTimeField(0), "00:00");
  EXPECT_EQ(FormatTimeField(750), "12:30");
  EXPECT_EQ(FormatTimeField(99 * 60 + 59), "99:59");
  EXPECT_EQ(FormatTimeField(100 * 60), "99:59");
  EXPECT_EQ(FormatTimeField(1000000), "99:59");
  EXPECT_EQ(FormatTimeField(-5), "00:00");
  for (int m : {0, 1, 59, 60, 719, 1439, 5999}) EXPECT_EQ(ParseTimeField(FormatTimeField(m)), m);
}

TEST(HexField, TrimmedLeadingHexNumber_DefaultWhenEmpty) {
  EXPECT_EQ(ParseHexField("", 7u), 7u);
  EXPECT_EQ(ParseHexField("  \t", 7u), 7u);
  EXPECT_EQ(ParseHexField("1234", 7u), 0x1234u);
  EXPECT_EQ(ParseHexField(" bcdf ", 7u), 0xBCDFu);
  // The ends of both letter ranges.
  EXPECT_EQ(ParseHexField("A", 7u), 0xAu);
  EXPECT_EQ(ParseHexField("a", 7u), 0xAu);
  EXPECT_EQ(ParseHexField("aF9A", 7u), 0xAF9Au);
  EXPECT_EQ(ParseHexField("12g4", 7u), 0x12u);
  EXPECT_EQ(ParseHexField("zz", 7u), 7u);
  EXPECT_EQ(ParseHexField("FFFFFFFF", 7u), 0xFFFFFFFFu);
  EXPECT_EQ(ParseHexField("123456789", 7u), 0xFFFFFFFFu);
}

// A text field ends at its first zero byte, or at its end when it has none.
TEST(FieldText, Cp1251UpToTheFirstZero) {
  const uint8_t dom[] = {0xC4, 0xEE, 0xEC, 0x00};  // "Дом" and its terminator
  const uint8_t cut[] = {'a', 0x00, 'b', 0x00};
  const uint8_t bare[] = {'1', '2'};
  EXPECT_EQ(FieldText(dom, sizeof dom), "Дом");
  EXPECT_EQ(FieldText(cut, sizeof cut), "a");
  EXPECT_EQ(FieldText(bare, sizeof bare), "12");
  EXPECT_EQ(FieldText(nullptr, 0), "");
}

}  // namespace
}  // namespace tamlo
