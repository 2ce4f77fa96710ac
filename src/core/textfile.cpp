#include "core/textfile.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <fstream>
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

std::string Utf8ToCp1252(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    const unsigned char b = static_cast<unsigned char>(text[i]);
    size_t len = 0;
    char32_t c = 0;
    if (b < 0x80) { len = 1; c = b; }
    else if ((b & 0xE0) == 0xC0) { len = 2; c = b & 0x1F; }
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
  return out;
}

bool ReadFileBytes(const std::string& path, std::string& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  // Read in one piece when the size is known, so that a large file is held
  // once, not twice.
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  in.seekg(0, std::ios::beg);
  if (size > 0 && in) {
    std::string text(static_cast<size_t>(size), '\0');
    in.read(text.data(), size);
    if (in.gcount() != size) return false;
    bytes = std::move(text);
    return true;
  }
  in.clear();
  std::ostringstream buffer;
  buffer << in.rdbuf();
  if (in.bad()) return false;
  bytes = buffer.str();
  return true;
}

bool TextReader::Open(const std::string& path) {
  std::string bytes;
  if (!ReadFileBytes(path, bytes)) return false;
  OpenBytes(std::move(bytes));
  return true;
}

void TextReader::OpenBytes(std::string bytes) {
  bytes_ = std::move(bytes);
  pos_ = 0;
  line_ = 1;
}

std::string TextReader::ReadRawLine() {
  if (AtEnd()) return {};
  const size_t end = bytes_.find_first_of("\r\n", pos_);
  std::string line;
  if (end == std::string::npos) {
    line = bytes_.substr(pos_);
    pos_ = bytes_.size();
  } else {
    line = bytes_.substr(pos_, end - pos_);
    pos_ = end + 1;
    if (bytes_[end] == '\r' && pos_ < bytes_.size() && bytes_[pos_] == '\n') ++pos_;
  }
  ++line_;
  return line;
}

std::vector<std::string> SplitTokens(const std::string& line) {
  std::vector<std::string> tokens;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    const size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
    if (i > start) tokens.push_back(line.substr(start, i - start));
  }
  return tokens;
}

TextWriter::~TextWriter() { Discard(); }

bool TextWriter::Create(const std::string& path) {
  Discard();
  // The temporary file lives beside the target, so the final rename never
  // crosses a drive, and its name is one no user file has.
  static std::mt19937_64 rng{std::random_device{}()};
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::ostringstream name;
    name << path << ".kinvalo-" << ::getpid() << '-' << std::hex << rng() << ".tmp";
    const int fd = ::open(name.str().c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      return false;
    }
    file_ = ::fdopen(fd, "wb");
    if (file_ == nullptr) {
      ::close(fd);
      ::unlink(name.str().c_str());
      return false;
    }
    path_ = path;
    tempPath_ = name.str();
    return true;
  }
  return false;
}

void TextWriter::CreateOrThrow(const std::string& path) {
  if (!Create(path)) throw std::runtime_error("The file \"" + path + "\" could not be created.");
}

void TextWriter::Fail(const char* what) {
  const std::string message = std::string("The file \"") + path_ + "\" could not be " + what +
                              " (" + std::strerror(errno) + ").";
  Discard();
  throw std::runtime_error(message);
}

void TextWriter::Write(const std::string& text) {
  if (file_ == nullptr) throw std::logic_error("write to a text file that is not open");
  const std::string bytes = Utf8ToCp1252(text);
  if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) {
    Fail("written");
  }
}

void TextWriter::WriteLine(const std::string& text) {
  // A line break inside a line (a title pasted with one) would shift every
  // line after it; readers count lines.
  if (text.find_first_of("\r\n") != std::string::npos) {
    std::string flat = text;
    for (char& c : flat) {
      if (c == '\r' || c == '\n') c = ' ';
    }
    Write(flat);
  } else {
    Write(text);
  }
  if (std::fwrite("\r\n", 1, 2, file_) != 2) Fail("written");
}

void TextWriter::Commit() {
  if (file_ == nullptr) throw std::logic_error("commit of a text file that is not open");
  const bool flushed = std::fflush(file_) == 0 && std::ferror(file_) == 0;
  const bool closed = std::fclose(file_) == 0;
  file_ = nullptr;
  if (!flushed || !closed) Fail("written");
  if (std::rename(tempPath_.c_str(), path_.c_str()) != 0) Fail("put in place");
  tempPath_.clear();
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
