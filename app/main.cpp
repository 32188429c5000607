// tamlocfg: the configurator's start-up. Every window of the program is
// created here once, in a fixed order with the main window first, and lives
// until the main window closes, which ends the program.
#include "app/hint_style.h"
#include "app/main_artwork.h"
#include "app/main_window.h"
#include "app/tamlo_application.h"
#include "app/app_fonts.h"

int main(int argc, char** argv) {
  tamlo::TamloApplication app(argc, argv);
  tamlo::InstallUiFonts();
  QApplication::setWindowIcon(tamlo::ApplicationIcon());

  // 1. F_Main. The windows that follow it join here in this order as they are
  // built: F_Napr_Dost, F_Obsh_Nastr, F_TamloDev, F_GSM_Status,
  // F_UpdateProgress, F_RemoteAccess, F_Phonebook, F_AdemcoList, F_Autotests,
  // F_DelivOptions, F_PassInput, F_ExtLan, F_CryptoKeys; a page is handed to
  // F_Main with AttachPage before the first show.
  tamlo::TF_Main f_main;
  QObject::connect(&f_main, &tamlo::TF_Main::Closed, &app, &QCoreApplication::quit, Qt::QueuedConnection);

  f_main.show();
  return app.exec();
}
