#include "app/starting_console.h"

namespace tamlo {

void UseStartingConsole() {}

}  // namespace tamlo
