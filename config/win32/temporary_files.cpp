// The Windows side of the temporary file list: a console control handler
// removes the listed files on Ctrl+C, Ctrl+Break and the closing of the
// console, then lets the event end the process as it would have. The handler
// runs on a thread of its own while the save may still be writing: the
// temporary files are opened with FILE_SHARE_DELETE, so DeleteFileW takes
// them even then (the name goes when the last handle closes).
#include <windows.h>

#include "config/system_file_system.h"
#include "config/temporary_file_list.h"
#include "config/win32/wide_text.h"

namespace tamlo {
namespace {

void Delete(const char* path) { ::DeleteFileW(WideOf(path).c_str()); }

BOOL WINAPI RemoveAndGoOn(DWORD event) {
  if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT || event == CTRL_CLOSE_EVENT) RemoveTemporaryFilesNow();
  return FALSE;
}

}  // namespace

void RemoveTemporaryFilesNow() { ForEachTemporaryFile(Delete); }

void InstallTemporaryFileCleanup() { ::SetConsoleCtrlHandler(RemoveAndGoOn, TRUE); }

}  // namespace tamlo
