#pragma once
// The platform services of the window: message boxes, the yes/no box, the
// open and save dialogs and the wait that keeps the window painted.
#include <QPointer>
#include <QString>
#include <QWidget>

#include "core/platform.h"

namespace kinvalo::app {

// "Input files (*.inp)|*.inp" becomes "Input files (*.inp)"; several pairs
// are joined with ";;".
QString ToQtFilter(const std::string& filter);

class QtPlatform : public Platform {
 public:
  // The window the boxes and dialogs belong to.
  void SetParent(QWidget* parent) { parent_ = parent; }

  void ShowMessage(const std::string& text) override;
  bool AskYesNo(const std::string& text, DefaultAnswer preselected) override;
  std::optional<std::string> OpenFileDialog(const FileDialogOptions& options) override;
  std::optional<std::string> SaveFileDialog(const FileDialogOptions& options) override;
  std::optional<SaveChoice> SaveFileDialogWithFilter(const FileDialogOptions& options) override;
  // Repaints the window while it waits but takes no input meanwhile.
  void Wait(int milliseconds) override;

 private:
  std::optional<SaveChoice> RunDialog(const FileDialogOptions& options, bool save);
  QPointer<QWidget> parent_;
};

}  // namespace kinvalo::app
