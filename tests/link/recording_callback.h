#pragma once
// A LinkCallback that records everything and answers password requests from
// a script.
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "fake_port.h"
#include "link/link_callback.h"

namespace tamlo::link::testing {

class RecordingCallback final : public LinkCallback {
 public:
  void OnLog(const std::string& text) override { log.push_back(text); }
  void OnError(const std::string& text) override { errors.push_back(text); }
  void OnProgress(const char* stage, uint32_t value) override {
    if (stage != nullptr) {
      stages.push_back(std::string(stage) + "/" + std::to_string(value));
      current_stage = stage;
    } else {
      last_position[current_stage] = value;
    }
  }
  void OnFirmwareVersion(const std::string& version) override { versions.push_back(version); }
  void OnDataChunk(const uint8_t* data, size_t length, size_t position) override {
    positions.push_back(position);
    data_bytes.insert(data_bytes.end(), data, data + length);
  }
  void OnGsmStatus(const uint8_t* data, size_t length) override { gsm.emplace_back(data, data + length); }
  void OnKeyStatus(const uint8_t* data, size_t length) override { keys.emplace_back(data, data + length); }
  void OnPasswordRequest(char* buffer, size_t max_length, unsigned attempt) override {
    password_attempts.push_back(attempt);
    max_lengths.push_back(max_length);
    if (passwords.empty()) return;  // gives up
    const std::string p = passwords.front();
    passwords.pop_front();
    p.copy(buffer, max_length);
  }
  void OnSerialNumber(const std::string& number, bool supported) override {
    serials.push_back(supported ? std::optional<std::string>(number) : std::nullopt);
  }
  void OnBootloaderEntered() override { ++bootloader_entered; }

  std::vector<std::string> log, errors, stages, versions;
  std::string current_stage;
  std::map<std::string, uint32_t> last_position;  // by stage
  std::vector<size_t> positions;
  Bytes data_bytes;
  std::vector<Bytes> gsm, keys;
  std::deque<std::string> passwords;  // answers to password requests; empty string = give up
  std::vector<unsigned> password_attempts;
  std::vector<size_t> max_lengths;
  std::vector<std::optional<std::string>> serials;  // nothing: the firmware has no serial number
  int bootloader_entered = 0;
};

}  // namespace tamlo::link::testing
