#pragma once
// The device's GSM status reply, decoded into what it says about each of the
// two SIM cards. The texts the GSM status window shows are made from this in
// device/gsm_status_text.h.
//
// Reply: u8 N (SIM records), one byte not interpreted here, then N records
// of u8 status, u8 level. Status: bit 6 the SIM failed, bit 7 the SIM is in
// use (only when bit 6 is clear), bits 0-5 the state code. Level: the +CSQ
// signal index, 0 = -113 dB in 2 dB steps, 31 = -51 dB; 57 and up (99) mean
// "not known", 32..56 count as 31.
//
// Example: 02 00 A1 0F 01 63 gives SIM 1 in use, state 33, level 15 and
// SIM 2 neither failed nor in use, state 1, level not known.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace tamlo::link {

struct GsmSimStatus {
  bool present = false;           // the reply holds a record for this SIM
  bool failed = false;            // status bit 6
  bool in_use = false;            // status bit 7, only when bit 6 is clear
  unsigned state = 0;             // status bits 0-5
  std::optional<unsigned> level;  // 0..31; empty: not known
};

// The signal strength of a +CSQ level index: -113 dB for 0, -51 dB for 31.
int GsmLevelDb(unsigned level);

// Both SIM slots. The reply must hold at least 2 + 2 * N bytes (the exchange
// checks that); records beyond `length` or beyond N are not present.
std::array<GsmSimStatus, 2> DecodeGsmStatus(const uint8_t* reply, size_t length);

}  // namespace tamlo::link
