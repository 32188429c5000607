#pragma once
// Decoding of the device's GSM status reply into what the GSM status window
// shows for each of the two SIM cards.
//
// Reply: u8 N (SIM records), one byte not interpreted here, then N records
// of u8 status, u8 level. Status: bit 6 the SIM failed, bit 7 the SIM is in
// use (only when bit 6 is clear), bits 0-5 the state code. Level: the +CSQ
// signal index, 0 = -113 dB in 2 dB steps, 31 = -51 dB; 57 and up (99) mean
// "not known", 32..56 are shown as 31.
//
// Example: 02 00 A1 0F 01 63 gives SIM 1 " SIM 1: используется ", "-83 dB",
// "48%", "Активна" and SIM 2 " SIM 2 ", "- - -", "- - -", "Нет SIM-карты".
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace tamlo::link {

struct GsmSimView {
  std::string caption;        // group box caption, " SIM 1: ошибка " etc.
  std::string level_db;       // "-83 dB" or "- - -"
  std::string level_percent;  // "48%" or "- - -"
  std::optional<int> bar;     // 0..100; empty: the bar keeps its position
  std::string state;          // "Активна", "Неизвестный статус 7", ...
};

// The view of both SIM slots. The reply must hold at least 2 + 2 * N bytes
// (the exchange checks that); records beyond `length` are treated as absent.
std::array<GsmSimView, 2> DecodeGsmStatus(const uint8_t* reply, size_t length);

}  // namespace tamlo::link
