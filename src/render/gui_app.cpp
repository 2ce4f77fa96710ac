#include "render/gui_app.h"

#include <QGuiApplication>
#include <QString>
#include <cstdio>
#include <QtGlobal>

namespace kinvalo {

namespace {

// Standard error carries the messages of the program only; Qt's own notes
// about the environment (no runtime folder off screen) are dropped.
void QuietHandler(QtMsgType type, const QMessageLogContext&, const QString& text) {
  if (type == QtCriticalMsg || type == QtFatalMsg) {
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
  }
}

}  // namespace

void EnsureGuiApplication() {
  if (QCoreApplication::instance() != nullptr) return;
  qInstallMessageHandler(QuietHandler);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "kinvalo-cli";
  static char* argv[] = {name, nullptr};
  // Lives until the program ends.
  static QGuiApplication* app = new QGuiApplication(argc, argv);
  (void)app;
}

}  // namespace kinvalo
