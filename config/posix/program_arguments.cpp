#include "config/program_arguments.h"

namespace tamlo {

std::vector<std::string> ProgramArguments(int argc, char** argv) { return {argv, argv + argc}; }

}  // namespace tamlo
