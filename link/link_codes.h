#pragma once
// The device's command and answer codes, the link's result codes, and their
// texts.
//
// Result codes: 0 success; -1..-16 link failures; a device refusal with
// answer code A becomes A - 512 (-512..-257).
#include <cstdint>

namespace tamlo::link {

// Commands (request code byte).
inline constexpr uint8_t CMD_CONNECT = 0x00;
inline constexpr uint8_t CMD_GET_VERSION = 0x01;
inline constexpr uint8_t CMD_CONFIG_READ_BEGIN = 0x02;
inline constexpr uint8_t CMD_CONFIG_READ_CHUNK = 0x03;
inline constexpr uint8_t CMD_JOURNAL_READ_BEGIN = 0x04;
inline constexpr uint8_t CMD_JOURNAL_READ_CHUNK = 0x05;
inline constexpr uint8_t CMD_GSM_STATUS = 0x07;
inline constexpr uint8_t CMD_PASSWORD = 0x08;
inline constexpr uint8_t CMD_SERIAL_READ = 0x0B;
inline constexpr uint8_t CMD_KEYS_STATUS = 0x0C;
inline constexpr uint8_t CMD_CONFIG_WRITE_BEGIN = 0x42;
inline constexpr uint8_t CMD_CONFIG_WRITE_CHUNK = 0x43;
inline constexpr uint8_t CMD_SET_TIME = 0x46;
inline constexpr uint8_t CMD_REBOOT = 0x48;
inline constexpr uint8_t CMD_ENTER_BOOTLOADER = 0x49;
inline constexpr uint8_t CMD_CLEAR_EVENT_QUEUE = 0x4A;
inline constexpr uint8_t CMD_SERIAL_WRITE = 0x4B;
inline constexpr uint8_t CMD_KEY_CHANGE = 0x4C;

// Answers (answer code byte). Anything but ANS_OK is a refusal.
inline constexpr uint8_t ANS_OK = 0x80;
inline constexpr uint8_t ANS_RECONNECT = 0x81;
inline constexpr uint8_t ANS_UNKNOWN_COMMAND = 0x82;
inline constexpr uint8_t ANS_RETRY_LATER = 0x87;
inline constexpr uint8_t ANS_BAD_PASSWORD = 0x88;
inline constexpr uint8_t ANS_NO_CONFIGURATION = 0x94;
inline constexpr uint8_t ANS_REBOOT_REQUIRED = 0x95;
inline constexpr uint8_t ANS_NO_SPACE = 0x96;

// Link results.
inline constexpr int LINK_OK = 0;
inline constexpr int LINK_NO_ANSWER = -1;
inline constexpr int LINK_CANCELLED = -2;
inline constexpr int LINK_READ_FAILED = -3;
inline constexpr int LINK_WRITE_FAILED = -4;
inline constexpr int LINK_WRITE_TIMEOUT = -5;
inline constexpr int LINK_MODEM_REJECTED = -6;
inline constexpr int LINK_CARRIER_LOST = -7;
inline constexpr int LINK_FAILED_REPORTED = -9;
inline constexpr int LINK_CONNECT_PARAMS = -10;
inline constexpr int LINK_UNSUPPORTED_DEVICE = -11;
inline constexpr int LINK_BAD_ANSWER = -12;
inline constexpr int LINK_TRANSFER_PARAMS = -13;
inline constexpr int LINK_FILE_READ = -14;
inline constexpr int LINK_REMOTE_ABORT = -15;
inline constexpr int LINK_TOO_MANY_ERRORS = -16;

inline constexpr int kRefusalBase = 512;
inline constexpr int RefusalCode(uint8_t answer) { return static_cast<int>(answer) - kRefusalBase; }
inline constexpr bool IsRefusal(int code) { return code >= -512 && code <= -257; }

// The text of a refusal answer code ("Неизвестная ошибка" for unknown ones).
const char* AnswerText(uint8_t answer);
// The text of a link failure, or nullptr for codes whose failure was already
// reported where it happened (-3, -4, -9, -11). Unknown codes give
// "Неизвестная ошибка".
const char* LinkErrorText(int code);

}  // namespace tamlo::link
