#pragma once
// Getting the device into its bootloader and sending it the firmware.
//
// The bootloader listens at 19200 Bd. It answers the wake string (0x18 six
// times, 0x08 six times, "S UPGRADE", CR) with the prompt " (Y/N) ? " and
// takes "Y" as the go-ahead for an XMODEM transfer. A device running its
// firmware (block protocol at 115200 Bd) ignores the wake string; it is
// found with a quiet handshake and sent CMD_ENTER_BOOTLOADER, after which the
// wake string is tried again. The whole search gives up after 30 s.
#include "link/command_protocol.h"
#include "link/xmodem_sender.h"

namespace tamlo::link {

inline constexpr uint32_t kBootloaderBaud = 19200;
inline constexpr uint32_t kBootloaderSearchMs = 30000;
inline constexpr uint32_t kPromptWaitMs = 3000;
inline constexpr uint8_t kWakeString[22] = {0x18, 0x18, 0x18, 0x18, 0x18, 0x18, 0x08, 0x08, 0x08, 0x08, 0x08,
                                            0x08, 'S',  ' ',  'U',  'P',  'G',  'R',  'A',  'D',  'E',  0x0D};
inline constexpr char kBootloaderPrompt[] = " (Y/N) ? ";
inline constexpr size_t kBootloaderPromptLength = sizeof kBootloaderPrompt - 1;  // 9

// 0 when the file has been transferred, else a negative code. A failed speed
// change is reported here (-9); other codes are left to ReportLinkResult.
int EnterBootloader(CommandProtocol& protocol, SerialCore& core, FirmwareFile& file, LinkCallback& callback);

}  // namespace tamlo::link
