#pragma once
// The base of the main and the finish window: a window with a status bar of
// one simple panel.
#include <QLabel>
#include <QMainWindow>
#include <QStatusBar>

namespace kinvalo::app {

class TBaseForm : public QMainWindow {
  Q_OBJECT

 public:
  explicit TBaseForm(QWidget* parent = nullptr);
  // Sets the status bar text and repaints it at once.
  void SetStatusText(const QString& text);
  QString StatusText() const { return StatusPanel->text(); }

 protected:
  QStatusBar* StatusBar1;
  QLabel* StatusPanel;
};

}  // namespace kinvalo::app
