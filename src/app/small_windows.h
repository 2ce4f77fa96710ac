#pragma once
// The small windows: the finish window, the output symbols, the confidence
// help and the more-info window. Created once at start-up, then only shown
// and hidden.
#include <functional>

#include <QPlainTextEdit>
#include <QPushButton>
#include <QWidget>

#include "app/status_bar_window.h"

namespace kinvalo::app {

// A read-only text box in a pale colour of its own. Its text flows to the
// width of the box unless `keepLines` (tables of symbols).
QPlainTextEdit* MakeMemo(QWidget* parent, const char* name, const char* text, const QColor& background,
                         bool keepLines = false);

// Joins the lines of each paragraph, so that a text flows to the width of
// its box: a line continues the one before unless either is empty or it
// starts an item ("- ", "1. ", "Type 3:", "Method 1:").
QString FlowText(const char* text);

class FinishWindow : public StatusBarWindow {
  Q_OBJECT

 public:
  // `endApplication` ends the program once the current command returns,
  // or returns false when the user chose to stay: the finish window then
  // goes and the main window is left as it was.
  FinishWindow(QWidget* parent, std::function<bool()> endApplication);

  void FinishButtonClick();

 protected:
  void showEvent(QShowEvent* event) override;  // FormShow
  void closeEvent(QCloseEvent* event) override;  // FormClose

 private:
  std::function<bool()> endApplication_;
  QPlainTextEdit* FinishMemo;
  QPushButton* FinishButton;
};

class SymbolsWindow : public QWidget {
  Q_OBJECT

 public:
  explicit SymbolsWindow(QWidget* parent);
};

class HelpWindow : public QWidget {
  Q_OBJECT

 public:
  explicit HelpWindow(QWidget* parent);
};

class MoreInfoWindow : public QWidget {
  Q_OBJECT

 public:
  explicit MoreInfoWindow(QWidget* parent);
};

// F1 on a tab without a help panel of its own: the tab's help text in a
// small window of its own, brought to the front.
class TabHelpWindow : public QWidget {
  Q_OBJECT

 public:
  explicit TabHelpWindow(QWidget* parent);
  void ShowHelp(const char* caption, const char* text);

 private:
  QPlainTextEdit* TabHelpMemo;
};

}  // namespace kinvalo::app
