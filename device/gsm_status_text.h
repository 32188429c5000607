#pragma once
// What the GSM status window (and the console tool's gsm-status) shows for
// each SIM card of the device's GSM status reply (decoded by
// link/gsm_status.h).
//
// Example: the reply 02 00 A1 0F 01 63 shows SIM 1 as " SIM 1: используется ",
// "-83 dB", "48%", bar 48, "Активна", and SIM 2 as " SIM 2 ", "- - -",
// "- - -", the bar unchanged, "Нет SIM-карты".
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "link/gsm_status.h"

namespace tamlo::device {

struct GsmSimView {
  std::string caption;        // group box caption: " SIM 1 ", " SIM 1: используется ", " SIM 2: ошибка "
  std::string level_db;       // "-83 dB" or "- - -"
  std::string level_percent;  // "48%" (level × 100 / 31) or "- - -"
  std::optional<int> bar;     // 0..100; empty: the bar keeps its position
  std::string state;          // "Активна", "Неизвестный статус 7", "- - -" without a record
};

// The view of SIM `number` (1 or 2).
GsmSimView GsmSimText(const link::GsmSimStatus& sim, unsigned number);

// Both SIM cards of a reply.
std::array<GsmSimView, 2> GsmStatusText(const uint8_t* reply, size_t length);

}  // namespace tamlo::device
