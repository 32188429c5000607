#include "link/modem_dialer.h"

#include "link/link_codes.h"
#include "link/text_format.h"

namespace tamlo::link {
namespace {

bool IsErrorReply(int index) {
  return index == kReplyError || index == kReplyCmeError || index == kReplyCmsError;
}

// ERROR, +CME ERROR or +CMS ERROR ends a setting or a query: the modem refused it.
bool Rejected(int& result) {
  result = LINK_MODEM_REJECTED;
  return true;
}

const auto OkOnly = [](ModemChannel&, LinkCallback&, int index, int& result) -> bool {
  if (index != kReplyOk) return false;
  result = 0;
  return true;
};

const auto Setting = [](ModemChannel&, LinkCallback&, int index, int& result) -> bool {
  if (index == kReplyOk) {
    result = 0;
    return true;
  }
  if (IsErrorReply(index)) return Rejected(result);
  return false;
};

// "+IFC: <DCE by DTE>,<DTE by DCE>": field 0 into the low half, field 1 into
// the high half, so 2,2 reads 0x20002.
const auto FlowQuery = [](ModemChannel& channel, LinkCallback& callback, int index, int& result) -> bool {
  if (index == kReplyIfc) {
    auto visit = [](int field, uint32_t number, uint32_t& value) {
      if (field == 0) value = (value & 0xFFFF0000u) | (number & 0xFFFFu);
      else if (field == 1) value = (value & 0x0000FFFFu) | ((number & 0xFFFFu) << 16);
    };
    result = int(channel.ReadReplyFields(callback, visit, uint32_t(result)));
    return false;
  }
  if (index == kReplyOk) return true;
  if (IsErrorReply(index)) return Rejected(result);
  return false;
};

// "+CBST: <speed>,<name>,<ce>": the speed code is the bearer.
const auto BearerQuery = [](ModemChannel& channel, LinkCallback& callback, int index, int& result) -> bool {
  if (index == kReplyCbst) {
    auto visit = [](int field, uint32_t number, uint32_t& value) {
      if (field == 0) value = number;
    };
    result = int(channel.ReadReplyFields(callback, visit, uint32_t(result)));
    return false;
  }
  if (index == kReplyOk) return true;
  if (IsErrorReply(index)) return Rejected(result);
  return false;
};

const auto DialOutcome = [](ModemChannel&, LinkCallback&, int index, int& result) -> bool {
  if (index > kReplyNoAnswer) return false;  // RING and query replies
  result = index;
  return true;
};

const auto LineDrop = [](ModemChannel&, LinkCallback&, int index, int& result) -> bool {
  if (index != kReplyNoCarrier && index != kReplyError) return false;
  result = 1;
  return true;
};

const auto EscapeOrHangUp = [](ModemChannel&, LinkCallback&, int index, int& result) -> bool {
  if (index != kReplyOk && index != kReplyError && index != kReplyNoCarrier) return false;
  result = 1;
  return true;
};

}  // namespace

int DialDevice(ModemChannel& channel, const DialInput& input, LinkCallback& callback) {
  channel.Reset();
  callback.OnProgress("Инициализация модема", 0);

  int result = -1;
  for (int attempt = 0; attempt < kAtTries && result == -1; ++attempt) {
    result = channel.AtCommand("AT", kAtReplyWaitMs, callback, OkOnly, -1);
  }
  if (result < 0) return result;

  result = channel.AtCommand("AT+IFC?", kAtReplyWaitMs, callback, FlowQuery, -1);
  if (result < 0) return result;
  if (result != kBothRtsCts) {
    result = channel.AtCommand("AT+IFC=2,2", kAtReplyWaitMs, callback, Setting, -1);
    if (result < 0) return result;
  }

  result = channel.AtCommand("AT+CBST?", kAtReplyWaitMs, callback, BearerQuery, -1);
  if (result < 0) return result;
  const char* bearer = nullptr;
  if (input.fast_connect && result != kBearerV110) bearer = "AT+CBST=71";
  if (!input.fast_connect && result != kBearerAuto && result != kBearerV32) bearer = "AT+CBST=7";
  if (bearer != nullptr) {
    result = channel.AtCommand(bearer, kAtReplyWaitMs, callback, Setting, -1);
    if (result < 0) return result;
  }

  callback.OnLog(Format("Набор номера '%s'", input.number.c_str()));
  const int written = channel.AtWriteCommand("ATD", input.number, "", callback);
  if (written < 0) {
    if (written == LINK_CANCELLED) HangUp(channel, callback);
    return written;
  }
  result = channel.WaitModemReply(kDialWaitMs, callback, DialOutcome, -1, "Ожидание соединения");
  channel.FlushReplyLog(callback);

  switch (result) {
    case kReplyConnect:
      return LINK_OK;
    case kReplyError:
    case kReplyCmeError:
    case kReplyCmsError:
      return LINK_MODEM_REJECTED;
    case kReplyNoDialtone:
      callback.OnError("Не удается совершить звонок. Возможно, модем не зарегистрирован в сети");
      return LINK_FAILED_REPORTED;
    case kReplyBusy:
      callback.OnError("Номер занят");
      return LINK_FAILED_REPORTED;
    case kReplyNoCarrier:
    case kReplyNoAnswer:
      callback.OnError("Номер не отвечает");
      return LINK_FAILED_REPORTED;
    case kReplyOk:
      callback.OnError(Format("Неизвестная ошибка при наборе номера (код %d)", result));
      return LINK_FAILED_REPORTED;
    case LINK_NO_ANSWER:
    case LINK_CANCELLED:
      // The call may be under way: take the line down before giving up.
      HangUp(channel, callback);
      return result;
    default:
      return result;
  }
}

int HangUp(ModemChannel& channel, LinkCallback& callback) {
  SerialCore& core = channel.core();
  core.set_disconnecting(true);
  callback.OnProgress("Завершение связи", 0);

  int result = 0;
  bool escaped_ok = true;
  if (core.CarrierDetected()) {
    // The device may end the call itself once its action is done.
    result = channel.WaitModemReply(kDeviceHangUpWaitMs, callback, LineDrop, 0, nullptr);
    if (result >= 0 && core.CarrierDetected()) {
      // The wait above was the guard time's silence; AtWriteCommand adds its pause.
      result = channel.AtWriteCommand("+++", "", nullptr, callback);
      if (result >= 0) result = channel.WaitModemReply(kEscapeWaitMs, callback, EscapeOrHangUp, 0, nullptr);
    }
    escaped_ok = result >= 0;
  }
  if (escaped_ok) result = channel.AtCommand("ATH", kHangUpWaitMs, callback, EscapeOrHangUp, -1);
  channel.FlushReplyLog(callback);

  const Deadline drop = Deadline::After(core.clock(), kCarrierDropWaitMs);
  while (core.CarrierDetected() && !drop.Expired(core.clock())) core.WaitPumping(50);
  if (core.CarrierDetected()) callback.OnError("Не удается разорвать соединение!");

  core.set_disconnecting(false);
  return result < 0 ? result : LINK_OK;
}

}  // namespace tamlo::link
