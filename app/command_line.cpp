#include "app/command_line.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "link/serial_port.h"

namespace tamlo {
namespace {

// The options QApplication takes out of the command line itself (its own,
// QGuiApplication's and the X11 platform's), with one dash or two. The
// program reads its line before the application object exists, so that
// --help and usage errors need no window system; these are passed over.
constexpr std::array<std::string_view, 16> kQtOptionsWithValue = {
    "platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry", "geometry",
    "qwindowtitle", "title", "qwindowicon", "icon", "session", "style", "stylesheet", "display", "name",
    "visual"};
constexpr std::array<std::string_view, 6> kQtFlags = {"reverse", "testability", "widgetcount",
                                                      "nograb", "dograb", "sync"};
constexpr std::array<std::string_view, 3> kQtOptionsWithJoinedValue = {"style=", "stylesheet=", "qmljsdebugger="};

// How many arguments a Qt option at `arg` takes up (itself and its value),
// or 0 when `arg` is no Qt option.
size_t QtOptionLength(std::string_view arg) {
  if (arg.size() < 2 || arg[0] != '-') return 0;
  const std::string_view name = arg.substr(arg[1] == '-' ? 2 : 1);
  const auto is = [name](std::string_view option) { return option == name; };
  const auto starts = [name](std::string_view prefix) { return name.starts_with(prefix); };
  if (std::any_of(kQtOptionsWithValue.begin(), kQtOptionsWithValue.end(), is)) return 2;
  if (std::any_of(kQtFlags.begin(), kQtFlags.end(), is)) return 1;
  if (std::any_of(kQtOptionsWithJoinedValue.begin(), kQtOptionsWithJoinedValue.end(), starts)) return 1;
  return 0;
}

}  // namespace

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
    if (const size_t qt = options_done ? 0 : QtOptionLength(arg); qt > 0) {
      i += qt - 1;
    } else if (!options_done && arg == "--") {
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
