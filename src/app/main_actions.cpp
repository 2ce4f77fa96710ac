#include "app/main_actions.h"

#include <QMenu>

namespace kinvalo::app {

namespace {

QAction* MakeAction(QObject* owner, const char* name, const char* caption, const QKeySequence& shortcut) {
  auto* action = new QAction(QString::fromLatin1(caption), owner);
  action->setObjectName(QString::fromLatin1(name));
  action->setShortcut(shortcut);
  return action;
}

}  // namespace

MainActions::MainActions(QObject* owner)
    : InputOpenAction(MakeAction(owner, "InputOpenAction", "Open input", QKeySequence(Qt::CTRL | Qt::Key_I))),
      DataOpenAction(MakeAction(owner, "DataOpenAction", "Open data...", QKeySequence(Qt::CTRL | Qt::Key_D))),
      OutputOpenAction(MakeAction(owner, "OutputOpenAction", "Open output", QKeySequence(Qt::CTRL | Qt::Key_O))),
      GraphOpenAction(MakeAction(owner, "GraphOpenAction", "OpenGraph", QKeySequence(Qt::CTRL | Qt::Key_G))),
      InputSaveAction(MakeAction(owner, "InputSaveAction", "Save input", QKeySequence(Qt::CTRL | Qt::Key_S))),
      GraphSaveAction(MakeAction(owner, "GraphSaveAction", "s&Ave graph", QKeySequence(Qt::CTRL | Qt::Key_A))),
      // Ctrl+X cuts text; a cut must never end the program, so leaving it
      // has the desktop's own quit key.
      FileExit1(MakeAction(owner, "FileExit1", "program e&Xit", QKeySequence(Qt::CTRL | Qt::Key_Q))),
      EditCopy1(MakeAction(owner, "EditCopy1", "&Copy", QKeySequence(Qt::CTRL | Qt::Key_C))),
      EditCut1(MakeAction(owner, "EditCut1", "Cu&t", QKeySequence(Qt::CTRL | Qt::Key_X))),
      EditPaste1(MakeAction(owner, "EditPaste1", "&Paste", QKeySequence(Qt::CTRL | Qt::Key_V))),
      HelpAction(MakeAction(owner, "HelpAction", "&Help on this tab", QKeySequence(Qt::Key_F1))) {}

QMenu* MainActions::BuildMenus(QMenuBar* bar) const {
  bar->setObjectName(QStringLiteral("MainMenu1"));
  QMenu* file = bar->addMenu(QStringLiteral("&File"));
  file->setObjectName(QStringLiteral("FileMenu"));
  file->addActions(
      {InputOpenAction, DataOpenAction, OutputOpenAction, GraphOpenAction, InputSaveAction, GraphSaveAction});
  file->addSeparator();
  QMenu* recent = file->addMenu(QStringLiteral("&Recent files"));
  recent->setObjectName(QStringLiteral("RecentFilesMenu"));
  file->addSeparator();
  file->addAction(FileExit1);
  QMenu* edit = bar->addMenu(QStringLiteral("&Edit"));
  edit->setObjectName(QStringLiteral("EditMenu"));
  edit->addActions({EditCopy1, EditCut1, EditPaste1});
  QMenu* help = bar->addMenu(QStringLiteral("&Help"));
  help->setObjectName(QStringLiteral("HelpMenu"));
  help->addAction(HelpAction);
  return recent;
}

void MainActions::Bind(QAbstractButton* button, QAction* action) {
  QObject::connect(button, &QAbstractButton::clicked, action, [action] { emit action->triggered(false); });
}

}  // namespace kinvalo::app
