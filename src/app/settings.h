#pragma once
// What the program remembers from one run to the next, in the desktop's
// settings store under the names that NameApplication gives: the folder of
// the file dialogs, the size and place of the main window and the files
// used last. The files the program writes never depend on it.
#include <string>
#include <vector>

#include <QByteArray>

namespace kinvalo::app {

// The folder of the file opened or saved last; empty when none was
// remembered or the folder is gone.
std::string RememberedFolder();
void RememberFolder(const std::string& folder);

// The main window's size and place as QWidget::saveGeometry gives them;
// empty before the first run ends.
QByteArray RememberedGeometry();
void RememberGeometry(const QByteArray& geometry);

// The files opened or saved last, newest first: at most kRecentFiles, each
// once. A file that has gone stays on the list (a drive may come back).
inline constexpr int kRecentFiles = 8;
std::vector<std::string> RecentFiles();
// Puts `path` at the top of the list.
void RememberRecentFile(const std::string& path);
void ClearRecentFiles();

}  // namespace kinvalo::app
