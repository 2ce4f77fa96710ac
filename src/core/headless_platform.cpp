#include "core/headless_platform.h"

#include <algorithm>
#include <cctype>
#include <ostream>
#include <utility>

#include "core/paths.h"

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

std::optional<SaveChoice> HeadlessPlatform::SaveFileDialogWithFilter(const FileDialogOptions& options) {
  std::optional<std::string> path = NextFile();
  if (!path) return std::nullopt;
  SaveChoice choice{std::move(*path), 0};
  if (!filters.empty()) {
    choice.filter = filters.front();
    filters.pop_front();
    return choice;
  }
  // The filter is "description|pattern|description|pattern...".
  const std::string extension = LowerCaseExtension(choice.path);
  size_t start = 0;
  for (std::size_t pair = 0; start < options.filter.size(); ++pair) {
    const size_t pattern = options.filter.find('|', start);
    if (pattern == std::string::npos) break;
    const size_t end = std::min(options.filter.find('|', pattern + 1), options.filter.size());
    if (!extension.empty() && options.filter.substr(pattern + 1, end - pattern - 1) == "*" + extension) {
      choice.filter = pair;
      break;
    }
    start = end + 1;
  }
  return choice;
}

void HeadlessPlatform::Wait(int milliseconds) { waited += milliseconds; }

std::optional<std::string> HeadlessPlatform::NextFile() {
  if (files.empty()) return std::nullopt;
  std::optional<std::string> file = std::move(files.front());
  files.pop_front();
  return file;
}

}  // namespace kinvalo
