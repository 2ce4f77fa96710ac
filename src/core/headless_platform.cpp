#include "core/headless_platform.h"

#include <ostream>
#include <utility>

namespace kinvalo {

void HeadlessPlatform::ShowMessage(const std::string& text) {
  messages.push_back(text);
  if (echo_) *echo_ << text << '\n' << std::flush;
}

bool HeadlessPlatform::AskYesNo(const std::string& text, DefaultAnswer) {
  ShowMessage(text);
  if (answers.empty()) return defaultAnswer;
  const bool answer = answers.front();
  answers.pop_front();
  return answer;
}

std::optional<std::string> HeadlessPlatform::OpenFileDialog(const FileDialogOptions&) { return NextFile(); }

std::optional<std::string> HeadlessPlatform::SaveFileDialog(const FileDialogOptions&) { return NextFile(); }

void HeadlessPlatform::Wait(int milliseconds) { waited += milliseconds; }

std::optional<std::string> HeadlessPlatform::NextFile() {
  if (files.empty()) return std::nullopt;
  std::optional<std::string> file = std::move(files.front());
  files.pop_front();
  return file;
}

}  // namespace kinvalo
