#pragma once
// A set of files that changes as one: the result files of a calculation.
#include <memory>
#include <string>
#include <vector>

#include "core/textfile.h"

namespace kinvalo {

// Every file of the set is written to a temporary file beside its target
// first; Commit() puts them all in place together, so that a reader finds
// either the whole old set or the whole new one after any failure. Only a
// power cut during the renames themselves, which take a moment, can leave
// some new files beside old ones. A set destroyed without Commit() removes
// its temporary files and leaves every target as it was.
class FileSet {
 public:
  FileSet() = default;
  ~FileSet();
  FileSet(const FileSet&) = delete;
  FileSet& operator=(const FileSet&) = delete;

  // A writer for the file at `path`, put in place with the set, in the
  // order of staging. Throws ReadOnlyFileError for a read-only target and
  // std::runtime_error when the temporary file cannot be created.
  TextWriter& Stage(const std::string& path);
  // The file at `path`, if there is one, is removed with the set. Throws
  // ReadOnlyFileError when it is read-only.
  void Remove(const std::string& path);

  // Finishes every temporary file, then renames them onto their targets
  // one after the other. When a file cannot be finished nothing is
  // touched; when a rename fails the files already replaced get their old
  // contents back. Either way the temporary files are removed and
  // std::runtime_error names the file and the reason.
  void Commit();
  // Drops every staged file; the targets stay as they were.
  void Discard();

 private:
  struct Entry {
    std::unique_ptr<TextWriter> writer;  // none for a removal
    std::string path;                    // the name given
    std::string target;                  // the file replaced or removed
    std::string backup;                  // the old file, while the renames run
    bool done = false;
  };
  void Backup(Entry& entry);
  void RollBack();
  void DropBackups();

  std::vector<Entry> entries_;
};

}  // namespace kinvalo
