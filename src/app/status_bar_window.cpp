#include "app/status_bar_window.h"

namespace kinvalo::app {

StatusBarWindow::StatusBarWindow(QWidget* parent) : QMainWindow(parent) {
  StatusBar1 = new QStatusBar(this);
  StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
  StatusBar1->setSizeGripEnabled(false);
  // A permanent label: hovering a menu entry does not wipe the text.
  StatusPanel = new QLabel(StatusBar1);
  StatusPanel->setObjectName(QStringLiteral("StatusPanel"));
  StatusBar1->addWidget(StatusPanel, 1);
  setStatusBar(StatusBar1);
}

void StatusBarWindow::SetStatusText(const QString& text) {
  StatusPanel->setText(text);
  StatusPanel->repaint();
}

}  // namespace kinvalo::app
