#pragma once
// The program's arguments as UTF-8 text, the program's name first: the form
// the file system seam takes paths in. POSIX hands them over as they are;
// Windows reads the wide command line, so that Cyrillic file names survive
// whatever the system's code page is (a .tamlo file opened from Explorer, a
// console tool's output name). One implementation per system.
#include <string>
#include <vector>

namespace tamlo {

std::vector<std::string> ProgramArguments(int argc, char** argv);

}  // namespace tamlo
