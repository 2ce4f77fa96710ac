#pragma once
// The main and the finish window are windows with a status bar of one simple
// panel.
#include <QLabel>
#include <QMainWindow>
#include <QStatusBar>

namespace kinvalo::app {

class StatusBarWindow : public QMainWindow {
  Q_OBJECT

 public:
  explicit StatusBarWindow(QWidget* parent = nullptr);
  // Sets the status bar text and repaints it at once.
  void SetStatusText(const QString& text);
  QString StatusText() const { return StatusPanel->text(); }

 protected:
  QStatusBar* StatusBar1;
  QLabel* StatusPanel;
};

}  // namespace kinvalo::app
