#pragma once
// The main window: a frame around four tabs (Intro, Input, Output,
// Graphics), the main menu, the status text, the small windows, and the one
// wrapper every command runs in.
#include <functional>
#include <string>

#include <QTabWidget>

#include "app/app_state.h"
#include "app/main_actions.h"
#include "app/status_bar_window.h"
#include "app/tab_host.h"

namespace kinvalo::app {

class FinishWindow;
class SymbolsWindow;
class HelpWindow;
class MoreInfoWindow;
class TabHelpWindow;
class IntroTab;
class InputTab;
class OutputTab;
class GraphicsTab;

// Where the main window goes on a screen of the given width: the left edge
// and the outer width of the window, in pixels.
struct WindowPlacement {
  int left = 100;
  int width = 860;
};
WindowPlacement PlaceMainWindow(int screenWidth);

class MainWindow : public StatusBarWindow, public TabHost {
  Q_OBJECT

 public:
  // The small windows belong to the main window and are created with it.
  // `endApplication` ends the program; only the finish window calls it.
  MainWindow(Platform& ui, AppState& state, std::function<void()> endApplication);
  ~MainWindow() override;

  // TabHost.
  void Command(const std::function<void()>& handler) override;
  void ShowTab(Tab tab) override;
  void SetStatusText(const QString& text) override { StatusBarWindow::SetStatusText(text); }
  void FormCreate() override;

  // Opens a file as its kind asks: an input file (.inp) as Open input does,
  // an output file (.out) as Open output does, any other as a data file
  // whose columns the user chooses. For a file given on the command line,
  // dropped on the window or chosen from the recent files.
  void OpenFile(const std::string& path);

  // F1: the help of the tab in view.
  void HelpActionExecute();

  // Edit menu: the clipboard commands on the control that has the focus.
  void EditCopy1Execute();
  void EditCut1Execute();
  void EditPaste1Execute();

  FinishWindow& Finish() { return *FinishForm; }
  SymbolsWindow& Symbols() { return *SymbolsForm; }
  HelpWindow& Help() { return *HelpForm; }
  MoreInfoWindow& MoreInfo() { return *MoreInfoForm; }
  TabHelpWindow& TabHelp() { return *TabHelpForm; }
  InputTab& Input() { return *InputTabSheet; }

  // For tests: the state behind the window.
  AppState& State() { return s_; }
  const FileDialogs& Dialogs() const { return dialogs_; }

 protected:
  void closeEvent(QCloseEvent* event) override;  // FormClose
  // One local file dragged over any part of the window is taken by the
  // window, also over a control that takes dropped text.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Ends the program unless the user keeps unsaved data; false then.
  bool EndApplication(const std::function<void()>& end);
  QWidget* Page(Tab tab) const;
  void PageChanged(int index);
  void RunShowHandler(QWidget* page);
  // The recent files as they are now, each time the submenu opens.
  void FillRecentMenu();

  Platform& ui_;
  AppState& s_;
  FinishWindow* const FinishForm;
  SymbolsWindow* const SymbolsForm;
  HelpWindow* const HelpForm;
  MoreInfoWindow* const MoreInfoForm;
  TabHelpWindow* const TabHelpForm;
  const MainActions actions_;
  QMenu* RecentMenu = nullptr;
  FileDialogs dialogs_;

  std::string StartDir;
  QWidget* currentPage_ = nullptr;
  bool placed_ = false;
  bool dying_ = false;
  int running_ = 0;  // commands under way, one inside another

  QTabWidget* PageControl1;
  IntroTab* IntroTabSheet;
  GraphicsTab* GraphicsTabSheet;
  OutputTab* OutputTabSheet;
  InputTab* InputTabSheet;
};

}  // namespace kinvalo::app
