#pragma once
// The tests script the headless platform: answers and files are queued
// before the code under test asks for them. The file dialogs shown are kept
// with their options, and the questions with the answer they preselected.
#include <functional>
#include <string>
#include <vector>

#include "core/headless_platform.h"

namespace kinvalo::test {

class ScriptedPlatform : public HeadlessPlatform {
 public:
  using HeadlessPlatform::HeadlessPlatform;

  // Every open and save dialog, in the order shown.
  std::vector<FileDialogOptions> dialogs;
  // The answer each question preselected, in the order asked.
  std::vector<DefaultAnswer> preselected;
  // Runs while a message or a question is up, as a modal box would run the
  // window's events meanwhile.
  std::function<void()> whileShown;

  void ShowMessage(const std::string& text) override {
    HeadlessPlatform::ShowMessage(text);
    if (whileShown) whileShown();
  }
  bool AskYesNo(const std::string& text, DefaultAnswer first) override {
    preselected.push_back(first);
    return HeadlessPlatform::AskYesNo(text, first);
  }
  std::optional<std::string> OpenFileDialog(const FileDialogOptions& options) override {
    dialogs.push_back(options);
    return HeadlessPlatform::OpenFileDialog(options);
  }
  std::optional<std::string> SaveFileDialog(const FileDialogOptions& options) override {
    dialogs.push_back(options);
    return HeadlessPlatform::SaveFileDialog(options);
  }
  std::optional<SaveChoice> SaveFileDialogWithFilter(const FileDialogOptions& options) override {
    dialogs.push_back(options);
    return HeadlessPlatform::SaveFileDialogWithFilter(options);
  }
};

}  // namespace kinvalo::test
