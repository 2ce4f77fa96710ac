// The yardstick of the calculation: what no program that writes Kinvalo's
// result files of an input file can do without. It reads the input file
// (mmap and std::from_chars), sorts the data sets by X and writes the same
// bytes as Kinvalo: the observation table of the .out, the one piece that
// grows with N, is rendered here from the sorted data; the files and lines
// of a fixed size that need the search (the head of the .out, the .txt, .var and
// .lsq) are copied from Kinvalo's own files of the same input, read before
// anything else. The fitted Y of each row comes from the side statistics
// at the breakpoint that Kinvalo's JSON report gives in full precision,
// computed by the same functions Kinvalo uses: one pass over the data.
//
//   kinvalo_limit INPUT.inp REFERENCE.out REFERENCE.json [--times]
//
// writes INPUT.out (and .txt, .var, .lsq where REFERENCE has them) beside
// INPUT.inp; --times prints the time of each step on standard error.
#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <nlohmann/json.hpp>

#include "regression/side_statistics.h"

namespace {

using kinvalo::kAbove;
using kinvalo::kBelow;

[[noreturn]] void Fail(const std::string& message) {
  std::fprintf(stderr, "kinvalo_limit: %s\n", message.c_str());
  std::exit(1);
}

std::optional<std::string> ReadWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The .out up to and including the line of dashes above its observation
// table, without reading the table itself.
std::string HeadOfOutput(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) Fail("cannot read " + path);
  const std::string dashes = " " + std::string(46, '-') + "\r\n";
  std::string head, line;
  while (std::getline(in, line)) {
    head += line;
    head += '\n';
    if (line + '\n' == dashes) return head;
  }
  Fail(path + " has no observation table");
}

struct DataSet {
  double x, y;
};

// The data lines of an input file: 11 lines of header, then "serial Y X"
// per line. Pages already parsed are given back as the parse goes on, so
// that the file does not stay resident beside the data.
std::vector<DataSet> ReadInput(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY);
  struct stat st {};
  if (fd < 0 || ::fstat(fd, &st) != 0) Fail("cannot open " + path);
  const size_t size = static_cast<size_t>(st.st_size);
  std::vector<DataSet> data;
  if (size == 0) return data;
  void* mapped = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
  ::close(fd);
  if (mapped == MAP_FAILED) Fail("cannot map " + path);
  const char* const begin = static_cast<const char*>(mapped);
  const char* const end = begin + size;
  ::madvise(mapped, size, MADV_SEQUENTIAL);
  const char* p = begin;
  auto nextLine = [&] {
    p = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
    p = p == nullptr ? end : p + 1;
  };
  for (int line = 1; line <= 4; ++line) nextLine();
  // " Number of data sets:  N" gives the room to reserve.
  const char* count = p + 22;
  long long n = 0;
  while (count < end && *count == ' ') ++count;
  std::from_chars(count, end, n);
  data.reserve(static_cast<size_t>(std::max(0LL, n)));
  for (int line = 5; line <= 11; ++line) nextLine();

  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  auto skipBlanks = [&] {
    while (p < end && blank(*p)) ++p;
  };
  auto token = [&]() -> std::string_view {
    const char* start = p;
    while (p < end && !blank(*p)) ++p;
    return {start, static_cast<size_t>(p - start)};
  };
  constexpr size_t kGiveBack = size_t{4} << 20;
  const char* given = begin;
  const size_t page = static_cast<size_t>(::sysconf(_SC_PAGESIZE));
  for (skipBlanks(); p < end; skipBlanks()) {
    token();  // the serial number: the rows are numbered after sorting
    skipBlanks();
    const std::string_view y = token();
    skipBlanks();
    const std::string_view x = token();
    DataSet d{};
    if (std::from_chars(y.data(), y.data() + y.size(), d.y).ec != std::errc{} ||
        std::from_chars(x.data(), x.data() + x.size(), d.x).ec != std::errc{}) {
      Fail("a data line of " + path + " is not three numbers");
    }
    data.push_back(d);
    if (static_cast<size_t>(p - given) > kGiveBack) {
      const size_t done = (static_cast<size_t>(p - begin) / page) * page;
      ::madvise(const_cast<char*>(given), done - static_cast<size_t>(given - begin), MADV_DONTNEED);
      given = begin + done;
    }
  }
  ::munmap(mapped, size);
  return data;
}

// E(value, width, digits) of Kinvalo's files: a mantissa of `digits`
// significant digits, "E", the sign and three exponent digits, right
// aligned in `width`; a negative value that rounds to zero loses its sign.
char* RenderE(char* out, double value, int width, int digits) {
  char buf[40];
  char* const end = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, digits - 1).ptr;
  const char* mantissa = buf;
  char* e = std::find(buf, end, 'e');
  if (*mantissa == '-' && std::none_of(buf, e, [](char c) { return c >= '1' && c <= '9'; })) ++mantissa;
  const char sign = e[1];
  const char* exponent = e + 2;
  const int exponentDigits = static_cast<int>(end - exponent);
  const int length = static_cast<int>(e - mantissa) + 2 + std::max(3, exponentDigits);
  for (int i = length; i < width; ++i) *out++ = ' ';
  out = std::copy(mantissa, static_cast<const char*>(e), out);
  *out++ = 'E';
  *out++ = sign;
  for (int i = exponentDigits; i < 3; ++i) *out++ = '0';
  return std::copy(exponent, static_cast<const char*>(end), out);
}

// I(value, 4) followed by the six blanks before Yobs.
char* RenderSerial(char* out, long long value) {
  char buf[24];
  char* const end = std::to_chars(buf, buf + sizeof buf, value).ptr;
  for (long i = end - buf; i < 4; ++i) *out++ = ' ';
  out = std::copy(buf, end, out);
  return std::copy_n("      ", 6, out);
}

class FileWriter {
 public:
  explicit FileWriter(const std::string& path) : path_(path) {
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd_ < 0) Fail("cannot write " + path);
  }
  ~FileWriter() {
    if (::close(fd_) != 0) Fail("cannot write " + path_);
  }
  FileWriter(const FileWriter&) = delete;
  FileWriter& operator=(const FileWriter&) = delete;
  void Write(const char* data, size_t size) {
    while (size > 0) {
      const ssize_t n = ::write(fd_, data, size);
      if (n <= 0) Fail("cannot write " + path_);
      data += n;
      size -= static_cast<size_t>(n);
    }
  }
  void Write(const std::string& text) { Write(text.data(), text.size()); }

 private:
  std::string path_;
  int fd_;
};

// What the fitted Y of a row needs: the side statistics at the breakpoint
// and the slopes as Kinvalo's report takes them.
struct FittedLine {
  int type = 1;
  double breakpoint = 0;
  double avYBelow = 0, avXBelow = 0, avYAbove = 0, avXAbove = 0;
  double slopeBelow = 0, slopeAbove = 0;

  double At(double x) const {
    if (type == 3) return x < breakpoint ? avYBelow : avYAbove + slopeAbove * (x - avXAbove);
    if (type == 4) return x < breakpoint ? avYBelow + slopeBelow * (x - avXBelow) : avYAbove;
    return avYAbove + slopeAbove * (x - avXAbove);
  }
};

FittedLine FitOf(const nlohmann::json& report, std::span<const double> x, std::span<const double> y) {
  FittedLine line;
  const nlohmann::json& result = report.at("result");
  if (result.is_null()) Fail("the reference has no result");
  line.type = result.at("type").get<int>();
  if (line.type != 1 && line.type != 3 && line.type != 4) Fail("a result of type " + std::to_string(line.type));
  kinvalo::SortedSplitter splitter({x, y});
  const kinvalo::BreakpointSides all = splitter.SplitAt(x.front());
  const double slopeAll = all[kAbove].slope;
  line.breakpoint = line.type == 1 ? x.front() : result.at("breakpoint").get<double>();
  const kinvalo::BreakpointSides sides = line.type == 1 ? all : splitter.SplitAt(line.breakpoint);
  const kinvalo::SideStatistics& below = sides[kBelow];
  const kinvalo::SideStatistics& above = sides[kAbove];
  line.avYBelow = below.avY;
  line.avXBelow = below.avX;
  line.avYAbove = above.avY;
  line.avXAbove = above.avX;
  line.slopeBelow = below.slope;
  line.slopeAbove = above.slope;
  const double bp = line.breakpoint;
  // A zero slope of the sloping side stands for the line to its centre,
  // and that slope must not point against the relation of all data.
  auto signRule = [&](double& slope) {
    if (slopeAll <= 0 ? slope > 0 : slope < 0) slope = 0;
  };
  if (line.type == 3) {
    if (line.slopeAbove == 0) line.slopeAbove = above.avX == bp ? 10.0 : (above.avY - below.avY) / (above.avX - bp);
    signRule(line.slopeAbove);
  } else if (line.type == 4) {
    if (line.slopeBelow == 0) line.slopeBelow = bp == below.avX ? 10.0 : (above.avY - below.avY) / (bp - below.avX);
    signRule(line.slopeBelow);
  }
  return line;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: kinvalo_limit INPUT.inp REFERENCE.out REFERENCE.json [--times]\n");
    return 2;
  }
  const std::string input = argv[1];
  const std::filesystem::path reference = argv[2];
  const bool times = argc > 4 && std::string(argv[4]) == "--times";
  using Clock = std::chrono::steady_clock;
  auto started = Clock::now();
  auto lap = [&](const char* step) {
    const auto now = Clock::now();
    if (times) std::fprintf(stderr, "%-10s %8.3f s\n", step, std::chrono::duration<double>(now - started).count());
    started = now;
  };

  // What comes from Kinvalo's own files: a few lines, whatever N.
  const std::string head = HeadOfOutput(reference.string());
  const std::optional<std::string> json = ReadWhole(argv[3]);
  if (!json) Fail(std::string("cannot read ") + argv[3]);
  const nlohmann::json report = nlohmann::json::parse(*json);
  auto beside = [](std::filesystem::path path, const char* extension) { return path.replace_extension(extension); };
  const std::optional<std::string> txt = ReadWhole(beside(reference, ".txt"));
  const std::optional<std::string> var = ReadWhole(beside(reference, ".var"));
  const std::optional<std::string> lsq = ReadWhole(beside(reference, ".lsq"));
  lap("reference");

  std::vector<DataSet> data = ReadInput(input);
  if (data.empty()) Fail("no data in " + input);
  lap("read");
  // Equal X keep their order in the file, as in Kinvalo.
  std::stable_sort(data.begin(), data.end(), [](const DataSet& a, const DataSet& b) { return a.x < b.x; });
  lap("sort");

  // The columns side by side: X in an array of its own, Y moved to the
  // front of the sorted pairs' memory.
  const size_t n = data.size();
  std::vector<double> x(n);
  for (size_t i = 0; i < n; ++i) x[i] = data[i].x;
  double* const y = reinterpret_cast<double*>(data.data());
  for (size_t i = 0; i < n; ++i) y[i] = data[i].y;
  const FittedLine fitted = FitOf(report, x, {y, n});
  lap("fit");

  const std::filesystem::path stem = std::filesystem::absolute(input);
  {
    FileWriter out(beside(stem, ".out"));
    out.Write(head);
    constexpr size_t kBuffer = size_t{1} << 20;
    constexpr size_t kRow = 128;
    std::vector<char> buffer(kBuffer + kRow);
    char* p = buffer.data();
    for (size_t i = 0; i < n; ++i) {
      p = RenderSerial(p, static_cast<long long>(i + 1));
      p = RenderE(p, y[i], 12, 3);
      p = RenderE(p, x[i], 12, 4);
      p = RenderE(p, fitted.At(x[i]), 12, 3);
      *p++ = '\r';
      *p++ = '\n';
      if (static_cast<size_t>(p - buffer.data()) >= kBuffer) {
        out.Write(buffer.data(), static_cast<size_t>(p - buffer.data()));
        p = buffer.data();
      }
    }
    out.Write(buffer.data(), static_cast<size_t>(p - buffer.data()));
  }
  if (var) FileWriter(beside(stem, ".var")).Write(*var);
  if (lsq) FileWriter(beside(stem, ".lsq")).Write(*lsq);
  if (txt) {
    // The explanation table begins with its own path.
    const std::string path = beside(stem, ".txt").string();
    FileWriter(path).Write(path + txt->substr(txt->find("\r\n")));
  }
  lap("write");
  return 0;
}
