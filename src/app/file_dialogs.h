#pragma once
// The open and save dialogs of the main window. Each has its own title and
// filters and suggests the name of the current file with its own extension;
// all start in the folder of the file handled last, which the next run of
// the program remembers.
#include <string>

#include "core/platform.h"
#include "data/working_data.h"

namespace kinvalo::app {

class FileDialogs {
 public:
  // The suggested names follow the working data's current file.
  explicit FileDialogs(const WorkingData& dm) : dm_(dm) {}

  FileDialogOptions InputOpen() const;
  FileDialogOptions DataOpen() const;
  FileDialogOptions InputSave() const;
  FileDialogOptions OutputOpen() const;
  FileDialogOptions GraphOpen() const;
  FileDialogOptions GraphSave() const;

  // At start-up: the folder remembered from the last run while it is there,
  // else `startFolder`.
  void StartIn(const std::string& startFolder);
  // Every dialog starts in `folder` from now on, also in the next run.
  void SetFolder(const std::string& folder);
  const std::string& Folder() const { return folder_; }

 private:
  FileDialogOptions Dialog(const char* title, const char* filter, const char* extension) const;

  const WorkingData& dm_;
  std::string folder_;
};

}  // namespace kinvalo::app
