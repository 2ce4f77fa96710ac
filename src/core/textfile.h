#pragma once
// 8-bit text files: Windows-1252 on disk, UTF-8 in memory, CR LF line ends.
#include <cstdio>
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

// Writes an 8-bit CR LF text file without ever leaving a half-written file
// under the target name: the lines go to a temporary file in the target's
// folder, and Commit() renames it onto the target. A writer destroyed without
// Commit() removes its temporary file and leaves the target as it was.
class TextWriter {
 public:
  TextWriter() = default;
  ~TextWriter();
  TextWriter(const TextWriter&) = delete;
  TextWriter& operator=(const TextWriter&) = delete;

  // Returns false when the file cannot be created.
  bool Create(const std::string& path);
  // The same, for files whose creation is not an expected failure: throws
  // std::runtime_error naming the file.
  void CreateOrThrow(const std::string& path);
  bool IsOpen() const { return file_ != nullptr; }
  const std::string& Path() const { return path_; }

  // Text is UTF-8; throws std::runtime_error when the write fails.
  void WriteLine(const std::string& text);
  void Write(const std::string& text);  // without a line end

  // Finishes the file and puts it in place; throws std::runtime_error when
  // that fails (disk full, folder gone).
  void Commit();
  // Drops what was written; the target stays as it was.
  void Discard();

 private:
  void Fail(const char* what);
  std::FILE* file_ = nullptr;
  std::string path_;
  std::string tempPath_;
};

}  // namespace kinvalo
