// The entry dialog's rules: the EAN-13 check, the characters each mode's edit
// takes, and what Enter does with the edit's text in each mode.
#include "device/entry_rules.h"

#include <gtest/gtest.h>

#include "config/test_pages.h"

namespace tamlo::device {
namespace {

TEST(SerialNumber, Ean13CheckTable) {
  struct Case {
    const char* text;
    bool valid;
  } cases[] = {
      {"4006381333931", true},    // a real EAN-13
      {"5901234123457", true},
      {"4006381333932", false},   // wrong check digit
      {"400638133393", false},    // 12 digits
      {"40063813339310", false},  // 14 digits
      {"400638133393:", false},   // ':' follows '9' in ASCII: not the digit "10"
      {"40063813339A1", false},
      {"", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(IsValidSerialNumber(c.text), c.valid);
  }
}

TEST(EntryKeys, EachModeTakesItsCharacters) {
  struct Case {
    char32_t ch;
    bool password, serial, key;
  } cases[] = {
      {U'0', true, true, true},    {U'9', true, true, true},    {U'a', true, false, true},
      {U'F', true, false, true},   {U'g', true, false, false},  {U' ', true, false, false},
      {U':', true, false, false},  {U'я', true, false, false},  {U'\b', true, true, true},
      {U'\x16', true, true, true},  // Ctrl+V: pasting is judged at Enter
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<uint32_t>(c.ch));
    EXPECT_EQ(EntryTakesCharacter(EntryMode::Password, c.ch), c.password);
    EXPECT_EQ(EntryTakesCharacter(EntryMode::SerialNumber, c.ch), c.serial);
    EXPECT_EQ(EntryTakesCharacter(EntryMode::Key, c.ch), c.key);
  }
}

TEST(EntryEnter, ResultAndMessageTable) {
  const std::string key32(32, 'a');
  struct Case {
    EntryRequest request;
    std::string text;
    std::optional<std::string> result;  // nothing: the dialog stays open
    const char* message;                // nullptr: none
  } cases[] = {
      {SerialNumberRequest(), "4006381333931", "400638133393", nullptr},
      {SerialNumberRequest(), " \t4006381333931 \r", "400638133393", nullptr},
      {SerialNumberRequest(), "400638133393", std::nullopt, kSerialLengthMessage},
      {SerialNumberRequest(), "4006381333932", std::nullopt, kSerialInvalidMessage},
      // 13 characters, one of them a pasted Cyrillic letter of two bytes.
      {SerialNumberRequest(), "40063813339я1", std::nullopt, kSerialInvalidMessage},
      {SerialNumberRequest(), "   ", std::nullopt, nullptr},
      {KeyRequest(), key32.substr(1), std::nullopt, nullptr},
      {KeyRequest(), " " + key32 + " ", key32, nullptr},
      {PasswordRequest(8, ""), " 1234\t", "1234", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    testing::ScriptedDialogs dialogs;
    EntryModel model(dialogs);
    model.Open(c.request);
    EXPECT_EQ(model.Enter(c.text), c.result.has_value());
    EXPECT_EQ(model.Result(), c.result);
    EXPECT_EQ(model.IsOpen(), !c.result.has_value());
    if (c.message) {
      ASSERT_EQ(dialogs.messages.size(), 1u);
      EXPECT_EQ(dialogs.messages[0].text, c.message);
      EXPECT_EQ(dialogs.messages[0].caption, kSerialNumberCaption);
      EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Error);
    } else {
      EXPECT_TRUE(dialogs.messages.empty());
    }
  }
}

TEST(SerialNumberFromScan, TrimmedEan13_FirstTwelveDigits) {
  const struct {
    const char* scanned;
    const char* written;  // nullptr: refused with `error`
    const char* error;
  } cases[] = {
      {"4006381333931", "400638133393", nullptr},     // a valid EAN-13
      {" 4006381333931\r\n", "400638133393", nullptr},  // what a scanner adds around it
      {"0000000000000", "000000000000", nullptr},
      {"4006381333932", nullptr, kSerialInvalidMessage},  // check digit one off
      {"4006381333921", nullptr, kSerialInvalidMessage},  // a weight-3 digit changed
      {"400638133393", nullptr, kSerialLengthMessage},
      {"40063813339310", nullptr, kSerialLengthMessage},
      {"400638133393a", nullptr, kSerialInvalidMessage},  // 13 characters, not all digits
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
