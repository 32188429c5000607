#include "link/bootloader_entry.h"

#include "link/link_codes.h"
#include "link/text_format.h"

namespace tamlo::link {
namespace {

int ChangeSpeed(SerialCore& core, uint32_t baud, LinkCallback& callback) {
  const std::string error = core.SetPortParams(false, baud, callback);
  if (error.empty()) return LINK_OK;
  callback.OnError(Format("Неожиданная ошибка при смене скорости порта: %s", error.c_str()));
  return LINK_FAILED_REPORTED;
}

// Reads for up to 3 s looking for the prompt: 1 found, 0 not found, or a
// negative code. Other text before the prompt (an echo, a banner) is skipped.
int WaitForPrompt(SerialCore& core, LinkCallback& callback) {
  const Deadline limit = Deadline::After(core.clock(), kPromptWaitMs);
  size_t matched = 0;
  while (!limit.Expired(core.clock())) {
    const int filled = core.FillReceiveBuffer(callback);
    if (filled < 0) return filled;
    uint8_t byte = 0;
    while (core.TakeBufferedByte(byte)) {
      if (byte == uint8_t(kBootloaderPrompt[matched])) {
        if (++matched == kBootloaderPromptLength) return 1;
      } else {
        matched = byte == uint8_t(kBootloaderPrompt[0]) ? 1 : 0;
      }
    }
  }
  return 0;
}

}  // namespace

int EnterBootloader(CommandProtocol& protocol, SerialCore& core, FirmwareFile& file, LinkCallback& callback) {
  callback.OnProgress("Вход в загрузчик", kBootloaderSearchMs);
  const Deadline search = Deadline::After(core.clock(), kBootloaderSearchMs);
  for (;;) {
    int r = ChangeSpeed(core, kBootloaderBaud, callback);
    if (r < 0) return r;
    r = core.WritePort(kWakeString, sizeof kWakeString, callback);
    if (r < 0) return r;
    r = WaitForPrompt(core, callback);
    if (r < 0) return r;
    if (r == 1) {
      callback.OnLog("Обнаружен загрузчик");
      callback.OnBootloaderEntered();
      const uint8_t yes = 'Y';
      r = core.WritePort(&yes, 1, callback);
      if (r < 0) return r;
      return SendFirmware(core, file, callback);
    }

    if (search.Elapsed(core.clock()) > kBootloaderSearchMs) return LINK_NO_ANSWER;
    callback.OnProgress(nullptr, search.Elapsed(core.clock()));
    r = ChangeSpeed(core, kLinkBaud, callback);
    if (r < 0) return r;
    r = protocol.Connect(callback, true);
    if (r == LINK_NO_ANSWER) continue;
    if (r < 0) return r;
    // The firmware is running: ask it to restart into the bootloader.
    callback.OnLog("Переход в режим загрузчика");
    callback.OnBootloaderEntered();
    auto accept = [](size_t, LinkCallback&) { return 1; };
    r = protocol.ExchangeWithPassword(CMD_ENTER_BOOTLOADER, 0, nullptr, accept, callback);
    if (r != LINK_OK && r != LINK_NO_ANSWER) return r;
  }
}

}  // namespace tamlo::link
