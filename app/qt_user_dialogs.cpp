#include "app/qt_user_dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace tamlo {

QStringList ToQtFileFilters(const std::string& filter) {
  const QStringList parts = QString::fromStdString(filter).split(QLatin1Char('|'));
  QStringList result;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString description = parts[i].trimmed();
    const qsizetype open = description.lastIndexOf(QLatin1Char('('));
    if (open > 0 && description.endsWith(QLatin1Char(')'))) description = description.left(open).trimmed();
    QString patterns = parts[i + 1].trimmed();
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    result << description + QStringLiteral(" (") + patterns + QLatin1Char(')');
  }
  return result;
}

QWidget* QtUserDialogs::Parent() const { return m_parent ? m_parent : QApplication::activeWindow(); }

std::optional<std::string> QtUserDialogs::ChooseFile(const FileDialogRequest& request) {
  QFileDialog dialog(Parent());
  if (!request.title.empty()) dialog.setWindowTitle(QString::fromStdString(request.title));
  dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  const QStringList filters = ToQtFileFilters(request.filter);
  dialog.setNameFilters(filters);
  if (!filters.isEmpty()) dialog.selectNameFilter(filters.front());
  dialog.setDefaultSuffix(QString::fromStdString(request.default_ext));
  // Overwrite confirmation is on by default for a save dialog.
  if (!request.initial_name.empty()) dialog.selectFile(QString::fromStdString(request.initial_name));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().front().toStdString();
}

MessageResult QtUserDialogs::ShowMessage(std::string_view text, std::string_view caption, MessageIcon icon,
                                         MessageButtons buttons, MessageResult default_button) {
  QMessageBox::Icon qt_icon = QMessageBox::NoIcon;
  switch (icon) {
    case MessageIcon::None: qt_icon = QMessageBox::NoIcon; break;
    case MessageIcon::Error: qt_icon = QMessageBox::Critical; break;
    case MessageIcon::Warning: qt_icon = QMessageBox::Warning; break;
    case MessageIcon::Information: qt_icon = QMessageBox::Information; break;
    case MessageIcon::Question: qt_icon = QMessageBox::Question; break;
  }
  QMessageBox::StandardButtons qt_buttons = QMessageBox::Ok;
  switch (buttons) {
    case MessageButtons::Ok: qt_buttons = QMessageBox::Ok; break;
    case MessageButtons::OkCancel: qt_buttons = QMessageBox::Ok | QMessageBox::Cancel; break;
    case MessageButtons::YesNo: qt_buttons = QMessageBox::Yes | QMessageBox::No; break;
  }
  QMessageBox box(qt_icon, QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size())),
                  QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())), qt_buttons, Parent());
  QMessageBox::StandardButton qt_default = QMessageBox::NoButton;
  switch (default_button) {
    case MessageResult::Ok: qt_default = QMessageBox::Ok; break;
    case MessageResult::Cancel: qt_default = QMessageBox::Cancel; break;
    case MessageResult::Yes: qt_default = QMessageBox::Yes; break;
    case MessageResult::No: qt_default = QMessageBox::No; break;
  }
  // A button the box does not have leaves the first one the default.
  if (!(qt_buttons & qt_default)) qt_default = buttons == MessageButtons::YesNo ? QMessageBox::Yes : QMessageBox::Ok;
  box.setDefaultButton(qt_default);
  switch (box.exec()) {
    case QMessageBox::Cancel: return MessageResult::Cancel;
    case QMessageBox::Yes: return MessageResult::Yes;
    case QMessageBox::No: return MessageResult::No;
    default: return buttons == MessageButtons::YesNo ? MessageResult::No : MessageResult::Ok;
  }
}

}  // namespace tamlo
