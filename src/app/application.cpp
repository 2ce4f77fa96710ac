#include "app/application.h"

namespace kinvalo::app {

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
