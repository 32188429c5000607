#pragma once
// What the GSM status window (TF_GSM_Status, "Уровень сигнала GSM") shows
// while the device is polled about once a second: per SIM card a group
// caption, the level in dB and in percent, a level bar and the SIM's state.
// The texts of one reply come from device/gsm_status_text.h; this keeps what
// a reply does not change: a level that is not known leaves the bar where
// it was, and before the first reply the captions and states stay as they
// were.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace tamlo::device {

struct GsmSimDisplay {
  std::string caption;        // " SIM 1 ", " SIM 1: используется ", " SIM 2: ошибка "
  std::string level_db;       // "-83 dB" or "- - -"
  std::string level_percent;  // "48%" or "- - -"
  int bar = 0;                // 0..100
  std::string state;          // "Активна", "Неизвестный статус 7", "- - -"
};

class GsmStatusWindowModel {
 public:
  GsmStatusWindowModel();

  // SIM 1 and SIM 2.
  const std::array<GsmSimDisplay, 2>& sims() const { return m_sims; }

  // Each showing: levels "- - -" and bars at 0; captions and states stay.
  void FormShow();
  // One status reply of the device.
  void ShowGsmStatus(const uint8_t* reply, size_t length);

 private:
  std::array<GsmSimDisplay, 2> m_sims;
};

}  // namespace tamlo::device
