#pragma once
// 8-bit text files: Windows-1252 on disk, UTF-8 in memory, CR LF line ends.
#include <cstdint>
#include <cstdio>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace kinvalo {

std::string Cp1252ToUtf8(const std::string& bytes);
// A character that Windows-1252 cannot hold becomes '?'.
std::string Utf8ToCp1252(const std::string& text);

// The whole file as it is on disk; false when it cannot be opened or read.
bool ReadFileBytes(const std::string& path, std::string& bytes);

// Reads a whole 8-bit file into memory and hands it out line by line. Lines
// may end in CR LF, LF or a lone CR. The reader never trusts the file: every
// operation stops at the end of the line or the file.
class TextReader {
 public:
  // Returns false when the file cannot be opened or read.
  bool Open(const std::string& path);
  void OpenBytes(std::string bytes);  // for callers that already hold the text

  bool AtEnd() const { return pos_ >= bytes_.size(); }
  int LineNumber() const { return line_; }  // 1-based number of the next line

  // The next line as raw bytes (without its line end); empty at the end.
  std::string ReadRawLine();
  // The next line converted to UTF-8.
  std::string ReadLine() { return Cp1252ToUtf8(ReadRawLine()); }

 private:
  std::string bytes_;
  size_t pos_ = 0;
  int line_ = 1;
};

// Splits a line into blank-separated tokens (blanks and tabs).
std::vector<std::string> SplitTokens(const std::string& line);

// The steps of writing a file, named for the test seam below.
enum class FileStep : std::uint8_t { Create, Write, Flush, Sync, Close, Backup, Rename, Restore };

// Test seam: when set, the hook is asked before every step of every file
// writer; a nonzero answer is taken as the errno of that step, which then
// fails as the system would have failed it. An empty hook removes it.
using FileFaultHook = std::function<int(FileStep step, const std::string& path)>;
void SetFileFaultHookForTesting(FileFaultHook hook);

// A result file the user made read-only (no write permission) is kept: a
// writer refuses to replace it and throws this, naming the file.
class ReadOnlyFileError : public std::runtime_error {
 public:
  explicit ReadOnlyFileError(const std::string& path);
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// Temporary files are made beside their target and named
//   <the target's name, cut to at most 200 bytes>.kinvalo-<pid>-<16 hex digits>.tmp
// so that no name passes the 255 bytes a folder entry can hold. True when
// `fileName` (a name, or a path whose last part is taken) has that shape;
// then *pid, when given, is the id of the process that made it.
bool IsKinvaloTemporaryName(const std::string& fileName, long* pid = nullptr);

// Writes an 8-bit CR LF text file without ever leaving a half-written file
// under the target name: the lines go to a temporary file in the target's
// folder, and Commit() renames it onto the target. A writer destroyed without
// Commit() removes its temporary file and leaves the target as it was.
// A target that is a symbolic link is written through to the file it names,
// in that file's folder; a target that exists keeps its mode and, where the
// system permits, its owner.
class TextWriter {
 public:
  TextWriter() = default;
  ~TextWriter();
  TextWriter(const TextWriter&) = delete;
  TextWriter& operator=(const TextWriter&) = delete;

  // Returns false when the file cannot be created, errno telling why
  // (EACCES for a read-only target).
  bool Create(const std::string& path);
  // The same, for files whose creation is not an expected failure: throws
  // ReadOnlyFileError for a read-only target, else std::runtime_error
  // naming the file and the reason.
  void CreateOrThrow(const std::string& path);
  bool IsOpen() const { return file_ != nullptr; }
  // The name the writer was created with, and the file the commit replaces
  // (the same unless the name is a symbolic link).
  const std::string& Path() const { return path_; }
  const std::string& TargetPath() const { return target_; }

  // Text is UTF-8; throws std::runtime_error when the write fails.
  void WriteLine(const std::string& text);
  void Write(const std::string& text);  // without a line end

  // Finishes the file and puts it in place; throws std::runtime_error when
  // that fails (disk full, folder gone). Finish() and PutInPlace() are its
  // two halves, for a set of files that is put in place together.
  void Commit();
  // Writes out, syncs and closes the temporary file; throws and discards it
  // when that fails.
  void Finish();
  // Renames the finished temporary file onto the target; throws and
  // discards it when that fails.
  void PutInPlace();
  // Drops what was written; the target stays as it was.
  void Discard();

 private:
  [[noreturn]] void Fail(const char* what);
  std::FILE* file_ = nullptr;
  std::string path_;
  std::string target_;
  std::string tempPath_;
};

// A free temporary name beside `target` in the pattern above, created empty
// with O_EXCL and mode `mode`; returns its open descriptor, or -1 with errno.
int CreateTemporaryBeside(const std::string& target, unsigned mode, std::string& tempPath);

// Asks the test seam about a step; 0 when it may go on.
int InjectedFileFault(FileStep step, const std::string& path);

}  // namespace kinvalo
