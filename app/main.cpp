// tamlocfg: the configurator's start-up, the composition root. It builds what
// the windows use of the system (dialogs, file system, clock), then every
// window of the program once, in a fixed order with the main window first;
// all live until the main window closes, which ends the program.
#include <filesystem>

#include "app/main_artwork.h"
#include "app/main_window.h"
#include "app/qt_user_dialogs.h"
#include "app/settings_views.h"
#include "app/tamlo_application.h"
#include "config/posix/posix_file_system.h"
#include "link/clock.h"
#include "widgets/ui_fonts.h"

int main(int argc, char** argv) {
  tamlo::TamloApplication app(argc, argv);
  tamlo::InstallUiFonts();
  QApplication::setWindowIcon(tamlo::ApplicationIcon());

  tamlo::QtUserDialogs dialogs;  // modal over the active window
  tamlo::link::SystemClock clock;
  const tamlo::MainWindowSeams seams{dialogs, tamlo::PosixFileSystem(), clock,
                                     std::filesystem::path(QCoreApplication::applicationDirPath().toStdString())};

  // 1. F_Main. The windows that follow it join here in this order as they are
  // built: F_Napr_Dost, F_Obsh_Nastr, F_TamloDev, F_GSM_Status,
  // F_UpdateProgress, F_RemoteAccess, F_Phonebook, F_AdemcoList, F_Autotests,
  // F_DelivOptions, F_PassInput, F_ExtLan, F_CryptoKeys; a page is handed to
  // F_Main with AttachPage before the first show.
  tamlo::TF_Main f_main(seams);
  QObject::connect(&f_main, &tamlo::TF_Main::Closed, &app, &QCoreApplication::quit, Qt::QueuedConnection);
  new tamlo::SettingsViews(f_main, dialogs);  // a child of f_main from here on

  // tamlocfg FILE: the file is opened as Open would, once the pages are reset.
  const QStringList args = QCoreApplication::arguments();
  if (args.size() > 1) f_main.OpenAtStart(args.at(1).toStdString());

  f_main.show();
  return app.exec();
}
