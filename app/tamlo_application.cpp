#include "app/tamlo_application.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QWidget>
#include <exception>

#include "tamlo_version.h"
#include "widgets/page_look.h"

namespace tamlo {

TamloApplication::TamloApplication(int& argc, char** argv) : QApplication(argc, argv) {
  // The title is also the application name, so that Qt does not append it to
  // the main window's own caption; windows and pages read it back with
  // QGuiApplication::applicationDisplayName().
  setApplicationName(ApplicationTitle());
  setOrganizationName(QString::fromUtf8(kOrganizationName));
  setApplicationVersion(QString::fromLatin1(kVersionText));
  setDesktopFileName(QStringLiteral("tamlocfg"));
  // The whole interface is Russian whatever the system's language; without
  // the translation files the dialogs fall back to English.
  if (m_qtTranslator.load(QLocale(QLocale::Russian, QLocale::Russia), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    installTranslator(&m_qtTranslator);
}

bool TamloApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& error) {
    ShowEscapedError(QString::fromUtf8(error.what()));
  } catch (...) {
    ShowEscapedError(QStringLiteral("Неизвестная ошибка"));
  }
  return false;
}

void TamloApplication::ShowEscapedError(const QString& text) {
  if (m_errorDisplay) {
    m_errorDisplay(text);
    return;
  }
  // The box runs its own event loop; an error raised inside it is not shown
  // in a second box on top of the first.
  if (m_showingError) {
    qWarning("tamlocfg: %s", qUtf8Printable(text));
    return;
  }
  m_showingError = true;
  QMessageBox::critical(activeWindow(), applicationDisplayName(), text);
  m_showingError = false;
}

}  // namespace tamlo
