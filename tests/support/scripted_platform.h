#pragma once
// A Platform for tests: records every message and answers yes/no questions
// and file dialogs from queues.
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "core/platform.h"

namespace kinvalo::test {

class ScriptedPlatform : public Platform {
 public:
  std::vector<std::string> messages;
  std::deque<bool> answers;
  std::deque<std::optional<std::string>> files;
  int waited = 0;

  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  bool AskYesNo(const std::string& text) override {
    messages.push_back(text);
    if (answers.empty()) return false;
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
  }
  std::optional<std::string> OpenFileDialog(const FileDialogOptions&) override { return Next(); }
  std::optional<std::string> SaveFileDialog(const FileDialogOptions&) override { return Next(); }
  void Wait(int milliseconds) override { waited += milliseconds; }

 private:
  std::optional<std::string> Next() {
    if (files.empty()) return std::nullopt;
    auto file = files.front();
    files.pop_front();
    return file;
  }
};

}  // namespace kinvalo::test
