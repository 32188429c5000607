#pragma once
// How the journal export reports a damaged journal or a file it cannot
// write. In the configurator each message becomes a service log line and an
// error box titled "Ошибка"; the console tool prints it.
#include <string_view>

#include "config/user_interface.h"

namespace tamlo::journal {

class JournalErrors {
 public:
  virtual ~JournalErrors() = default;
  virtual void ReportError(std::string_view text) = 0;  // UTF-8
};

// The device window's way: log line first, then the error box.
class ServiceLogJournalErrors : public JournalErrors {
 public:
  ServiceLogJournalErrors(ServiceLog& log, UserDialogs& dialogs) : m_log(log), m_dialogs(dialogs) {}
  void ReportError(std::string_view text) override {
    m_log.LogInfo(text);
    m_dialogs.ShowMessage(text, "Ошибка", MessageIcon::Error);
  }

 private:
  ServiceLog& m_log;
  UserDialogs& m_dialogs;
};

}  // namespace tamlo::journal
