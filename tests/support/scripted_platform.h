#pragma once
// The tests script the headless platform: answers and files are queued
// before the code under test asks for them. The file dialogs shown are kept
// with their options.
#include <vector>

#include "core/headless_platform.h"

namespace kinvalo::test {

class ScriptedPlatform : public HeadlessPlatform {
 public:
  // Every open and save dialog, in the order shown.
  std::vector<FileDialogOptions> dialogs;

  std::optional<std::string> OpenFileDialog(const FileDialogOptions& options) override {
    dialogs.push_back(options);
    return HeadlessPlatform::OpenFileDialog(options);
  }
  std::optional<std::string> SaveFileDialog(const FileDialogOptions& options) override {
    dialogs.push_back(options);
    return HeadlessPlatform::SaveFileDialog(options);
  }
};

}  // namespace kinvalo::test
