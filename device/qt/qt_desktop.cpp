#include "device/qt/qt_desktop.h"

#include <QDesktopServices>
#include <QDir>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QUrl>

namespace tamlo {

std::optional<std::string> QtDesktop::CreatePrivateTempFile(std::string_view name_template) {
  const QString folder = QStandardPaths::writableLocation(QStandardPaths::TempLocation);
  if (folder.isEmpty()) return std::nullopt;
  const QString name = QString::fromUtf8(name_template.data(), static_cast<qsizetype>(name_template.size()));
  QTemporaryFile file(QDir(folder).filePath(name));
  file.setAutoRemove(false);
  if (!file.open()) return std::nullopt;
  // QTemporaryFile already creates it for the owner only; say so explicitly,
  // as the journal written into it is the site's.
  file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
  return file.fileName().toStdString();
}

bool QtDesktop::OpenWithDefaultHandler(const std::string& path) {
  return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}

}  // namespace tamlo
