// tamlocfg: the configurator's start-up, the composition root. It builds what
// the windows use of the system (dialogs, file system, clock), then every
// window of the program once, in a fixed order with the main window first;
// all live until the main window closes, which ends the program.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <QDir>
#include <QStandardPaths>

#include "app/command_line.h"
#include "app/main_artwork.h"
#include "app/main_window.h"
#include "app/main_window_control.h"
#include "app/platform_ports.h"
#include "app/port_router.h"
#include "app/qt_user_dialogs.h"
#include "app/settings_views.h"
#include "app/starting_console.h"
#include "app/start_ports.h"
#include "app/startup_probe.h"
#include "app/tamlo_application.h"
#include "config/program_arguments.h"
#include "config/system_file_system.h"
#include "device/crypto_keys.h"
#include "device/config_history.h"
#include "device/device_window.h"
#include "device/system_history_folder.h"
#include "device/phone_book_model.h"
#include "device/qt/crypto_keys_window.h"
#include "device/qt/device_window_view.h"
#include "device/qt/difference_window.h"
#include "device/qt/entry_dialog.h"
#include "device/qt/gsm_status_window.h"
#include "device/qt/phone_book_window.h"
#include "device/qt/progress_window.h"
#include "device/qt/qt_desktop.h"
#include "device/qt/qt_settings_store.h"
#include "link/clock.h"
#include "link/phone_book.h"
#include "link/qt/qt_message_pump.h"
#include "widgets/ui_fonts.h"

int main(int argc, char** argv) {
  // The command line first: --help and a usage error answer before the
  // application object connects to a window system (without a display it
  // would end the program).
  const std::vector<std::string> arguments = tamlo::ProgramArguments(argc, argv);
  const tamlo::CommandLine line = tamlo::ParseCommandLine(
      std::vector<std::string>(arguments.begin() + std::min<size_t>(arguments.size(), 1), arguments.end()));
  if (line.help || !line.error.empty()) tamlo::UseStartingConsole();
  if (line.help) {
    std::fputs(tamlo::CommandLineHelp().c_str(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
  }
  if (!line.error.empty()) {
    std::fprintf(stderr, "tamlocfg: %s\n\n%s", line.error.c_str(), tamlo::CommandLineHelp().c_str());
    return 2;
  }
  tamlo::TamloApplication app(argc, argv);  // takes Qt's own options out of argv
  tamlo::InstallUiFonts();
  QApplication::setWindowIcon(tamlo::ApplicationIcon());

  tamlo::QtUserDialogs dialogs;  // modal over the active window
  tamlo::link::SystemClock clock;
  tamlo::FileSystem& files = tamlo::SystemFileSystem();
  const tamlo::MainWindowSeams seams{dialogs, files, clock,
                                     std::filesystem::path(QCoreApplication::applicationDirPath().toStdU16String())};

  // 1. F_Main. The windows that follow it join here in this order as they are
  // built: F_Napr_Dost, F_Obsh_Nastr, F_TamloDev, F_GSM_Status,
  // F_UpdateProgress, F_RemoteAccess, F_Phonebook, F_AdemcoList, F_Autotests,
  // F_DelivOptions, F_PassInput, F_ExtLan, F_CryptoKeys; a page is handed to
  // F_Main with AttachPage before the first show.
  tamlo::TF_Main f_main(seams);
  QObject::connect(&f_main, &tamlo::TF_Main::Closed, &app, &QCoreApplication::quit, Qt::QueuedConnection);
  // 2., 3. and the other settings pages: F_Napr_Dost, F_Obsh_Nastr,
  // F_RemoteAccess, F_AdemcoList, F_Autotests, F_DelivOptions, F_ExtLan.
  new tamlo::SettingsViews(f_main, dialogs);  // a child of f_main from here on

  // 4. F_TamloDev with what it works through: the port (the demo device with
  // --demo), the remembered ports, the system's port list and the command
  // line's, the desktop and the main window.
  tamlo::QtSettingsStore stored_settings(tamlo::ProgramSettings());
  tamlo::StartPortSettings port_settings(stored_settings, line);
  const std::unique_ptr<tamlo::device::PortEnumerator> system_ports = tamlo::NewProgramPortEnumerator();
  tamlo::StartPortList port_list(*system_ports, line);
  tamlo::PortRouter port(tamlo::NewProgramSerialPort(),
                         line.demo ? tamlo::MakeDemoDevice(clock) : nullptr);
  tamlo::link::QtMessagePump pump;
  tamlo::QtDesktop desktop;
  tamlo::QtMainWindowControl main_control(f_main, [&f_main] { f_main.StartConnectionClock(); });
  // 5. F_GSM_Status.
  tamlo::TF_GSM_Status f_gsm_status(&f_main);
  // 6. F_UpdateProgress.
  tamlo::TF_UpdateProgress f_update_progress(&f_main);
  main_control.IgnoreWhenActive(&f_update_progress);
  // 8. F_Phonebook over the phone book file in the user's settings folder
  // (the program's folder when the system names none).
  tamlo::device::PhoneBookModel phone_book(
      tamlo::link::PhoneBookPath(tamlo::device::UserSettingsFolder().value_or(""),
                                 QCoreApplication::applicationDirPath().toStdString(), files),
      files, dialogs);
  tamlo::TF_Phonebook f_phonebook(phone_book, &f_main);
  // 12. F_PassInput.
  tamlo::TF_PassInput f_pass_input(&f_main, dialogs);

  // The backups before configuration writes, in the user's application data
  // folder, the console tool's as well; Qt's idea of it only when the
  // environment names no folder at all.
  tamlo::device::ConfigHistory history(
      tamlo::device::SystemHistoryFolder(),
      tamlo::device::UserHistoryRoot().value_or(
          QDir::toNativeSeparators(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + "/" +
                                   QString::fromUtf8(tamlo::device::kHistoryFolderName))
              .toStdString()));
  tamlo::TF_Differences f_differences(&f_main);

  tamlo::device::DeviceWindowModel device_model(
      {dialogs, files, port, clock, pump, port_list, port_settings, desktop, f_update_progress, f_pass_input,
       f_phonebook, main_control, f_gsm_status, f_main.Pages(), f_main.EventCodeList(), history, f_differences,
       tamlo::LocalLogTime});
  port.SetRemoteMode([&device_model] { return device_model.remote_selected(); });
  auto* f_tamlo_dev = new tamlo::TF_TamloDev(device_model);
  f_main.AttachDevicePage(f_tamlo_dev, f_tamlo_dev);
  QObject::connect(f_tamlo_dev, &tamlo::TF_TamloDev::PagesChanged, &f_main, &tamlo::TF_Main::PagesChanged);
  // 14. F_CryptoKeys, on the device window's key exchanges; the key is
  // typed into F_PassInput.
  tamlo::device::CryptoKeysModel crypto_keys(device_model, f_pass_input, dialogs);
  device_model.SetKeyStatusListener(
      [&crypto_keys](int count, unsigned mask) { crypto_keys.ShowKeyStatus(count, mask); });
  tamlo::TF_CryptoKeys f_crypto_keys(crypto_keys, &f_main);
  QObject::connect(f_tamlo_dev, &tamlo::TF_TamloDev::N_KeysClick, &f_crypto_keys, &tamlo::TF_CryptoKeys::Open);
  device_model.FormCreate();

  if (line.demo) f_main.AppendToTitle(QString::fromUtf8(tamlo::kDemoTitleSuffix));

  // tamlocfg FILE: the file is opened as Open would, once the pages are reset.
  if (line.file) f_main.OpenAtStart(*line.file);

  if (qEnvironmentVariableIsSet(tamlo::kStartupProbeVariable)) {
    std::function<bool()> read;
    if (line.demo)
      read = [&device_model] {
        device_model.FormShow();  // the port list, as when the page is shown
        const size_t lines = device_model.log_lines().size();
        device_model.L_ConfigReadClick();
        return device_model.log_lines().size() > lines &&
               device_model.log_lines().back().find("Конфигурация успешно считана") != std::string::npos;
      };
    new tamlo::StartupProbe(f_main, std::move(read));
  }

  f_main.show();
  const int result = app.exec();
  device_model.Save();
  delete f_tamlo_dev;  // before the model it shows
  return result;
}
