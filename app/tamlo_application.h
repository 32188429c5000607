#pragma once
// The program's QApplication: its title, and the last line of defence for
// errors. An exception that escapes an event handler is shown in an error box
// and the event loop goes on, so a fault in one command never ends the program
// or loses the settings held in the pages.
#include <QApplication>
#include <QString>
#include <QTranslator>
#include <functional>

namespace tamlo {

class TamloApplication : public QApplication {
  Q_OBJECT
 public:
  TamloApplication(int& argc, char** argv);

  bool notify(QObject* receiver, QEvent* event) override;

  // Shows an escaped error; the default is an error box over the active
  // window. Tests replace it.
  using ErrorDisplay = std::function<void(const QString& text)>;
  void SetErrorDisplay(ErrorDisplay display) { m_errorDisplay = std::move(display); }

 private:
  void ShowEscapedError(const QString& text);

  // The standard dialogs' own texts (buttons, file dialog) in Russian.
  QTranslator m_qtTranslator;
  ErrorDisplay m_errorDisplay;
  bool m_showingError = false;
};

}  // namespace tamlo
