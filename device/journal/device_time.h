#pragma once
// Device time: the device clock counts unsigned 32-bit seconds from
// 01.01.2012 00:00:00 of its own (local) clock. The count is laid out in
// four-year cycles of 1461 days, each beginning with a leap year; the device
// knows no other calendar rule, so neither does this text.
#include <cstdint>
#include <string>

namespace tamlo::journal {

// The journal's "no time" value: every bit set.
inline constexpr std::uint32_t kNoDeviceTime = 0xFFFFFFFFu;

// "DD.MM.YY HH:MM:SS" (17 characters, year modulo 100). 0 is
// "01.01.12 00:00:00", 31536000 is "31.12.12 00:00:00".
std::string FormatDeviceTime(std::uint32_t seconds);

}  // namespace tamlo::journal
