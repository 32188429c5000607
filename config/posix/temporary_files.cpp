// The POSIX side of the temporary file list: unlink() from a signal handler
// for SIGINT and SIGTERM, which then ends the process the way the signal
// would have (the default action put back and the signal raised again, so
// the parent sees the signal). A handler installed later for a while (Ctrl+C
// as the cancel of a device exchange) takes over until it puts this one back.
#include <signal.h>
#include <unistd.h>

#include "config/system_file_system.h"
#include "config/temporary_file_list.h"

namespace tamlo {
namespace {

void Unlink(const char* path) { ::unlink(path); }

void RemoveAndRaise(int signal_number) {
  RemoveTemporaryFilesNow();
  struct sigaction fallback {};
  fallback.sa_handler = SIG_DFL;
  sigemptyset(&fallback.sa_mask);
  sigaction(signal_number, &fallback, nullptr);
  raise(signal_number);  // delivered when the handler returns: the signal is blocked while it runs
}

}  // namespace

void RemoveTemporaryFilesNow() { ForEachTemporaryFile(Unlink); }

void InstallTemporaryFileCleanup() {
  struct sigaction action {};
  action.sa_handler = RemoveAndRaise;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

}  // namespace tamlo
