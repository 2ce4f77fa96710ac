#pragma once
// Every command of the main window that has a menu entry, created once.
// The menu shows the action itself; a button of a tab that does the same
// runs the same action.
#include <QAbstractButton>
#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace kinvalo::app {

class MainActions {
 public:
  // The actions belong to `owner`, the main window.
  explicit MainActions(QObject* owner);
  MainActions(const MainActions&) = delete;
  MainActions& operator=(const MainActions&) = delete;

  // The File, Edit and Help menus of the main window. Returns the File
  // menu's "Recent files" submenu, empty: the window fills it each time it
  // opens.
  QMenu* BuildMenus(QMenuBar* bar) const;

  // `button` runs `action`. The button keeps its own caption; the action's
  // enabled state is that of its menu entry, which a tab greys while the
  // button stays usable (the graph's save button after a visit to the
  // Intro tab), so a click runs the command in either state.
  static void Bind(QAbstractButton* button, QAction* action);

  QAction* const InputOpenAction;
  QAction* const DataOpenAction;
  QAction* const OutputOpenAction;
  QAction* const GraphOpenAction;
  QAction* const InputSaveAction;
  QAction* const GraphSaveAction;
  QAction* const FileExit1;
  QAction* const EditCopy1;
  QAction* const EditCut1;
  QAction* const EditPaste1;
  // The help of the tab in view.
  QAction* const HelpAction;
};

}  // namespace kinvalo::app
