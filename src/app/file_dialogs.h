#pragma once
// The open and save dialogs of the main window. Each has its own title and
// filters and suggests the name of the current file with its own extension;
// all start in the folder of the file handled last, which the next run of
// the program remembers.
#include <cstddef>
#include <string>

#include "core/platform.h"
#include "data/working_data.h"

namespace kinvalo::app {

// What a filter of the graph's save dialog stands for: the extension it
// gives a name without one, and the size of a PNG, in times the graph's.
struct GraphFileKind {
  const char* extension;
  int scale;
};

class FileDialogs {
 public:
  // The suggested names follow the working data's current file.
  explicit FileDialogs(const WorkingData& dm) : dm_(dm) {}

  FileDialogOptions InputOpen() const;
  FileDialogOptions DataOpen() const;
  FileDialogOptions InputSave() const;
  FileDialogOptions OutputOpen() const;
  FileDialogOptions GraphOpen() const;
  // Bitmap, PNG of one, two and three times the size, SVG and PDF.
  FileDialogOptions GraphSave() const;
  // The kind the filter of that index stands for; the bitmap's for any other.
  static GraphFileKind GraphSaveKind(std::size_t filter);

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
