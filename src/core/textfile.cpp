#include "core/textfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <iomanip>
#include <random>
#include <sstream>
#include <stdexcept>

namespace kinvalo {

namespace {

// Windows-1252 bytes 0x80..0x9F; the five undefined ones map to the C1
// control of the same number so that they survive a round trip.
constexpr std::array<char32_t, 32> kHighTable = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

int Cp1252Byte(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<int>(c);
  for (size_t i = 0; i < kHighTable.size(); ++i) {
    if (kHighTable[i] == c) return static_cast<int>(0x80 + i);
  }
  return '?';
}

}  // namespace

std::string Cp1252ToUtf8(const std::string& bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (unsigned char b : bytes) {
    if (b == 0) {
      out += '?';  // a NUL byte would cut the text short in every display
    } else if (b < 0x80) {
      out += static_cast<char>(b);
    } else if (b < 0xA0) {
      AppendUtf8(out, kHighTable[b - 0x80]);
    } else {
      AppendUtf8(out, b);
    }
  }
  return out;
}

void AppendCp1252(std::string& out, std::string_view text) {
  out.reserve(out.size() + text.size());
  size_t i = 0;
  while (i < text.size()) {
    const unsigned char b = static_cast<unsigned char>(text[i]);
    if (b < 0x80) {
      out += static_cast<char>(b);
      ++i;
      continue;
    }
    size_t len = 0;
    char32_t c = 0;
    if ((b & 0xE0) == 0xC0) { len = 2; c = b & 0x1F; }
    else if ((b & 0xF0) == 0xE0) { len = 3; c = b & 0x0F; }
    else if ((b & 0xF8) == 0xF0) { len = 4; c = b & 0x07; }
    bool valid = len > 0 && i + len <= text.size();
    for (size_t k = 1; valid && k < len; ++k) {
      const unsigned char cont = static_cast<unsigned char>(text[i + k]);
      if ((cont & 0xC0) != 0x80) valid = false;
      c = (c << 6) | (cont & 0x3F);
    }
    if (!valid) {
      out += '?';
      ++i;
      continue;
    }
    out += static_cast<char>(Cp1252Byte(c));
    i += len;
  }
}

std::string Utf8ToCp1252(std::string_view text) {
  std::string out;
  AppendCp1252(out, text);
  return out;
}

namespace {

constexpr std::size_t kChunk = std::size_t{64} << 10;

// Opens a file for reading, refusing every file but a regular one of at
// most kMaxReadBytes before reading a byte of it: a FIFO would block the
// open itself without O_NONBLOCK, and /dev/zero never ends.
int OpenRegularFile(const std::string& path, ReadProblem& problem, std::uint64_t& size) {
  using Kind = ReadProblem::Kind;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) {
    problem = {Kind::Open, errno};
    return -1;
  }
  struct stat status {};
  if (::fstat(fd, &status) != 0) {
    problem = {Kind::Read, errno};
  } else if (S_ISDIR(status.st_mode)) {
    problem = {Kind::Folder, 0};
  } else if (!S_ISREG(status.st_mode)) {
    problem = {Kind::NotRegularFile, 0};
  } else if (static_cast<std::uint64_t>(status.st_size) > kMaxReadBytes) {
    problem = {Kind::TooLarge, 0};
  } else {
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags != -1) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    size = static_cast<std::uint64_t>(status.st_size);
    return fd;
  }
  ::close(fd);
  return -1;
}

// read(2), again when a signal interrupts it.
ssize_t ReadSome(int fd, char* data, std::size_t size) {
  ssize_t n = 0;
  do {
    n = ::read(fd, data, size);
  } while (n < 0 && errno == EINTR);
  return n;
}

}  // namespace

std::string ReadProblem::Cause() const {
  switch (kind) {
    case Kind::None: return {};
    case Kind::Open:
    case Kind::Read: return std::strerror(error);
    case Kind::Folder: return "it is a folder";
    case Kind::NotRegularFile: return "it is not a regular file";
    case Kind::TooLarge: return "it is larger than 2 GB";
    case Kind::CutShort: return "it was cut short while it was read";
  }
  return {};
}

bool ReadProblem::IsUnavailable() const {
  if (kind != Kind::Open) return false;
  switch (error) {
    case ENOENT: case ENOTDIR: case EACCES: case EPERM: case EBUSY: case ETXTBSY:
    case EAGAIN: case EMFILE: case ENFILE: case EINTR:
      return true;
    default:
      return false;
  }
}

std::string ReadProblem::Message(const std::string& path) const {
  return "The file \"" + path + "\" could not be " + (kind == Kind::Open ? "opened" : "read") + ": " +
         Cause() + ".";
}

std::string ReadProblem::Message(const std::string& path, const std::string& openFailure) const {
  if (IsUnavailable()) return openFailure + " The system reports: " + Cause() + ".";
  return Message(path);
}

bool ReadFileBytes(const std::string& path, std::string& bytes, ReadProblem* problem) {
  using Kind = ReadProblem::Kind;
  ReadProblem local;
  ReadProblem& p = problem != nullptr ? *problem : local;
  p = {};
  std::uint64_t size = 0;
  const int fd = OpenRegularFile(path, p, size);
  if (fd < 0) return false;
  // The size is only a guess (files under /proc say 0, and a file may grow
  // or shrink meanwhile); one byte more than it tells whether the file grew.
  std::string text(static_cast<std::size_t>(size) + 1, '\0');
  std::size_t got = 0;
  for (;;) {
    if (got == text.size()) {
      if (got > kMaxReadBytes) {
        p = {Kind::TooLarge, 0};
        break;
      }
      text.resize(static_cast<std::size_t>(
          std::min<std::uint64_t>(std::max(got * 2, got + kChunk), kMaxReadBytes + 1)));
    }
    const ssize_t n = ReadSome(fd, text.data() + got, text.size() - got);
    if (n < 0) {
      p = {Kind::Read, errno};
      break;
    }
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  ::close(fd);
  if (!p && got > kMaxReadBytes) p = {Kind::TooLarge, 0};
  if (!p && got < size) p = {Kind::CutShort, 0};
  if (p) return false;
  text.resize(got);
  bytes = std::move(text);
  return true;
}

FileReader::~FileReader() { Close(); }

void FileReader::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

bool FileReader::Open(const std::string& path) {
  Close();
  size_ = 0;
  taken_ = 0;
  problem_ = {};
  fd_ = OpenRegularFile(path, problem_, size_);
  return fd_ >= 0;
}

std::size_t FileReader::Read(char* data, std::size_t count) {
  using Kind = ReadProblem::Kind;
  if (fd_ < 0 || problem_ || count == 0) return 0;
  const ssize_t n = ReadSome(fd_, data, count);
  if (n > 0 && taken_ + static_cast<std::uint64_t>(n) <= kMaxReadBytes) {
    taken_ += static_cast<std::uint64_t>(n);
    return static_cast<std::size_t>(n);
  }
  if (n < 0) problem_ = {Kind::Read, errno};
  else if (n > 0) problem_ = {Kind::TooLarge, 0};
  else if (taken_ < size_) problem_ = {Kind::CutShort, 0};
  return 0;
}

void FileReader::Rewind() {
  if (fd_ < 0 || problem_) return;
  if (::lseek(fd_, 0, SEEK_SET) != 0) {
    problem_ = {ReadProblem::Kind::Read, errno};
    return;
  }
  taken_ = 0;
}

TextReader::~TextReader() { Close(); }

void TextReader::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

bool TextReader::Open(const std::string& path) {
  Close();
  buffer_.clear();
  pos_ = 0;
  taken_ = 0;
  expected_ = 0;
  line_ = 1;
  problem_ = {};
  eof_ = true;
  fd_ = OpenRegularFile(path, problem_, expected_);
  if (fd_ < 0) return false;
  eof_ = false;
  return true;
}

void TextReader::OpenBytes(std::string bytes) {
  Close();
  buffer_ = std::move(bytes);
  pos_ = 0;
  taken_ = buffer_.size();
  expected_ = taken_;
  line_ = 1;
  problem_ = {};
  eof_ = true;
}

bool TextReader::Fill() {
  if (eof_ || fd_ < 0) return false;
  buffer_.resize(kChunk);
  pos_ = 0;
  const ssize_t n = ReadSome(fd_, buffer_.data(), buffer_.size());
  if (n > 0 && taken_ + static_cast<std::uint64_t>(n) <= kMaxReadBytes) {
    taken_ += static_cast<std::uint64_t>(n);
    buffer_.resize(static_cast<std::size_t>(n));
    return true;
  }
  buffer_.clear();
  EndFile(n);
  return false;
}

void TextReader::EndFile(long n) {
  using Kind = ReadProblem::Kind;
  if (n < 0) problem_ = {Kind::Read, errno};
  else if (n > 0) problem_ = {Kind::TooLarge, 0};
  else if (taken_ < expected_) problem_ = {Kind::CutShort, 0};
  eof_ = true;
  Close();
}

bool TextReader::ReadMore() {
  if (eof_ || fd_ < 0) return false;
  buffer_.erase(0, pos_);
  pos_ = 0;
  const std::size_t kept = buffer_.size();
  buffer_.resize(kept + kChunk);
  const ssize_t n = ReadSome(fd_, buffer_.data() + kept, kChunk);
  const bool read = n > 0 && taken_ + static_cast<std::uint64_t>(n) <= kMaxReadBytes;
  buffer_.resize(kept + (read ? static_cast<std::size_t>(n) : 0));
  if (read) {
    taken_ += static_cast<std::uint64_t>(n);
    return true;
  }
  EndFile(n);
  return false;
}

int TextReader::Peek() {
  if (pos_ >= buffer_.size() && !Fill()) return -1;
  return static_cast<unsigned char>(buffer_[pos_]);
}

bool TextReader::AtEnd() { return Peek() < 0; }

void TextReader::EndLine() {
  const int c = Peek();
  if (c == '\n') {
    ++pos_;
  } else if (c == '\r') {
    ++pos_;
    if (Peek() == '\n') ++pos_;
  }
}

std::string TextReader::ReadRawLine(std::size_t maxBytes) {
  if (AtEnd()) return {};
  const std::size_t keep = maxBytes < SIZE_MAX ? maxBytes + 1 : maxBytes;
  std::string line;
  while (Peek() >= 0) {
    const char* begin = buffer_.data() + pos_;
    const std::size_t available = buffer_.size() - pos_;
    std::size_t k = 0;
    while (k < available && begin[k] != '\r' && begin[k] != '\n') ++k;
    if (line.size() < keep) line.append(begin, std::min(k, keep - line.size()));
    pos_ += k;
    if (k < available) break;
  }
  EndLine();
  ++line_;
  return line;
}

bool TextReader::ReadLineView(std::string_view& line) {
  for (bool more = true;; more = false) {
    const char* begin = buffer_.data() + pos_;
    const char* end = buffer_.data() + buffer_.size();
    const char* p = begin;
    while (p < end && *p != '\r' && *p != '\n') ++p;
    // A CR as the last byte read may be the first half of a CR LF.
    const bool whole = p < end ? (*p == '\n' || p + 1 < end || eof_) : (eof_ && p > begin);
    if (whole) {
      line = {begin, static_cast<std::size_t>(p - begin)};
      pos_ = static_cast<std::size_t>(p - buffer_.data());
      if (p < end) {
        ++pos_;
        if (*p == '\r' && p + 1 < end && p[1] == '\n') ++pos_;
      }
      ++line_;
      return true;
    }
    // The line goes on beyond the buffer: once, read more after it.
    if (!more || eof_ || buffer_.size() - pos_ >= kChunk) return false;
    ReadMore();
  }
}

std::vector<std::string> TextReader::ReadLineTokens(std::size_t count, std::size_t maxTokenBytes) {
  std::vector<std::string> tokens;
  if (AtEnd()) return tokens;
  const std::size_t keep = maxTokenBytes < SIZE_MAX ? maxTokenBytes + 1 : maxTokenBytes;
  bool inToken = false;
  std::string* current = nullptr;  // the token being kept
  while (Peek() >= 0) {
    if (tokens.size() == count && current == nullptr) {
      // Every token wanted is taken: pass over the rest of the line.
      const std::size_t end = buffer_.find_first_of("\r\n", pos_);
      if (end == std::string::npos) {
        pos_ = buffer_.size();
        continue;
      }
      pos_ = end;
      break;
    }
    const char c = buffer_[pos_];
    if (c == '\r' || c == '\n') break;
    ++pos_;
    if (c == ' ' || c == '\t') {
      inToken = false;
      current = nullptr;
      continue;
    }
    if (!inToken) {
      inToken = true;
      if (tokens.size() < count) current = &tokens.emplace_back();
    }
    if (current != nullptr && current->size() < keep) current->push_back(c);
  }
  EndLine();
  ++line_;
  return tokens;
}

std::vector<std::string> SplitTokens(const std::string& line, std::size_t count) {
  std::vector<std::string> tokens;
  size_t i = 0;
  while (i < line.size() && tokens.size() < count) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    const size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
    if (i > start) tokens.push_back(line.substr(start, i - start));
  }
  return tokens;
}

namespace {

FileFaultHook& FaultHook() {
  static FileFaultHook hook;
  return hook;
}

constexpr const char* kTemporaryMark = ".kinvalo-";
constexpr const char* kTemporaryEnd = ".tmp";
constexpr size_t kRandomDigits = 16;

// The file a path names after following its symbolic links; a link that
// leads nowhere gives the path it leads to, where the file will be made.
std::string FollowLinks(const std::string& path) {
  std::string current = path;
  for (int hop = 0; hop < 40; ++hop) {
    struct stat st {};
    if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return current;
    std::string target(4096, '\0');
    const ssize_t n = ::readlink(current.c_str(), target.data(), target.size());
    if (n <= 0 || static_cast<size_t>(n) >= target.size()) return current;
    target.resize(static_cast<size_t>(n));
    current = target[0] == '/' ? target : FolderOf(current) + target;
  }
  return current;  // a loop of links: creating the file reports it
}

bool IsReadOnly(const struct stat& st) {
  // The write bits, not access(): a user running as root still protects a
  // file by taking them away.
  return S_ISREG(st.st_mode) && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

}  // namespace

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

void SetFileFaultHookForTesting(FileFaultHook hook) { FaultHook() = std::move(hook); }

int InjectedFileFault(FileStep step, const std::string& path) {
  const FileFaultHook& hook = FaultHook();
  return hook ? hook(step, path) : 0;
}

ReadOnlyFileError::ReadOnlyFileError(const std::string& path)
    : std::runtime_error("The file \"" + path + "\" is read-only."), path_(path) {}

bool IsKinvaloTemporaryName(const std::string& fileName, long* pid) {
  const size_t slash = fileName.rfind('/');
  const std::string name = slash == std::string::npos ? fileName : fileName.substr(slash + 1);
  const std::string end = kTemporaryEnd;
  if (name.size() < end.size() || name.compare(name.size() - end.size(), end.size(), end) != 0) return false;
  size_t pos = name.size() - end.size();
  if (pos < kRandomDigits + 1) return false;
  for (size_t i = pos - kRandomDigits; i < pos; ++i) {
    const char c = name[i];
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  }
  pos -= kRandomDigits;
  if (name[pos - 1] != '-') return false;
  const size_t digitsEnd = pos - 1;
  size_t digitsStart = digitsEnd;
  while (digitsStart > 0 && name[digitsStart - 1] >= '0' && name[digitsStart - 1] <= '9') --digitsStart;
  if (digitsStart == digitsEnd || digitsEnd - digitsStart > 10) return false;
  const std::string mark = kTemporaryMark;
  if (digitsStart < mark.size() || name.compare(digitsStart - mark.size(), mark.size(), mark) != 0) return false;
  if (pid != nullptr) *pid = std::stol(name.substr(digitsStart, digitsEnd - digitsStart));
  return true;
}

int CreateTemporaryBeside(const std::string& target, unsigned mode, std::string& tempPath) {
  // One generator a thread: the batch command writes several result sets at once.
  thread_local std::mt19937_64 rng{std::random_device{}()};
  const std::string folder = FolderOf(target);
  std::string base = target.substr(folder.size());
  if (base.size() > kTemporaryKeptNameBytes) {
    // Cut at the start of a character, never inside one.
    size_t cut = kTemporaryKeptNameBytes;
    while (cut > 0 && (static_cast<unsigned char>(base[cut]) & 0xC0) == 0x80) --cut;
    base.resize(cut);
  }
  if (const int fault = InjectedFileFault(FileStep::Create, target)) {
    errno = fault;
    return -1;
  }
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::ostringstream name;
    name << folder << base << kTemporaryMark << ::getpid() << '-' << std::hex << std::setw(kRandomDigits)
         << std::setfill('0') << rng() << kTemporaryEnd;
    const int fd = ::open(name.str().c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      return -1;
    }
    tempPath = name.str();
    return fd;
  }
  errno = EEXIST;
  return -1;
}

TextWriter::~TextWriter() { Discard(); }

bool TextWriter::Create(const std::string& path) {
  Discard();
  // The temporary file lives beside the file the name leads to, so that
  // the final rename never crosses a drive and replaces the file, not a
  // link to it.
  const std::string target = FollowLinks(path);
  struct stat st {};
  const bool exists = ::stat(target.c_str(), &st) == 0;
  if (exists && IsReadOnly(st)) {
    errno = EACCES;
    return false;
  }
  std::string tempPath;
  const int fd = CreateTemporaryBeside(target, exists ? 0600 : 0666, tempPath);
  if (fd < 0) return false;
  if (exists) {
    // The new file keeps the protection of the one it replaces; the owner
    // only where the system lets this user give the file away.
    if (st.st_uid != ::geteuid() || st.st_gid != ::getegid()) {
      if (::fchown(fd, st.st_uid, st.st_gid) != 0) errno = 0;
    }
    if (::fchmod(fd, st.st_mode & 07777) != 0) {
      const int error = errno;
      ::close(fd);
      ::unlink(tempPath.c_str());
      errno = error;
      return false;
    }
  }
  file_ = ::fdopen(fd, "wb");
  if (file_ == nullptr) {
    const int error = errno;
    ::close(fd);
    ::unlink(tempPath.c_str());
    errno = error;
    return false;
  }
  path_ = path;
  target_ = target;
  tempPath_ = tempPath;
  written_ = 0;
  writeBackFrom_ = 0;
  return true;
}

void TextWriter::CreateOrThrow(const std::string& path) {
  if (Create(path)) return;
  const int error = errno;
  struct stat st {};
  if (error == EACCES && ::stat(FollowLinks(path).c_str(), &st) == 0 && IsReadOnly(st)) {
    throw ReadOnlyFileError(path);
  }
  throw std::runtime_error("The file \"" + path + "\" could not be created (" + std::strerror(error) + ").");
}

void TextWriter::Fail(const char* what) {
  const std::string message = std::string("The file \"") + path_ + "\" could not be " + what +
                              " (" + std::strerror(errno) + ").";
  Discard();
  throw std::runtime_error(message);
}

namespace {

// Text of bytes below 0x80 only reads the same in UTF-8 and in
// Windows-1252. Eight bytes a step, so that a buffer of table lines is
// checked at the speed of memory.
bool IsAscii(std::string_view text) {
  const char* p = text.data();
  const size_t n = text.size();
  std::uint64_t seen = 0;
  size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    std::uint64_t word = 0;
    std::memcpy(&word, p + i, sizeof word);
    seen |= word;
  }
  for (; i < n; ++i) seen |= static_cast<unsigned char>(p[i]);
  return (seen & 0x8080808080808080ULL) == 0;
}

}  // namespace

void TextWriter::Write(std::string_view text) {
  if (file_ == nullptr) throw std::logic_error("write to a text file that is not open");
  if (text.empty()) return;
  if (const int fault = InjectedFileFault(FileStep::Write, path_)) {
    errno = fault;
    Fail("written");
  }
  std::string_view bytes = text;
  if (!IsAscii(text)) {
    converted_.clear();
    AppendCp1252(converted_, text);
    bytes = converted_;
  }
  if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) Fail("written");
  // A report of millions of lines is hundreds of megabytes: its pages start
  // for the disk while the rest is written, so that the sync before the
  // rename waits for the last few only. A hint; the sync stays the check.
  written_ += bytes.size();
  if (written_ - writeBackFrom_ >= kWriteBackStep) {
    const int error = errno;
    ::sync_file_range(::fileno(file_), static_cast<off_t>(writeBackFrom_),
                      static_cast<off_t>(written_ - writeBackFrom_), SYNC_FILE_RANGE_WRITE);
    errno = error;
    writeBackFrom_ = written_;
  }
}

void TextWriter::WriteLine(std::string_view text) {
  // A line break inside a line (a title pasted with one) would shift every
  // line after it; readers count lines.
  if (std::memchr(text.data(), '\r', text.size()) != nullptr || std::memchr(text.data(), '\n', text.size()) != nullptr) {
    std::string flat(text);
    for (char& c : flat) {
      if (c == '\r' || c == '\n') c = ' ';
    }
    Write(flat);
  } else {
    Write(text);
  }
  Write("\r\n");
}

void TextWriter::Finish() {
  if (file_ == nullptr) throw std::logic_error("commit of a text file that is not open");
  // Each step keeps the errno of the first failure for the message.
  int error = InjectedFileFault(FileStep::Flush, path_);
  if (error == 0 && (std::fflush(file_) != 0 || std::ferror(file_) != 0)) error = errno != 0 ? errno : EIO;
  // On the disk before the rename, so that a power cut leaves the old file
  // or the whole new one under the name.
  if (error == 0) error = InjectedFileFault(FileStep::Sync, path_);
  if (error == 0 && ::fsync(::fileno(file_)) != 0 && errno != EINVAL && errno != EROFS) error = errno;
  if (error == 0) error = InjectedFileFault(FileStep::Close, path_);
  const bool closed = std::fclose(file_) == 0;
  file_ = nullptr;
  if (error == 0 && !closed) error = errno;
  if (error != 0) {
    errno = error;
    Fail("written");
  }
}

void TextWriter::PutInPlace() {
  if (file_ != nullptr || tempPath_.empty()) throw std::logic_error("a text file put in place before it is finished");
  if (const int fault = InjectedFileFault(FileStep::Rename, path_)) {
    errno = fault;
    Fail("put in place");
  }
  if (std::rename(tempPath_.c_str(), target_.c_str()) != 0) Fail("put in place");
  tempPath_.clear();
}

void TextWriter::Commit() {
  Finish();
  PutInPlace();
}

void TextWriter::Discard() {
  if (file_ != nullptr) {
    std::fclose(file_);
    file_ = nullptr;
  }
  if (!tempPath_.empty()) {
    ::unlink(tempPath_.c_str());
    tempPath_.clear();
  }
}

}  // namespace kinvalo
