#pragma once
// 8-bit text files: Windows-1252 on disk, UTF-8 in memory, CR LF line ends.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace kinvalo {

std::string Cp1252ToUtf8(const std::string& bytes);
// A character that Windows-1252 cannot hold becomes '?'.
std::string Utf8ToCp1252(std::string_view text);
// The same, appended to `out`.
void AppendCp1252(std::string& out, std::string_view text);

// Every reader refuses a file larger than this (2 GB): no file of this
// program comes near it, and a reader never holds more of a file than this.
inline constexpr std::uint64_t kMaxReadBytes = std::uint64_t{2} << 30;

// Why a file could not be read.
struct ReadProblem {
  enum class Kind : std::uint8_t {
    None,
    Open,            // open(2) failed; `error` holds errno
    Folder,          // the name is a folder
    NotRegularFile,  // a FIFO, a device or a socket
    TooLarge,        // larger than kMaxReadBytes
    Read,            // read(2) failed; `error` holds errno
    CutShort,        // the file became shorter while it was read
  };
  Kind kind = Kind::None;
  int error = 0;

  explicit operator bool() const { return kind != Kind::None; }
  // The cause in words: the system's own text for Open and Read ("File name
  // too long"), else "it is a folder", "it is not a regular file", "it is
  // larger than 2 GB", "it was cut short while it was read".
  std::string Cause() const;
  // The file could not be opened for a reason of its availability (missing,
  // no permission, locked, too many files open), which the program's own
  // open-failure messages describe; every other cause needs its own words.
  bool IsUnavailable() const;
  // "The file "PATH" could not be read: CAUSE." (opened, for Open).
  std::string Message(const std::string& path) const;
  // The program's own open-failure text when it fits the cause, followed by
  // "The system reports: CAUSE."; otherwise Message(path).
  std::string Message(const std::string& path, const std::string& openFailure) const;
};

// The whole file as it is on disk; false when it cannot be opened or read,
// is not a regular file or is larger than kMaxReadBytes, with the reason in
// `problem` when given.
bool ReadFileBytes(const std::string& path, std::string& bytes, ReadProblem* problem = nullptr);

// A regular file read from its start in pieces of the caller's choosing,
// with the checks of ReadFileBytes: a read that fails, a file that ends
// before the size it had when it was opened, or one that grows past
// kMaxReadBytes ends the file with Problem() set.
class FileReader {
 public:
  FileReader() = default;
  ~FileReader();
  FileReader(const FileReader&) = delete;
  FileReader& operator=(const FileReader&) = delete;

  // Returns false when the file cannot be opened, is not a regular file or
  // is larger than kMaxReadBytes; Problem() tells which.
  bool Open(const std::string& path);
  // The size of the file when it was opened.
  std::uint64_t Size() const { return size_; }
  // Up to `count` bytes after those read so far; 0 at the end of the file
  // and after a problem.
  std::size_t Read(char* data, std::size_t count);
  // Reads from the start again; a problem met stays.
  void Rewind();
  const ReadProblem& Problem() const { return problem_; }

 private:
  void Close();
  int fd_ = -1;
  std::uint64_t size_ = 0;
  std::uint64_t taken_ = 0;  // bytes read since the start
  ReadProblem problem_;
};

// Reads an 8-bit file line by line through a small buffer: memory stays
// bounded by what the caller keeps, not by the size of the file or of a
// line. Lines may end in CR LF, LF or a lone CR. The reader never trusts the
// file: every operation stops at the end of the line or the file, and a
// read that fails, or a file that shrinks or grows past kMaxReadBytes while
// it is read, ends the file with Problem() set.
class TextReader {
 public:
  TextReader() = default;
  ~TextReader();
  TextReader(const TextReader&) = delete;
  TextReader& operator=(const TextReader&) = delete;

  // Returns false when the file cannot be opened, is not a regular file or
  // is larger than kMaxReadBytes; Problem() tells which.
  bool Open(const std::string& path);
  void OpenBytes(std::string bytes);  // for callers that already hold the text

  bool AtEnd();
  int LineNumber() const { return line_; }  // 1-based number of the next line
  const ReadProblem& Problem() const { return problem_; }

  // The next line as raw bytes (without its line end); empty at the end. Of
  // a line longer than `maxBytes` the first maxBytes + 1 bytes are returned
  // and the rest is passed over, so that the caller can tell.
  std::string ReadRawLine(std::size_t maxBytes = kMaxReadBytes);
  // The next line converted to UTF-8.
  std::string ReadLine() { return Cp1252ToUtf8(ReadRawLine()); }
  // The first `count` blank-separated tokens (blanks and tabs) of the next
  // line; the rest of the line is passed over without being kept. A token
  // longer than `maxTokenBytes` comes back as its first maxTokenBytes + 1
  // bytes.
  std::vector<std::string> ReadLineTokens(std::size_t count, std::size_t maxTokenBytes);
  // The next line as raw bytes without its line end, seen in the reader's
  // buffer: valid until the next call. False, with nothing taken, at the end
  // of the file and for a line longer than the buffer holds, which the
  // other reads take piece by piece.
  bool ReadLineView(std::string_view& line);

 private:
  int Peek();  // the next byte, or -1 at the end of the file
  bool Fill();
  // Keeps the bytes not yet taken at the front of the buffer and reads more
  // after them; false at the end of the file or when the read fails.
  bool ReadMore();
  // Ends the file after a read that gave no bytes (n == 0), failed (n < 0)
  // or passed kMaxReadBytes, setting the problem it met.
  void EndFile(long n);
  void Close();
  // Passes the line end at the current position, if there is one.
  void EndLine();

  int fd_ = -1;
  std::string buffer_;
  std::size_t pos_ = 0;
  std::uint64_t taken_ = 0;     // bytes read from the file so far
  std::uint64_t expected_ = 0;  // its size when it was opened
  bool eof_ = true;
  int line_ = 1;
  ReadProblem problem_;
};

// Splits a line into blank-separated tokens (blanks and tabs), the first
// `count` of them at most.
std::vector<std::string> SplitTokens(const std::string& line, std::size_t count = SIZE_MAX);

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

// The folder part of a path with its '/', or "" for a bare name.
std::string FolderOf(const std::string& path);

// The longest part of a target's name that a temporary name keeps: with
// ".kinvalo-", a pid of up to 10 digits, "-", 16 hex digits and ".tmp" the
// name stays within the 255 bytes of a folder entry.
inline constexpr std::size_t kTemporaryKeptNameBytes = 200;

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
  void WriteLine(std::string_view text);
  // Without a line end: also whole lines that end in CR LF, a buffer of
  // them at a time. Text in ASCII is written as it is, without a copy.
  void Write(std::string_view text);

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
  std::string converted_;  // text that is not ASCII, in Windows-1252
  // Bytes written so far, and where the writing back to the disk that was
  // asked for ends.
  static constexpr std::uint64_t kWriteBackStep = std::uint64_t{8} << 20;
  std::uint64_t written_ = 0;
  std::uint64_t writeBackFrom_ = 0;
};

// A free temporary name beside `target` in the pattern above, created empty
// with O_EXCL and mode `mode`; returns its open descriptor, or -1 with errno.
int CreateTemporaryBeside(const std::string& target, unsigned mode, std::string& tempPath);

// Asks the test seam about a step; 0 when it may go on.
int InjectedFileFault(FileStep step, const std::string& path);

}  // namespace kinvalo
