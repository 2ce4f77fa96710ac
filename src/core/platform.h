#pragma once
// Everything that would open a window from inside the core goes through this
// seam: the window implements it with message boxes and file dialogs, the
// batch command with standard error, the tests with a script.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace kinvalo {

struct FileDialogOptions {
  std::string title;
  std::string filter;            // "Input files (*.inp)|*.inp"
  std::string defaultExtension;  // "inp"
  std::string initialFolder;
  std::string fileName;
};

// A file chosen in a save dialog and the filter it was chosen under: the
// index of its pair in FileDialogOptions::filter.
struct SaveChoice {
  std::string path;
  std::size_t filter = 0;
  friend bool operator==(const SaveChoice&, const SaveChoice&) = default;
};

// The answer a confirmation box offers first: the one Enter chooses.
enum class DefaultAnswer : std::uint8_t { Yes, No };

class Platform {
 public:
  virtual ~Platform() = default;
  // A plain message box with an OK button; returns when it is closed.
  virtual void ShowMessage(const std::string& text) = 0;
  // A confirmation box with Yes and No, `preselected` chosen by Enter; true
  // exactly when Yes is chosen.
  virtual bool AskYesNo(const std::string& text, DefaultAnswer preselected) = 0;
  virtual std::optional<std::string> OpenFileDialog(const FileDialogOptions& options) = 0;
  virtual std::optional<std::string> SaveFileDialog(const FileDialogOptions& options) = 0;
  // A save dialog whose filters stand for different kinds of file (two
  // filters may share an extension): the file and the filter chosen.
  virtual std::optional<SaveChoice> SaveFileDialogWithFilter(const FileDialogOptions& options) = 0;
  // A plain pause on the user-interface thread.
  virtual void Wait(int milliseconds) = 0;
};

}  // namespace kinvalo
