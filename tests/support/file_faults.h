#pragma once
// Failures of the file layer on demand, and what a reader of a folder sees.
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/textfile.h"
#include "support/temp_dir.h"

namespace kinvalo::test {

// Makes the n-th step of one kind (counting from 1) fail with `error`, as a
// full disk or a lost folder would; with a suffix only for files whose name
// ends in it. Removed again at the end of the scope.
class FileFault {
 public:
  FileFault(FileStep step, int nth, int error, std::string suffix = "")
      : step_(step), nth_(nth), error_(error), suffix_(std::move(suffix)) {
    SetFileFaultHookForTesting([this](FileStep s, const std::string& path) {
      if (s != step_ || !EndsWith(path, suffix_)) return 0;
      return ++seen_ == nth_ ? error_ : 0;
    });
  }
  ~FileFault() { SetFileFaultHookForTesting({}); }
  FileFault(const FileFault&) = delete;
  FileFault& operator=(const FileFault&) = delete;

  // True once the step was reached and made to fail.
  bool Struck() const { return seen_ >= nth_; }

 private:
  static bool EndsWith(const std::string& s, const std::string& end) {
    return s.size() >= end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
  }
  FileStep step_;
  int nth_, error_;
  std::string suffix_;
  int seen_ = 0;
};

// The files a reader of the folder finds, name and bytes, without the
// temporary files of writers.
inline std::map<std::string, std::string> VisibleFiles(const TempDir& dir) {
  std::map<std::string, std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    const std::string name = entry.path().filename().string();
    if (!IsKinvaloTemporaryName(name)) files[name] = ReadBytes(entry.path().string());
  }
  return files;
}

// How many temporary files of writers the folder holds.
inline int TemporaryFiles(const std::filesystem::path& folder) {
  int count = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (IsKinvaloTemporaryName(entry.path().filename().string())) ++count;
  }
  return count;
}

// The message of the runtime_error that `run` throws, or "no error".
template <typename Run>
std::string Thrown(Run run) {
  try {
    run();
  } catch (const std::runtime_error& e) {
    return e.what();
  }
  return "no error";
}

// What is no file to read, made in `dir` with names ending in `extension`:
// a folder, a FIFO without a writer, /dev/zero, a (sparse) file beyond
// 2 GB and a name too long; each with the message naming its cause.
struct Unreadable {
  std::string path, message;
};
inline std::vector<Unreadable> UnreadableFiles(const TempDir& dir, const std::string& extension) {
  const std::string folder = dir / ("folder" + extension), fifo = dir / ("fifo" + extension),
                    big = dir / ("big" + extension), tooLong = dir / (std::string(300, 'n') + extension);
  std::filesystem::create_directory(folder);
  ::mkfifo(fifo.c_str(), 0600);
  std::ofstream(big).close();
  std::filesystem::resize_file(big, kMaxReadBytes + 1);
  auto file = [](const std::string& path, const std::string& cause) {
    return Unreadable{path, "The file \"" + path + "\" could not be " + cause};
  };
  return {file(folder, "read: it is a folder."), file(fifo, "read: it is not a regular file."),
          file("/dev/zero", "read: it is not a regular file."), file(big, "read: it is larger than 2 GB."),
          file(tooLong, "opened: File name too long.")};
}

}  // namespace kinvalo::test
