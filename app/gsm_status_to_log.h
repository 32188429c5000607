#pragma once
// Until the GSM status window exists: the GSM level goes into the service
// log. The first status reply is written there, one line per SIM card, and
// ends the polling at once. Without this the polling would run on behind a
// hidden progress window with nothing left to cancel it.
#include <functional>

#include "config/user_interface.h"
#include "device/device_seams.h"

namespace tamlo {

class GsmStatusToLog final : public device::GsmStatusView {
 public:
  // The log is the device window's, which is built after this; it is given
  // before the first exchange.
  void SetLog(ServiceLog& log) { m_log = &log; }

  void Show(std::function<void()> cancel) override { m_cancel = std::move(cancel); }
  void ShowStatus(const uint8_t* reply, size_t length) override;
  void Close() override { m_cancel = nullptr; }

 private:
  ServiceLog* m_log = nullptr;
  std::function<void()> m_cancel;
};

}  // namespace tamlo
