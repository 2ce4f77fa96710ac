#include "app/settings.h"

#include <filesystem>
#include <system_error>

#include <QSettings>
#include <QString>

namespace kinvalo::app {

namespace {
const QString kFolderKey = QStringLiteral("dialogs/folder");
const QString kGeometryKey = QStringLiteral("window/geometry");
}  // namespace

std::string RememberedFolder() {
  const std::string folder = QSettings().value(kFolderKey).toString().toStdString();
  std::error_code ec;
  return !folder.empty() && std::filesystem::is_directory(folder, ec) ? folder : std::string();
}

void RememberFolder(const std::string& folder) {
  QSettings().setValue(kFolderKey, QString::fromStdString(folder));
}

QByteArray RememberedGeometry() { return QSettings().value(kGeometryKey).toByteArray(); }

void RememberGeometry(const QByteArray& geometry) { QSettings().setValue(kGeometryKey, geometry); }

}  // namespace kinvalo::app
