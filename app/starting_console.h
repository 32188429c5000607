#pragma once
// Where --help and a usage error are printed. A window program on Windows
// has no console of its own: started from one (cmd, PowerShell) it prints to
// that console, unless its output was redirected. POSIX programs print to
// their standard streams as they are. One implementation per system.

namespace tamlo {

void UseStartingConsole();

}  // namespace tamlo
