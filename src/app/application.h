#pragma once
// The program's windows and data, created once at start-up in a fixed
// order and alive until the program ends.
#include <functional>
#include <memory>
#include <string>

#include <QStringList>

#include "app/app_state.h"
#include "app/main_window.h"
#include "app/small_windows.h"

namespace kinvalo::app {

inline constexpr const char* kApplicationTitle = "Kinvalo partial regression analysis";
inline constexpr const char* kOrganisationName = "Kinvalo";

// Gives the program its title and the names its settings are kept under;
// once, before the first window.
void NameApplication();

// The file that the command line names (the program's own name first), as
// a full path; empty when it names none. Options the program does not know
// are left alone, as are names after the first.
std::string FileToOpen(const QStringList& arguments);

class KinvaloApplication {
 public:
  // `endApplication` ends the program; only the finish window calls it.
  KinvaloApplication(Platform& ui, std::function<void()> endApplication);
  KinvaloApplication(const KinvaloApplication&) = delete;
  KinvaloApplication& operator=(const KinvaloApplication&) = delete;

  // Initialises the main window and shows it on its Intro tab, then opens
  // the file that the command line names, if any (see MainWindow::OpenFile).
  void Start(const QStringList& arguments = {});

  // In the order of creation; the windows go before the data they show.
  const std::unique_ptr<AppState> state;
  const std::unique_ptr<MainWindow> mainWindow;
  // The small windows belong to the main window.
  FinishWindow* const finishWindow;
  SymbolsWindow* const symbolsWindow;
  HelpWindow* const helpWindow;
  MoreInfoWindow* const moreInfoWindow;
};

}  // namespace kinvalo::app
