#pragma once
// What the program remembers from one run to the next, in the desktop's
// settings store under the names that NameApplication gives: the folder of
// the file dialogs and the size and place of the main window. The files the
// program writes never depend on it.
#include <string>

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

}  // namespace kinvalo::app
