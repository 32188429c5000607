#pragma once
// LinkCallback: the one way the device link talks back to the window that
// started an exchange. It is called synchronously from inside the exchange,
// on the same thread, and must not start another exchange.
//
// Each report has a kind number, one per method below; comments elsewhere
// in the link name reports by it ("reported through the callback (kind 1)"
// is an OnError call):
//   0 log line          OnLog(text)
//   1 error             OnError(text): log it and show it to the user
//   2 progress          OnProgress(stage, value): with a stage text a new
//                       stage (position 0, maximum value, 100 when 0);
//                       without one (nullptr) the new position
//   3 firmware version  OnFirmwareVersion(text after "Tamlo ")
//   4 data chunk        OnDataChunk(bytes, length, position): position is the
//                       number of bytes delivered earlier in this exchange
//   5 GSM status        OnGsmStatus(reply bytes, length)
//   6 key status        OnKeyStatus(bytes, length): key count, mask of set keys
//   7 password request  OnPasswordRequest(buffer, max_length, attempt): write
//                       a zero-terminated password of at most max_length bytes
//                       (the buffer has room for the terminator), or leave
//                       buffer[0] == 0 to give up; attempt is 0 for the first
//                       request of a command and counts up after each refusal
//   8 serial number     OnSerialNumber(number, supported): what SERIAL_READ
//                       read (the device's text), empty when the device has
//                       none; supported is false (number empty) when its
//                       firmware does not know the command
//   9 bootloader        OnBootloaderEntered(): the device no longer runs its
//                       firmware: it was told to restart into its bootloader,
//                       or its bootloader answered
// Kinds 8 and 9 come beside their log lines, which stay as they are.
// Kinds 0 and 1 arrive already formatted (printf format and arguments applied), UTF-8.
#include <cstddef>
#include <cstdint>
#include <string>

namespace tamlo::link {

class LinkCallback {
 public:
  virtual ~LinkCallback() = default;
  virtual void OnLog(const std::string& text) = 0;
  virtual void OnError(const std::string& text) = 0;
  virtual void OnProgress(const char* stage, uint32_t value) = 0;
  virtual void OnFirmwareVersion(const std::string& version) = 0;
  virtual void OnDataChunk(const uint8_t* data, size_t length, size_t position) = 0;
  virtual void OnGsmStatus(const uint8_t* data, size_t length) = 0;
  virtual void OnKeyStatus(const uint8_t* data, size_t length) = 0;
  virtual void OnPasswordRequest(char* buffer, size_t max_length, unsigned attempt) = 0;
  virtual void OnSerialNumber(const std::string& number, bool supported) = 0;
  virtual void OnBootloaderEntered() = 0;
};

}  // namespace tamlo::link
