#pragma once
// Placing the device window's small windows over the main window.
//
// They are not Qt children of the main window: the device window disables
// the main window for the length of an exchange, and a disabled widget
// disables its child windows too, which would take the progress window's
// "Отмена" and the password dialog away from the user exactly when they are
// needed. They stay on top of the main window as its transient windows.
class QWidget;

namespace tamlo {

// Makes `window` a transient window of `main_window` (kept above it by the
// window manager) without making it a child. `main_window` may be null.
void StayAbove(QWidget& window, QWidget* main_window);

// Moves `window` so that its frame is centred on `main_window`'s frame; with
// no main window, on the screen it is on.
void CentreOn(QWidget& window, const QWidget* main_window);

}  // namespace tamlo
