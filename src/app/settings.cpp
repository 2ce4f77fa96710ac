#include "app/settings.h"

#include <filesystem>
#include <system_error>

#include <QSettings>
#include <QString>
#include <QStringList>

namespace kinvalo::app {

namespace {
const QString kFolderKey = QStringLiteral("dialogs/folder");
const QString kGeometryKey = QStringLiteral("window/geometry");
const QString kRecentKey = QStringLiteral("files/recent");
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

std::vector<std::string> RecentFiles() {
  std::vector<std::string> files;
  for (const QString& file : QSettings().value(kRecentKey).toStringList()) {
    if (!file.isEmpty() && static_cast<int>(files.size()) < kRecentFiles) files.push_back(file.toStdString());
  }
  return files;
}

void RememberRecentFile(const std::string& path) {
  const QString file = QString::fromStdString(path);
  QStringList files = QSettings().value(kRecentKey).toStringList();
  files.removeAll(file);
  files.prepend(file);
  while (files.size() > kRecentFiles) files.removeLast();
  QSettings().setValue(kRecentKey, files);
}

void ClearRecentFiles() { QSettings().remove(kRecentKey); }

}  // namespace kinvalo::app
