// The encryption keys window's rules: the status text and its colour, the
// key text into bytes, and the write and delete flows against the simulated
// device (fake clock, no window).
#include "device/crypto_keys.h"

#include <gtest/gtest.h>

#include "device/device_window_rig.h"
#include "device/entry_rules.h"

namespace tamlo::device::testing {
namespace {

TEST(KeyStatusText, FirstRuleThatHoldsGivesTextAndColour) {
  const struct Case {
    int count;
    unsigned mask;
    const char* text;
    KeyStatusColour colour;
  } cases[] = {
      {-1, 0x01, "Обновите информацию", KeyStatusColour::White},
      {0, 0x01, "Шифрование не поддерживается", KeyStatusColour::Red},
      {4, 0x01, "Установлен", KeyStatusColour::White},
      {4, 0x03, "Установлен", KeyStatusColour::White},
      {4, 0x02, "Не задан (ключ по умолчанию)", KeyStatusColour::Yellow},  // only key 2 set
      {1, 0x00, "Не задан (ключ по умолчанию)", KeyStatusColour::Yellow},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.count << "/" << c.mask);
    const KeyStatusView view = KeyStatusText(c.count, c.mask);
    EXPECT_EQ(view.text, c.text);
    EXPECT_EQ(view.colour, c.colour);
  }
}

TEST(KeyBytesFromText, BytesLeftToRight_HighNibbleFirst_EitherCase) {
  const std::array<uint8_t, 16> expected = {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF,
                                            0xF0, 0xE1, 0xD2, 0xC3, 0xB4, 0xA5, 0x96, 0x87};
  EXPECT_EQ(KeyBytesFromText("0123456789ABCDEFF0E1D2C3B4A59687"), expected);
  EXPECT_EQ(KeyBytesFromText("0123456789abcdeff0e1d2c3b4a59687"), expected);
  EXPECT_EQ(KeyBytesFromText("0123456789aBcDeFf0E1d2C3b4A59687"), expected);

  const std::string good(32, 'a');
  EXPECT_TRUE(KeyBytesFromText(good));  // the control case of the refusals below
  const std::string refused[] = {
      std::string(31, 'a'), std::string(33, 'a'), good.substr(0, 31) + "g", " " + good.substr(1),
      good.substr(0, 30) + "ж",  // 32 bytes, 31 characters
      good.substr(0, 16) + std::string(1, '\0') + good.substr(17),
  };
  for (const std::string& text : refused) {
    SCOPED_TRACE(text);
    EXPECT_FALSE(KeyBytesFromText(text));
  }
}

class CryptoKeysTest : public ::testing::Test {
 protected:
  explicit CryptoKeysTest(sim::DeviceSettings settings = {}) : rig(std::move(settings)) {
    rig.model.SetKeyStatusListener([this](int count, unsigned mask) { keys.ShowKeyStatus(count, mask); });
    rig.Start();
  }
  const sim::DeviceEngine& engine() { return rig.device->engine(); }

  Rig rig;
  CryptoKeysModel keys{rig.model, rig.prompt, rig.dialogs};
};

TEST_F(CryptoKeysTest, WrittenKeyReachesTheDeviceAndTheStatusFollows_DeleteClearsIt) {
  EXPECT_EQ(keys.status().text, "Обновите информацию");
  keys.L_UpdateKeysClick();
  EXPECT_EQ(keys.status().text, "Не задан (ключ по умолчанию)");

  rig.prompt.answers = {"00112233445566778899aabbccddeeff"};
  keys.L_KeyWriteClick();
  ASSERT_EQ(rig.prompt.requests.size(), 1u);
  EXPECT_EQ(rig.prompt.requests[0].mode, EntryMode::Key);
  EXPECT_EQ(rig.TakeBoxes(), std::vector<std::string>{kKeyWrittenMessage});
  const std::array<uint8_t, 16> written = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77,
                                           0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF};
  EXPECT_EQ(engine().key(0), written);
  EXPECT_EQ(keys.status().text, "Установлен");  // read again after the change

  rig.dialogs.answers = {MessageResult::Ok};
  keys.L_KeyDeleteClick();
  ASSERT_EQ(rig.dialogs.boxes.size(), 2u);
  EXPECT_EQ(rig.dialogs.boxes[0].text, "Удалить ключ №1 из устройства?");
  EXPECT_EQ(rig.dialogs.boxes[0].caption, "Удаление ключа");
  EXPECT_EQ(rig.dialogs.boxes[0].default_button, MessageResult::Cancel);
  EXPECT_EQ(rig.dialogs.boxes[1].text, kKeyDeletedMessage);
  EXPECT_EQ(engine().key_mask() & 1, 0);
  EXPECT_EQ(keys.status().colour, KeyStatusColour::Yellow);
}

TEST_F(CryptoKeysTest, DeclinedOrCancelledOrMalformed_SendsNothing) {
  const int exchanges = rig.progress.Exchanges();
  rig.dialogs.answers = {MessageResult::Cancel};
  keys.L_KeyDeleteClick();  // the question declined
  keys.L_KeyWriteClick();   // the entry dialog cancelled
  rig.TakeBoxes();
  // A pasted text the dialog let through is still refused before any exchange.
  EXPECT_LT(rig.model.WriteKey(0, "00112233445566778899aabbccddeefz"), 0);
  ASSERT_EQ(rig.dialogs.boxes.size(), 1u);
  EXPECT_EQ(rig.dialogs.boxes[0].text, kBadKeyMessage);
  EXPECT_EQ(rig.dialogs.boxes[0].icon, MessageIcon::Error);
  EXPECT_EQ(rig.progress.Exchanges(), exchanges);
  EXPECT_EQ(keys.status().text, "Обновите информацию");
}

class OldFirmwareKeysTest : public CryptoKeysTest {
 protected:
  OldFirmwareKeysTest() : CryptoKeysTest(sim::DeviceSettings{.old_firmware = true}) {}
};

TEST_F(OldFirmwareKeysTest, DeviceWithoutKeys_ShowsNotSupportedInRed) {
  keys.L_UpdateKeysClick();
  EXPECT_EQ(keys.status().text, "Шифрование не поддерживается");
  EXPECT_EQ(keys.status().colour, KeyStatusColour::Red);
  EXPECT_TRUE(rig.TakeBoxes().empty());
}

}  // namespace
}  // namespace tamlo::device::testing
