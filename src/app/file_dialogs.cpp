#include "app/file_dialogs.h"

#include <filesystem>
#include <iterator>
#include <system_error>

#include "app/settings.h"
#include "core/paths.h"

namespace kinvalo::app {

namespace {
constexpr const char* kInputFilter = "Kinvalo input (*.inp)|*.inp|All files (*)|*";
constexpr const char* kDataFilter = "Data files (*.csv *.tsv *.txt)|*.csv;*.tsv;*.txt|All files (*)|*";
constexpr const char* kOutputFilter = "Kinvalo output (*.out)|*.out|All files (*)|*";
constexpr const char* kPictureFilter = "Bitmap (*.bmp)|*.bmp|PNG (*.png)|*.png";

// The kinds a graph is saved as, in the order of the save dialog's filters.
struct GraphFileFilter {
  const char* description;
  GraphFileKind kind;
};
constexpr GraphFileFilter kGraphFilters[] = {
    {"Bitmap (*.bmp)", {"bmp", 1}},
    {"PNG (*.png)", {"png", 1}},
    {"PNG, twice the size (*.png)", {"png", 2}},
    {"PNG, three times the size (*.png)", {"png", 3}},
    {"SVG, sharp at any size (*.svg)", {"svg", 1}},
    {"PDF, sharp at any size (*.pdf)", {"pdf", 1}},
};
}  // namespace

FileDialogOptions FileDialogs::Dialog(const char* title, const char* filter, const char* extension) const {
  FileDialogOptions options;
  options.title = title;
  options.filter = filter;
  options.defaultExtension = extension;
  options.initialFolder = folder_;
  // Before the first file the current file is the working folder.
  std::error_code ec;
  const std::string name = ExtractFileName(dm_.FileName);
  if (!name.empty() && !std::filesystem::is_directory(dm_.FileName, ec)) options.fileName = ChangeFileExt(name, std::string(".") + extension);
  return options;
}

FileDialogOptions FileDialogs::InputOpen() const { return Dialog("Open input file", kInputFilter, "inp"); }

// No name is suggested: a data file is seldom named like the input file.
FileDialogOptions FileDialogs::DataOpen() const {
  FileDialogOptions options = Dialog("Open data file", kDataFilter, "csv");
  options.fileName.clear();
  return options;
}

FileDialogOptions FileDialogs::InputSave() const { return Dialog("Save input file", kInputFilter, "inp"); }

FileDialogOptions FileDialogs::OutputOpen() const { return Dialog("Open output file", kOutputFilter, "out"); }

FileDialogOptions FileDialogs::GraphOpen() const {
  FileDialogOptions options = Dialog("Open graph", kPictureFilter, "bmp");
  options.filter += "|All files (*)|*";
  return options;
}

FileDialogOptions FileDialogs::GraphSave() const {
  std::string filter;
  for (const GraphFileFilter& f : kGraphFilters) {
    filter += std::string(filter.empty() ? "" : "|") + f.description + "|*." + f.kind.extension;
  }
  return Dialog("Save graph", filter.c_str(), "bmp");
}

GraphFileKind FileDialogs::GraphSaveKind(std::size_t filter) {
  return filter < std::size(kGraphFilters) ? kGraphFilters[filter].kind : kGraphFilters[0].kind;
}

void FileDialogs::StartIn(const std::string& startFolder) {
  const std::string remembered = RememberedFolder();
  folder_ = remembered.empty() ? startFolder : remembered;
}

void FileDialogs::SetFolder(const std::string& folder) {
  if (folder == folder_) return;
  folder_ = folder;
  RememberFolder(folder);
}

}  // namespace kinvalo::app
