// A save held open while the test signals it: replaces the file named by its
// argument, writes "pending" on standard output once the temporary file
// exists, and commits only at the end of its standard input.
#include <unistd.h>

#include <cstdint>

#include "config/system_file_system.h"
#include "config/temporary_file_list.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  tamlo::InstallTemporaryFileCleanup();
  tamlo::FileProblem problem;
  const auto file = tamlo::SystemFileSystem().CreateReplacement(argv[1], problem);
  if (!file) return 2;
  file->Write(reinterpret_cast<const uint8_t*>("new"), 3);
  if (write(STDOUT_FILENO, "pending\n", 8) != 8) return 2;
  char c = 0;
  while (read(STDIN_FILENO, &c, 1) > 0) {
  }
  return file->Commit().empty() ? 0 : 1;
}
