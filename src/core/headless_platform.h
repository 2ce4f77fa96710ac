#pragma once
// The platform of everything that runs without a window: the batch command,
// the example writer, the benchmarks, the tests and the fuzz targets. Every
// message is kept in `messages` and, with an echo stream, also written there
// one a line. Questions and file dialogs are answered from queues; when a
// queue is empty a question gets `defaultAnswer` (not the answer the
// question preselects) and a dialog is cancelled.
// Waits return at once and are only added up.
#include <deque>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "core/platform.h"

namespace kinvalo {

class HeadlessPlatform : public Platform {
 public:
  HeadlessPlatform() = default;
  explicit HeadlessPlatform(std::ostream* echo) : echo_(echo) {}

  // Every message and every question, in the order shown.
  std::vector<std::string> messages;
  std::deque<bool> answers;
  bool defaultAnswer = false;
  // For the open and save dialogs alike; nullopt is a cancelled dialog.
  std::deque<std::optional<std::string>> files;
  // The filter each save dialog with filters is left at, an index into its
  // FileDialogOptions::filter. When none is queued, the first filter whose
  // extension the file has, else the first.
  std::deque<std::size_t> filters;
  int waited = 0;  // milliseconds

  void ShowMessage(const std::string& text) override;
  bool AskYesNo(const std::string& text, DefaultAnswer preselected) override;
  std::optional<std::string> OpenFileDialog(const FileDialogOptions& options) override;
  std::optional<std::string> SaveFileDialog(const FileDialogOptions& options) override;
  std::optional<SaveChoice> SaveFileDialogWithFilter(const FileDialogOptions& options) override;
  void Wait(int milliseconds) override;

 private:
  std::optional<std::string> NextFile();

  std::ostream* echo_ = nullptr;
};

}  // namespace kinvalo
