#include "data/output_reader.h"

#include <sys/mman.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/format.h"
#include "core/textfile.h"

namespace kinvalo {

namespace {

std::string ReaderOpenFailure(const std::string& path) {
  return "The file \"" + path +
         "\"could not be opened. It may be damaged or in use by another program.";
}

const char* const kNotOutputFile = "This is not a Kinvalo output file. It can not be read.";

// A search that reached the end of the file: the part it looked for is
// missing.
struct MissingPart {
  std::string part;
};

// An observation table with fewer rows than data sets.
struct ShortTable {
  size_t rows;
};

// A token where a number belongs, outside the places where older files
// differ.
struct BadNumber {
  int line;
  std::string token;
};

// The numbers the writers make (-1.234E+001, 0.5, 12): an optional minus,
// digits, optionally a point and digits, optionally E or e, a sign and
// digits. Of at most 15 digits and with a power of ten of at most 22 either
// way, the value is the digits as a whole number times or divided by that
// power, each exact in a double, so that the one operation rounds as
// from_chars does. False, leaving the token to from_chars, for any other.
bool PlainNumber(std::string_view token, double& value) {
  static constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                       1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
  size_t i = 0;
  const size_t n = token.size();
  auto isDigit = [&](size_t k) { return k < n && token[k] >= '0' && token[k] <= '9'; };
  const bool negative = i < n && token[i] == '-';
  if (negative) ++i;
  std::uint64_t digits = 0;
  int count = 0, scale = 0;
  if (!isDigit(i)) return false;
  for (; isDigit(i); ++i, ++count) digits = digits * 10 + static_cast<std::uint64_t>(token[i] - '0');
  if (i < n && token[i] == '.') {
    ++i;
    if (!isDigit(i)) return false;
    for (; isDigit(i); ++i, ++count, --scale) digits = digits * 10 + static_cast<std::uint64_t>(token[i] - '0');
  }
  if (i < n && (token[i] == 'E' || token[i] == 'e')) {
    ++i;
    const bool down = i < n && token[i] == '-';
    if (i < n && (token[i] == '-' || token[i] == '+')) ++i;
    if (!isDigit(i)) return false;
    int exponent = 0;
    for (; isDigit(i) && exponent < 1000; ++i) exponent = exponent * 10 + (token[i] - '0');
    scale += down ? -exponent : exponent;
  }
  if (i != n || count > 15 || scale < -22 || scale > 22) return false;
  const double whole = static_cast<double>(digits);
  value = scale >= 0 ? whole * kPowers[scale] : whole / kPowers[-scale];
  if (negative) value = -value;
  return true;
}

// Reads an output file the way it was written: line starts of 4
// characters, fixed character skips and blank-separated numbers. Every
// operation stops at the end of its line or of the file; nothing here
// trusts the file.
//
// The file is seen through a window of its bytes that moves on as the
// reading does, so that memory stays the same for a file of any size; only
// a look ahead along a line longer than the window widens it.
class OutputScanner {
 public:
  explicit OutputScanner(FileReader& file) : file_(file), window_(kWindow) {}

  void Rewind() {
    // Every read here begins near the start of the file: while the window
    // still holds the start, nothing is read again.
    if (base_ != 0) {
      file_.Rewind();
      base_ = 0;
      end_ = 0;
    }
    pos_ = 0;
    line_ = 1;
  }
  bool AtEnd() { return !Has(1); }
  // The bytes after the position, by the size the file had when it was
  // opened.
  size_t Remaining() const {
    const std::uint64_t at = base_ + pos_;
    return at < file_.Size() ? static_cast<size_t>(file_.Size() - at) : 0;
  }
  int Line() const { return line_; }

  // Reads the rest of the file, so that a read that fails after the
  // reading stopped is still known (FileReader::Problem).
  void ReadToEnd() {
    while (file_.Read(window_.data(), window_.size()) > 0) {
    }
    pos_ = end_ = 0;
  }

  // At most 4 characters of the current line; they are consumed, the line
  // is not left.
  std::string LineStart() {
    std::string start;
    while (start.size() < 4 && !AtLineEnd()) start += window_[pos_++];
    return start;
  }

  void Skip(size_t count) {
    for (size_t i = 0; i < count && !AtLineEnd(); ++i) ++pos_;
  }

  // Skips the label of a row of fixed width; when a value wider than its
  // field reaches into the skipped part, the rest of that value goes too.
  // (The window keeps the byte before the position.)
  void SkipField(size_t count) {
    Skip(count);
    if (pos_ > 0 && !IsBlank(window_[pos_ - 1])) {
      while (!AtLineEnd() && !IsBlank(window_[pos_])) ++pos_;
    }
  }

  // Drops the rest of the current line; false when it had no line end.
  bool NextLine() {
    while (Has(1)) {
      const char* const from = window_.data() + pos_;
      const char* const to = window_.data() + end_;
      const char* p = from;
      while (p < to && !IsLineEnd(*p)) ++p;
      pos_ += static_cast<size_t>(p - from);
      if (p < to) break;
    }
    const bool ended = Has(1);
    if (Has(1) && window_[pos_] == '\r') ++pos_;
    if (Has(1) && window_[pos_] == '\n') ++pos_;
    ++line_;
    return ended;
  }
  void SkipLines(int count) {
    for (int i = 0; i < count; ++i) NextLine();
  }

  // The rest of the current line (converted to UTF-8), leaving it.
  std::string RestOfLine() {
    std::string bytes;
    while (Has(1)) {
      const size_t from = pos_;
      while (pos_ < end_ && !IsLineEnd(window_[pos_])) ++pos_;
      bytes.append(window_.data() + from, pos_ - from);
      if (pos_ < end_) break;
    }
    std::string text = Cp1252ToUtf8(bytes);
    NextLine();
    return text;
  }

  // Reads line starts, each followed by the next line, until one is
  // `start`; the position is then on the line after it.
  void Search(const char* start, const char* part) {
    while (!AtEnd()) {
      const bool found = LineStart() == start;
      NextLine();
      if (found) return;
    }
    throw MissingPart{part};
  }

  // Skips blanks and line ends and takes the next token of at most 32
  // non-blank characters. Empty at the end of the file.
  std::string Token() { return std::string(TokenView()); }

  // The token as it stands in the window: valid until the next read.
  std::string_view TokenView() {
    while (Has(1) && (IsBlank(window_[pos_]) || IsLineEnd(window_[pos_]))) {
      if (window_[pos_] == '\n' || (window_[pos_] == '\r' && (!Has(2) || window_[pos_ + 1] != '\n'))) {
        ++line_;
      }
      ++pos_;
    }
    Has(kLongestToken + 1);  // the whole token in the window
    const size_t start = pos_;
    while (pos_ - start < kLongestToken && pos_ < end_ && !IsLineEnd(window_[pos_]) && !IsBlank(window_[pos_])) {
      ++pos_;
    }
    return std::string_view(window_.data() + start, pos_ - start);
  }

  double Real() {
    const std::string_view token = TokenView();
    double value = 0;
    if (PlainNumber(token, value)) return value;
    // The plain numbers of a result file convert at once; whatever else
    // from_chars takes whole (inf, nan) or not at all goes through the
    // reader's own rules of a number.
    const char* const end = token.data() + token.size();
    const auto read = std::from_chars(token.data(), end, value);
    if (read.ec == std::errc() && read.ptr == end && !token.empty() && std::isfinite(value)) return value;
    if (!ParseReal(std::string(token), value)) throw BadNumber{line_, Cp1252ToUtf8(std::string(token))};
    return value;
  }

  int Integer() {
    const std::string token = Token();
    int value = 0;
    if (!ParseInt(token, value)) throw BadNumber{line_, Cp1252ToUtf8(token)};
    return value;
  }

  // Reads characters up to and including the next `c` on this line.
  void SkipPast(char c) {
    while (!AtLineEnd()) {
      if (window_[pos_++] == c) return;
    }
    throw BadNumber{line_, std::string("(no \"") + c + "\")"};
  }

  // True when nothing but blanks is left on the current line.
  bool LineIsBlank() {
    for (size_t ahead = 0; Has(ahead + 1) && !IsLineEnd(window_[pos_ + ahead]); ++ahead) {
      if (!IsBlank(window_[pos_ + ahead])) return false;
    }
    return true;
  }

 private:
  static constexpr size_t kWindow = size_t{256} << 10;
  static constexpr size_t kLongestToken = 32;

  static bool IsBlank(char c) { return c == ' ' || c == '\t'; }
  static bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }
  bool AtLineEnd() { return !Has(1) || IsLineEnd(window_[pos_]); }

  // True when the window holds `count` bytes from the position on, reading
  // more of the file when it does not; false when the file ends before.
  bool Has(size_t count) { return end_ - pos_ >= count || Fill(count); }

  bool Fill(size_t count) {
    // Drop what lies before the position, but for the byte just before it.
    const size_t keep = pos_ > 0 ? pos_ - 1 : 0;
    if (keep > 0) {
      std::copy(window_.begin() + static_cast<std::ptrdiff_t>(keep), window_.begin() + static_cast<std::ptrdiff_t>(end_),
                window_.begin());
      base_ += keep;
      pos_ -= keep;
      end_ -= keep;
    }
    if (pos_ + count > window_.size()) window_.resize(std::max(window_.size() * 2, pos_ + count));
    while (end_ - pos_ < count) {
      const size_t got = file_.Read(window_.data() + end_, window_.size() - end_);
      if (got == 0) return false;
      end_ += got;
    }
    return true;
  }

  FileReader& file_;
  std::vector<char> window_;
  std::uint64_t base_ = 0;  // the place in the file of the window's first byte
  size_t pos_ = 0;          // the position, in the window
  size_t end_ = 0;          // the bytes of the window read from the file
  int line_ = 1;
};

// Asks the system to back the whole 2 MiB pages of a large array with huge
// pages: where a first touch of memory costs a fault for every 4 KiB, the
// columns of a million rows would take longer to touch than to fill.
void PreferLargePages(const void* data, size_t bytes) {
  constexpr std::uintptr_t kHuge = std::uintptr_t{2} << 20;
  const std::uintptr_t begin = reinterpret_cast<std::uintptr_t>(data);
  const std::uintptr_t from = (begin + kHuge - 1) & ~(kHuge - 1), to = (begin + bytes) & ~(kHuge - 1);
  if (to > from) ::madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
}

// Runs of blanks become one blank; a leading blank stays.
std::string SingleBlanks(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == ' ' && !out.empty() && out.back() == ' ') continue;
    out += c;
  }
  return out;
}

class OutputFileReader {
 public:
  OutputFileReader(OutputScanner& in, const PreparedTypeRule& preparedType)
      : in_(in), preparedTypeOf_(preparedType) {}

  // False when the file is not an output file of this program.
  bool Read() {
    for (int i = 0; i < 5; ++i) {
      in_.LineStart();
      in_.NextLine();
    }
    const bool recognised = in_.LineStart() == " CAN";
    in_.NextLine();
    if (!recognised) return false;

    if (!ReadSummary()) return false;
    preparedType_ = preparedTypeOf_(m_.type);
    ReadHeader();
    ReadStraightLine();
    if (fileNumber_ >= 2) ReadSides();
    if (m_.type == FunctionType::TwoSlopes) {
      in_.SkipLines(5);
      ReadParameterRowOfOlderKind();
    } else if (HasHorizontalSegment(m_.type)) {
      ReadParameterTable();
    }
    ReadEquations();
    ReadObservations();
    return true;
  }

  GraphModel& model() { return m_; }
  bool olderFile() const { return olderFile_; }

 private:
  // The kind of function, its method and breakpoint, from the summary.
  bool ReadSummary() {
    in_.Search(" SUM", "summary");
    std::string kind = in_.LineStart();
    if (kind == " See") kind = " Fun";
    // Only files of this program reach this point with " Fun"; anything
    // else is not read further.
    if (kind != " Fun") return false;
    in_.Skip(12);
    int type = 1;
    if (!TryInteger(type)) type = 1;
    in_.NextLine();
    if (type < 0 || type > 6) return false;
    fileNumber_ = type;
    m_.type = FunctionTypeFromFile(type);
    if (m_.type == FunctionType::TwoSlopes) {
      in_.Skip(16);
      int method = 0;
      if (TryInteger(method) && method >= 0 && method <= 255) {
        in_.SkipLines(3);
      } else {
        method = 0;
        in_.NextLine();
      }
      m_.method = static_cast<std::uint8_t>(method);
      in_.Skip(32);
      m_.breakpoint = in_.Real();
      in_.NextLine();
    }
    if (HasHorizontalSegment(m_.type)) {
      in_.Skip(16);
      const int method = in_.Integer();
      if (method < 0 || method > 255) throw BadNumber{in_.Line(), std::to_string(method)};
      m_.method = static_cast<std::uint8_t>(method);
      in_.NextLine();
    }
    if (fileNumber_ > 2) {
      in_.SkipLines(2);
      in_.Skip(32);
      m_.breakpoint = in_.Real();
      in_.NextLine();
    }
    return true;
  }

  // Titles and minimum confidence. The header holds the input file's name
  // only when the output was calculated from one.
  void ReadHeader() {
    in_.Rewind();
    in_.Search(" Nam", "header");
    const bool fullHeader = in_.LineStart() == " Nam";
    in_.Rewind();
    in_.SkipLines(fullHeader ? 10 : 8);
    m_.title1 = SingleBlanks(in_.RestOfLine());
    m_.title2 = SingleBlanks(in_.RestOfLine());
    in_.Skip(23);
    int percent = 90;
    if (!TryInteger(percent)) percent = 90;
    in_.NextLine();
    m_.confidence = Confidence::NearestPercent(percent);
  }

  // The three rows of one regression table, after its "BPx=" label.
  void ReadTable(FileStatistics& t) {
    in_.SkipField(20);
    t.n = in_.Real();
    t.avY = in_.Real();
    t.avX = in_.Real();
    in_.NextLine();
    t.slope = in_.Real();
    in_.Real();  // R2
    t.stErrSlope = in_.Real();
    in_.NextLine();
    t.stDevY = in_.Real();
    t.stDevRes = in_.Real();
    t.stDevX = in_.Real();
    in_.NextLine();
  }

  void ReadStraightLine() {
    in_.Search(" Reg", "regression table of all data");
    in_.SkipLines(6);
    in_.LineStart();
    ReadTable(m_.all);
  }

  void ReadSides() {
    in_.Search(" Dat", "tables of the data below and above the breakpoint");
    ReadTable(m_.below);
    in_.NextLine();  // " Data with X > BPx :"
    ReadTable(m_.above);
  }

  void ReadParameterRowOfOlderKind() {
    in_.Real();  // Ybp
    in_.Real();  // St.Err.BPx
    m_.coefExpl = in_.Real();
    in_.NextLine();
  }

  // The function parameter table of a Type 3 or Type 4 result. Older files
  // lack the central explanation and the confidence rows; the reads of
  // those are guarded and fall back to fixed fractions of the breakpoints.
  void ReadParameterTable() {
    const bool type3 = m_.type == FunctionType::Threshold;
    TypeBreakpoint& own = type3 ? m_.type3 : m_.type4;
    TypeBreakpoint& other = type3 ? m_.type4 : m_.type3;
    in_.SkipLines(3);
    in_.Real();  // Slope > BPx or < BPx
    in_.Real();  // Ybp
    in_.NextLine();
    in_.NextLine();
    in_.Real();  // St.Err.Slope
    in_.Real();  // St.Err.BPx
    in_.NextLine();
    in_.SkipLines(3);

    in_.Real();  // Slope
    in_.Real();  // its standard error
    double expl = 0, central = 0;
    if (TryReal(expl) && TryReal(central)) {
      m_.coefExpl = expl;
      m_.centralCoefExpl = central;
      in_.NextLine();
    } else {
      m_.coefExpl = 0.5;
      olderFile_ = true;
    }
    in_.NextLine();  // header of the first confidence row

    // The limits of Type 3 fall back to 10 %, those of Type 4 to 5 % of
    // the breakpoint on either side.
    auto fallBack = [](TypeBreakpoint& t, bool ofType3) {
      t.confLeft = (ofType3 ? 0.9 : 0.95) * t.breakpoint;
      t.confRight = (ofType3 ? 1.1 : 1.05) * t.breakpoint;
    };
    double left = 0, right = 0, level = 0, otherBreakpoint = 0;
    if (TryReal(left) && TryReal(right) && TryReal(level) && TryReal(otherBreakpoint)) {
      in_.NextLine();
      const double bp = m_.breakpoint;
      if (left < 0.7 * bp) left = 0.7 * bp;
      if (right > 1.3 * bp) right = 1.3 * bp;
      own.confLeft = left;
      own.confRight = right;
      own.breakpoint = bp;
      other.level = level;
      other.breakpoint = otherBreakpoint;
    } else {
      fallBack(own, type3);
      olderFile_ = true;
    }

    double low = 0, high = 0;
    in_.NextLine();  // header of the last confidence row
    if (TryReal(low) && TryReal(high)) {
      in_.NextLine();
      other.confLeft = low;
      other.confRight = high;
    } else {
      fallBack(other, !type3);
      olderFile_ = true;
    }
  }

  // The slopes of the summary; a level only of a graph type prepared
  // earlier.
  void ReadEquations() {
    if (WithoutBreakpoint(m_.type)) {
      in_.Search(" The", "regression equation");
      in_.NextLine();
      in_.Skip(10);
      m_.equationSlopeBelow = in_.Real();
      return;
    }
    in_.Search(" whe", "regression equations");
    in_.SkipLines(2);
    in_.Skip(10);
    m_.equationSlopeBelow = in_.Real();
    in_.SkipPast('A');
    in_.Skip(4);
    m_.equationSlopeAbove = in_.Real();
    in_.NextLine();
    if (preparedType_ == FunctionType::Plateau) {
      in_.Skip(10);
      in_.Real();  // Cs
      in_.SkipPast('C');
      in_.Skip(4);
      m_.type4.level = in_.Real();
      in_.NextLine();
    } else if (preparedType_ == FunctionType::Threshold) {
      in_.Skip(10);
      m_.type3.level = in_.Real();
    }
  }

  // The observation table must hold as many rows as the regression of
  // all data counted (written with 3 significant digits); fewer rows mean
  // the file was cut short.
  void ReadObservations() {
    in_.Search(" ---", "observation table");
    // Room for the rows the file counts, as far as its size can hold them
    // (a row takes more than 40 characters).
    if (m_.all.n > 0) {
      const size_t rows = static_cast<size_t>(std::min(m_.all.n, static_cast<double>(in_.Remaining() / 40)));
      for (std::vector<double>* column : {&m_.yObs, &m_.x, &m_.yCalc}) {
        column->reserve(rows);
        PreferLargePages(column->data(), rows * sizeof(double));
      }
    }
    while (!in_.AtEnd()) {
      // Blank lines after the table are not rows.
      if (in_.LineIsBlank()) {
        in_.NextLine();
        continue;
      }
      in_.Skip(9);  // the row's number
      const double yobs = in_.Real();
      const double x = in_.Real();
      const double ycalc = in_.Real();
      // Every row is written with its line end; a last row without one
      // may have lost the end of its last number. An "  Added" mark goes
      // with the rest of the line.
      const int line = in_.Line();
      if (!in_.NextLine()) throw BadNumber{line, ""};
      if (m_.yObs.size() >= static_cast<size_t>(std::numeric_limits<std::int32_t>::max())) {
        throw BadNumber{in_.Line(), "(too many rows)"};
      }
      m_.yObs.push_back(yobs);
      m_.x.push_back(x);
      m_.yCalc.push_back(ycalc);
    }
    double written = 0;
    ParseReal(E(static_cast<double>(m_.yObs.size()), 0, 3), written);
    if (written != m_.all.n) throw ShortTable{m_.yObs.size()};
  }

  bool TryReal(double& value) {
    try {
      value = in_.Real();
      return true;
    } catch (const BadNumber&) {
      return false;
    }
  }
  bool TryInteger(int& value) {
    try {
      value = in_.Integer();
      return true;
    } catch (const BadNumber&) {
      return false;
    }
  }

  OutputScanner& in_;
  const PreparedTypeRule& preparedTypeOf_;
  FunctionType preparedType_ = FunctionType::NoRelation;
  GraphModel m_;
  int fileNumber_ = 0;
  bool olderFile_ = false;
};

}  // namespace

const char* const kOlderOutputFile =
    "This is an older output file. Please do the calculations again from the input tabsheet.";

OutputReadResult ReadOutputFile(const std::string& path, FunctionType preparedType) {
  return ReadOutputFile(path, [preparedType](FunctionType) { return preparedType; });
}

OutputReadResult ReadOutputFile(const std::string& path, const PreparedTypeRule& preparedType) {
  OutputReadResult result;
  auto refuse = [&](ReadRefusal reason, std::string message) {
    result.refusal = reason;
    result.refusalMessage = std::move(message);
    return result;
  };
  FileReader file;
  auto cannotRead = [&]() {
    result.olderFile = false;
    return refuse(ReadRefusal::CannotOpen, file.Problem().Message(path, ReaderOpenFailure(path)));
  };
  if (!file.Open(path)) return cannotRead();
  OutputScanner in(file);
  OutputFileReader reader(in, preparedType);
  // A file that cannot be read to its end is refused as unreadable,
  // whatever its first part held.
  auto refuseRead = [&](ReadRefusal reason, std::string message) {
    in.ReadToEnd();
    if (file.Problem()) return cannotRead();
    return refuse(reason, std::move(message));
  };
  try {
    const bool read = reader.Read();
    result.olderFile = reader.olderFile();
    if (!read) return refuseRead(ReadRefusal::NotOutputFile, kNotOutputFile);
  } catch (const MissingPart& missing) {
    result.olderFile = reader.olderFile();
    return refuseRead(ReadRefusal::MissingPart, "The output file \"" + path + "\" is incomplete: its " +
                                                    missing.part + " is missing. It can not be read.");
  } catch (const ShortTable& shortTable) {
    result.olderFile = reader.olderFile();
    return refuseRead(ReadRefusal::ShortTable,
                      "The output file \"" + path + "\" is incomplete: its observation table " +
                          "breaks off after " + std::to_string(shortTable.rows) + " rows. It can not be read.");
  } catch (const BadNumber& bad) {
    result.olderFile = reader.olderFile();
    if (bad.token.empty()) {
      return refuseRead(ReadRefusal::CutShort, "The output file \"" + path + "\" is incomplete: it ends at line " +
                                                   std::to_string(bad.line) +
                                                   " where a number belongs. It can not be read.");
    }
    return refuseRead(ReadRefusal::Damaged, "The output file \"" + path + "\" is damaged: line " +
                                                std::to_string(bad.line) + " holds \"" + bad.token +
                                                "\" where a number belongs. It can not be read.");
  }
  // The observation table is read to the end of the file.
  if (file.Problem()) return cannotRead();
  result.model = std::move(reader.model());
  return result;
}

std::vector<std::string> ReadMessages(const OutputReadResult& read, bool olderFileWarned) {
  std::vector<std::string> messages;
  if (read.olderFile && !olderFileWarned) messages.emplace_back(kOlderOutputFile);
  if (read.refusal) messages.push_back(read.refusalMessage);
  return messages;
}

ResultText LoadResultText(const std::string& path, const std::string& kind) {
  ResultText text;
  TextReader file;
  if (!file.Open(path)) {
    text.status = TextLoad::CannotOpen;
    const ReadProblem& problem = file.Problem();
    if (kind == ".out") {
      text.messages.push_back(problem.Message(path, ReaderOpenFailure(path)));
    } else if (problem.kind == ReadProblem::Kind::Open && (problem.error == ENOENT || problem.error == ENOTDIR)) {
      text.messages.push_back("The anova file \"" + path +
                              "\"could not be found. Please go to the input tabsheet and run the "
                              "program again to create it.");
    } else {
      text.messages.push_back(problem.Message(path));
    }
    return text;
  }
  while (!file.AtEnd() && text.lines.size() < kMaxTextLines) text.lines.push_back(file.ReadLine());
  if (file.Problem()) {
    // Half a file shown as the whole would mislead.
    text.status = TextLoad::CannotOpen;
    text.lines.clear();
    text.messages.push_back(file.Problem().Message(path));
    return text;
  }
  if (!file.AtEnd()) {
    text.messages.push_back("The file \"" + path + "\" holds more than " + std::to_string(kMaxTextLines) +
                            " lines; the first " + std::to_string(kMaxTextLines) + " are shown.");
  }
  // The file the user chose stays on disk whatever it holds; only the
  // calculation may remove a result of its own that came out empty.
  if (text.lines.size() < 2) {
    text.status = TextLoad::TooShort;
    text.lines.clear();  // nothing in it is worth showing
    text.messages.emplace_back(" The output file is invalid due to inadequate input data");
  }
  return text;
}

}  // namespace kinvalo
