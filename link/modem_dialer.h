#pragma once
// Dialling the device through a GSM modem, and hanging up.
//
// The port is already set up for the modem (RTS/CTS at 115200 Bd). The dial
// checks the modem with "AT" (three tries), makes sure both directions use
// RTS/CTS ("AT+IFC?" / "AT+IFC=2,2"), chooses the bearer ("AT+CBST?" /
// "AT+CBST=71" for the fast V.110 connect, "AT+CBST=7" for V.32) and places
// the data call with "ATD<number>", waiting up to 120 s for the outcome.
#include <string>

#include "link/at_command.h"

namespace tamlo::link {

inline constexpr int kAtTries = 3;
inline constexpr uint32_t kAtReplyWaitMs = 1000;
inline constexpr uint32_t kDialWaitMs = 120000;
inline constexpr uint32_t kDeviceHangUpWaitMs = 3100;
inline constexpr uint32_t kEscapeWaitMs = 2000;
inline constexpr uint32_t kHangUpWaitMs = 5000;
inline constexpr uint32_t kCarrierDropWaitMs = 3000;
inline constexpr int kBothRtsCts = 0x20002;  // "+IFC: 2,2"
inline constexpr int kBearerV110 = 71;       // 9600 bit/s V.110
inline constexpr int kBearerV32 = 7;         // 9600 bit/s V.32
inline constexpr int kBearerAuto = 0;

struct DialInput {
  std::string number;
  bool fast_connect = true;
};

// 0 when the call is connected, else a negative code. Call failures are
// reported here and give -9; -6 (modem refused a setting), -1 and -2 are left
// to the caller's ReportLinkResult. After no outcome within 120 s or a cancel
// the line is hung up first.
int DialDevice(ModemChannel& channel, const DialInput& input, LinkCallback& callback);

// Waits for the far end to end the call, else escapes to command mode with
// "+++" and sends "ATH"; reports a carrier that will not drop. Cancel
// requests are ignored throughout. 0 or a negative code.
int HangUp(ModemChannel& channel, LinkCallback& callback);

}  // namespace tamlo::link
