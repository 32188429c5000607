#include "app/command_line.h"

#include "link/serial_port.h"

namespace tamlo {

std::optional<std::string> CommandLine::StartPort() const {
  if (!ports.empty()) return ports.back();
  if (demo) return std::string(kDemoPortName);
  return std::nullopt;
}

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
  CommandLine line;
  bool options_done = false;  // after "--" every argument is a file name
  for (size_t i = 0; i < args.size() && line.error.empty(); ++i) {
    const std::string& arg = args[i];
    if (!options_done && arg == "--") {
      options_done = true;
    } else if (!options_done && arg == "--port") {
      if (i + 1 >= args.size() || args[i + 1].empty()) {
        line.error = "После --port нужно указать путь к порту";
      } else {
        line.ports.push_back(link::CommandLinePortPath(args[++i]));
      }
    } else if (!options_done && arg.rfind("--port=", 0) == 0) {
      if (arg.size() == 7) line.error = "После --port нужно указать путь к порту";
      else line.ports.push_back(link::CommandLinePortPath(arg.substr(7)));
    } else if (!options_done && arg == "--demo") {
      line.demo = true;
    } else if (!options_done && (arg == "--help" || arg == "-h")) {
      line.help = true;
    } else if (!options_done && arg.size() > 1 && arg[0] == '-') {
      line.error = "Неизвестный параметр: " + arg;
    } else if (line.file) {
      line.error = "Можно открыть только один файл конфигурации: " + arg;
    } else {
      line.file = arg;
    }
  }
  return line;
}

std::string CommandLineHelp() {
  return "Использование: tamlocfg [--port ПУТЬ]... [--demo] [ФАЙЛ.tamlo]\n"
         "\n"
         "  ФАЙЛ.tamlo    открыть файл конфигурации при запуске\n"
         "  --port ПУТЬ   добавить порт, которого нет в списке системы (псевдотерминал,\n"
         "                канал socat или ser2net), и выбрать его при запуске;\n"
         "                относительный путь берется от текущей папки;\n"
         "                можно указать несколько раз, выбран будет последний\n"
         "  --demo        добавить в список портов \"" + std::string(kDemoPortName) + "\": встроенный имитатор\n"
         "                прибора с примером объекта и журналом (в режиме удаленного\n"
         "                подключения - его модем, при обновлении прошивки - его\n"
         "                загрузчик), чтобы попробовать все операции без прибора;\n"
         "                заголовок окна тогда содержит \"(демо)\"\n"
         "  --help, -h    показать эту справку\n";
}

}  // namespace tamlo
