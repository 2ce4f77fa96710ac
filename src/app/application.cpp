#include "app/application.h"

#include <QCoreApplication>

namespace kinvalo::app {

void NameApplication() {
  QCoreApplication::setOrganizationName(QString::fromLatin1(kOrganisationName));
  QCoreApplication::setApplicationName(QString::fromLatin1(kApplicationTitle));
}

KinvaloApplication::KinvaloApplication(Platform& ui, std::function<void()> endApplication)
    : state(std::make_unique<AppState>(ui)),
      mainWindow(std::make_unique<MainWindow>(ui, *state, std::move(endApplication))),
      finishWindow(&mainWindow->Finish()),
      symbolsWindow(&mainWindow->Symbols()),
      helpWindow(&mainWindow->Help()),
      moreInfoWindow(&mainWindow->MoreInfo()) {}

void KinvaloApplication::Start() {
  mainWindow->FormCreate();
  mainWindow->show();
}

}  // namespace kinvalo::app
