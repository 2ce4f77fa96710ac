// Kinvalo: partial linear regression of Y upon X, in a window.
#include <QApplication>
#include <QFont>
#include <QIcon>

#include "app/application.h"
#include "app/command_guard.h"
#include "app/qt_platform.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  kinvalo::app::NameApplication();
  // The icon of the installed theme, else the same picture built in; the
  // desktop entry lets a desktop match the window to its menu entry.
  QApplication::setWindowIcon(
      QIcon::fromTheme(QStringLiteral("kinvalo"), QIcon(QStringLiteral(":/kinvalo.svg"))));
  QGuiApplication::setDesktopFileName(QStringLiteral("io.github.kinvalo.kinvalo"));
  // Closing the main window shows the finish window; only that one ends the
  // program.
  QApplication::setQuitOnLastWindowClosed(false);
  QApplication::setFont(QFont(QStringLiteral("Arial"), 9));
  kinvalo::app::QtPlatform platform;
  kinvalo::app::KinvaloApplication windows(platform, [] { QCoreApplication::exit(0); });
  platform.SetParent(windows.mainWindow.get());
  kinvalo::app::RunCommand(platform, [&windows] { windows.Start(QCoreApplication::arguments()); });
  return QApplication::exec();
}
