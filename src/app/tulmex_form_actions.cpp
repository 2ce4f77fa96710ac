// The main menu, the actions it shares with the buttons, and the clipboard
// commands of the Edit menu.
#include <QApplication>
#include <QClipboard>
#include <QMenuBar>

#include "app/tulmex_form.h"

namespace kinvalo::app {

void TTulmexForm::BuildMenu() {
  auto action = [this](const char* name, const char* caption) {
    auto* a = new QAction(QString::fromLatin1(caption), this);
    a->setObjectName(QString::fromLatin1(name));
    return a;
  };
  InputOpenAction = action("InputOpenAction", "Open input");
  OutputOpenAction = action("OutputOpenAction", "Open output");
  GraphOpenAction = action("GraphOpenAction", "Open graph");
  InputSaveAction = action("InputSaveAction", "Save/calculate");
  GraphSaveAction = action("GraphSaveAction", "Save color graph");
  FileExit1 = action("FileExit1", "program e&Xit");
  EditCopy1 = action("EditCopy1", "&Copy");
  EditCut1 = action("EditCut1", "Cu&t");
  EditPaste1 = action("EditPaste1", "&Paste");
  OnSignal(InputOpenAction, &QAction::triggered, &TTulmexForm::InputOpenActionExecute);
  OnSignal(OutputOpenAction, &QAction::triggered, &TTulmexForm::OutputOpenActionExecute);
  OnSignal(InputSaveAction, &QAction::triggered, &TTulmexForm::InputSaveExecute);
  OnSignal(EditCopy1, &QAction::triggered, &TTulmexForm::EditCopy1Execute);
  OnSignal(EditCut1, &QAction::triggered, &TTulmexForm::EditCut1Execute);
  OnSignal(EditPaste1, &QAction::triggered, &TTulmexForm::EditPaste1Execute);
  OnSignal(GraphOpenAction, &QAction::triggered, &TTulmexForm::GraphOpenActionExecute);
  OnSignal(GraphSaveAction, &QAction::triggered, &TTulmexForm::GraphSaveActionExecute);
  connect(FileExit1, &QAction::triggered, this, [this] { close(); });

  QMenuBar* bar = menuBar();
  bar->setObjectName(QStringLiteral("MainMenu1"));
  auto entry = [](QMenu* menu, const char* name, const char* caption, QAction* target,
                      const QKeySequence& shortcut) {
    QAction* item = menu->addAction(QString::fromLatin1(caption));
    item->setObjectName(QString::fromLatin1(name));
    item->setShortcut(shortcut);
    connect(item, &QAction::triggered, target, &QAction::trigger);
    return item;
  };
  QMenu* file = bar->addMenu(QStringLiteral("&File"));
  file->setObjectName(QStringLiteral("FileMenu"));
  InputOpenMenu = entry(file, "InputOpenMenu", "Open input", InputOpenAction, QKeySequence(Qt::CTRL | Qt::Key_I));
  OutputOpenMenu =
      entry(file, "OutputOpenMenu", "Open output", OutputOpenAction, QKeySequence(Qt::CTRL | Qt::Key_O));
  GraphOpenMenu = entry(file, "GraphOpenMenu", "OpenGraph", GraphOpenAction, QKeySequence(Qt::CTRL | Qt::Key_G));
  InputSaveMenu = entry(file, "InputSaveMenu", "Save input", InputSaveAction, QKeySequence(Qt::CTRL | Qt::Key_S));
  GraphSaveMenu = entry(file, "GraphSaveMenu", "s&Ave graph", GraphSaveAction, QKeySequence(Qt::CTRL | Qt::Key_A));
  file->addSeparator();
  // Ctrl+X cuts text; a cut must never end the program, so leaving it has
  // the desktop's own quit key.
  ProgramExit = entry(file, "ProgramExit", "program e&Xit", FileExit1, QKeySequence(Qt::CTRL | Qt::Key_Q));
  QMenu* edit = bar->addMenu(QStringLiteral("&Edit"));
  edit->setObjectName(QStringLiteral("EditMenu"));
  Copy = entry(edit, "Copy", "&Copy", EditCopy1, QKeySequence(Qt::CTRL | Qt::Key_C));
  Cut = entry(edit, "Cut", "Cu&t", EditCut1, QKeySequence(Qt::CTRL | Qt::Key_X));
  Paste = entry(edit, "Paste", "&Paste", EditPaste1, QKeySequence(Qt::CTRL | Qt::Key_V));
}

void TTulmexForm::EditCopy1Execute() {
  QWidget* focus = QApplication::focusWidget();
  if (auto* line = qobject_cast<QLineEdit*>(focus)) {
    line->copy();
  } else if (auto* memo = qobject_cast<QPlainTextEdit*>(focus)) {
    memo->copy();
  } else if (focus == StringGrid1 && StringGrid1->currentIndex().isValid()) {
    QApplication::clipboard()->setText(StringGrid1->currentIndex().data().toString());
  }
}

void TTulmexForm::EditCut1Execute() {
  QWidget* focus = QApplication::focusWidget();
  if (auto* line = qobject_cast<QLineEdit*>(focus)) {
    line->cut();
  } else if (auto* memo = qobject_cast<QPlainTextEdit*>(focus)) {
    memo->cut();
  } else if (focus == StringGrid1) {
    emit StringGrid1->CutRequested(StringGrid1->currentIndex());
  }
}

void TTulmexForm::EditPaste1Execute() {
  QWidget* focus = QApplication::focusWidget();
  if (auto* cell = qobject_cast<CellEditor*>(focus)) {
    cell->PasteClipboard();
  } else if (auto* line = qobject_cast<QLineEdit*>(focus)) {
    line->paste();
  } else if (auto* memo = qobject_cast<QPlainTextEdit*>(focus)) {
    memo->paste();
  } else if (focus == StringGrid1) {
    emit StringGrid1->PasteRequested(StringGrid1->currentIndex());
  }
}

}  // namespace kinvalo::app
