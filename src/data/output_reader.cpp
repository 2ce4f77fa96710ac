#include "data/output_reader.h"

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <utility>

#include "core/format.h"
#include "core/textfile.h"

namespace kinvalo {

namespace {

std::string ReaderOpenFailure(const std::string& path) {
  return "The file \"" + path +
         "\"could not be opened. It may be damaged or in use by another program.";
}

const char* const kNotOutputFile = "This is not a Kinvalo output file. It can not be read.";
const char* const kOlderFile =
    "This is an older output file. Please do the calculations again from the input tabsheet.";

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

// Reads an output file the way it was written: line starts of 4
// characters, fixed character skips and blank-separated numbers. Every
// operation stops at the end of its line or of the file; nothing here
// trusts the file.
class OutputScanner {
 public:
  explicit OutputScanner(std::string bytes) : bytes_(std::move(bytes)) {}

  void Rewind() {
    pos_ = 0;
    line_ = 1;
  }
  bool AtEnd() const { return pos_ >= bytes_.size(); }
  int Line() const { return line_; }

  // At most 4 characters of the current line; they are consumed, the line
  // is not left.
  std::string LineStart() {
    std::string start;
    while (start.size() < 4 && !AtLineEnd()) start += bytes_[pos_++];
    return start;
  }

  void Skip(size_t count) {
    for (size_t i = 0; i < count && !AtLineEnd(); ++i) ++pos_;
  }

  // Skips the label of a row of fixed width; when a value wider than its
  // field reaches into the skipped part, the rest of that value goes too.
  void SkipField(size_t count) {
    Skip(count);
    if (pos_ > 0 && !IsBlank(bytes_[pos_ - 1])) {
      while (!AtLineEnd() && !IsBlank(bytes_[pos_])) ++pos_;
    }
  }

  // Drops the rest of the current line.
  void NextLine() {
    while (!AtLineEnd()) ++pos_;
    if (pos_ < bytes_.size() && bytes_[pos_] == '\r') ++pos_;
    if (pos_ < bytes_.size() && bytes_[pos_] == '\n') ++pos_;
    ++line_;
  }
  void SkipLines(int count) {
    for (int i = 0; i < count; ++i) NextLine();
  }

  // The rest of the current line (converted to UTF-8), leaving it.
  std::string RestOfLine() {
    const size_t start = pos_;
    while (!AtLineEnd()) ++pos_;
    std::string text = Cp1252ToUtf8(bytes_.substr(start, pos_ - start));
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
  std::string Token() {
    while (pos_ < bytes_.size() && (IsBlank(bytes_[pos_]) || IsLineEnd(bytes_[pos_]))) {
      if (bytes_[pos_] == '\n' || (bytes_[pos_] == '\r' &&
                                   (pos_ + 1 >= bytes_.size() || bytes_[pos_ + 1] != '\n'))) {
        ++line_;
      }
      ++pos_;
    }
    std::string token;
    while (token.size() < 32 && !AtLineEnd() && !IsBlank(bytes_[pos_])) token += bytes_[pos_++];
    return token;
  }

  double Real() {
    const std::string token = Token();
    double value = 0;
    if (!ParseReal(token, value)) throw BadNumber{line_, Cp1252ToUtf8(token)};
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
      if (bytes_[pos_++] == c) return;
    }
    throw BadNumber{line_, std::string("(no \"") + c + "\")"};
  }

  // True when the current line is the last and has no line end.
  bool EndsWithoutLineEnd() const {
    const size_t end = bytes_.find_first_of("\r\n", pos_);
    return end == std::string::npos;
  }

  // True when nothing but blanks is left on the current line.
  bool LineIsBlank() const {
    for (size_t i = pos_; i < bytes_.size() && !IsLineEnd(bytes_[i]); ++i) {
      if (!IsBlank(bytes_[i])) return false;
    }
    return true;
  }

 private:
  static bool IsBlank(char c) { return c == ' ' || c == '\t'; }
  static bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }
  bool AtLineEnd() const { return pos_ >= bytes_.size() || IsLineEnd(bytes_[pos_]); }

  std::string bytes_;
  size_t pos_ = 0;
  int line_ = 1;
};

// Runs of blanks become one blank; a leading blank stays.
std::string SingleBlanks(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == ' ' && !out.empty() && out.back() == ' ') continue;
    out += c;
  }
  return out;
}

// Everything a read produces. It is put in place only when the whole file
// has been read, so a rejected file leaves the earlier values as they were.
struct ReadResult {
  GraphState g;
  SharedResults r;
  std::string title1, title2, kind;
  DataArrayR x, y, calc;
  bool explainEnabled = true;
};

class OutputFileReader {
 public:
  OutputFileReader(AppState& s, OutputScanner& in) : s_(s), in_(in) {
    res_.g = s.Graph;
    res_.r = s.R;
    res_.explainEnabled = s.Controls.ExplainButtonEnabled;
  }

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
    ReadHeader();
    ReadStraightLine();
    if (res_.g.FileType >= 2) ReadSides();
    if (res_.g.FileType == 2) {
      in_.SkipLines(5);
      ReadParameterRowOfOlderKind();
    } else if (res_.g.FileType == 3 || res_.g.FileType == 4) {
      ReadParameterTable();
    }
    ReadEquations();
    ReadObservations();
    return true;
  }

  ReadResult& result() { return res_; }

 private:
  // The kind of function, its method and breakpoint, from the summary.
  bool ReadSummary() {
    in_.Search(" SUM", "summary");
    std::string kind = in_.LineStart();
    if (kind == " See") kind = " Fun";
    res_.kind = kind;
    // Only files of this program reach this point with " Fun"; anything
    // else is not read further.
    if (kind != " Fun") return false;
    GraphState& g = res_.g;
    in_.Skip(12);
    int type = 1;
    if (!TryInteger(type)) type = 1;
    in_.NextLine();
    if (type < 0 || type > 6) return false;
    g.FileType = static_cast<std::uint8_t>(type);
    res_.explainEnabled = true;
    if (g.FileType == 2) {
      res_.explainEnabled = false;
      in_.Skip(16);
      int method = 0;
      if (TryInteger(method) && method >= 0 && method <= 255) {
        in_.SkipLines(3);
      } else {
        method = 0;
        in_.NextLine();
      }
      g.FileMethod = static_cast<std::uint8_t>(method);
      in_.Skip(32);
      g.FileBreakPoint = in_.Real();
      in_.NextLine();
    }
    if (g.FileType == 3 || g.FileType == 4) {
      in_.Skip(16);
      const int method = in_.Integer();
      if (method < 0 || method > 255) throw BadNumber{in_.Line(), std::to_string(method)};
      g.FileMethod = static_cast<std::uint8_t>(method);
      in_.NextLine();
    }
    if (g.FileType > 2) {
      in_.SkipLines(2);
      in_.Skip(32);
      g.FileBreakPoint = in_.Real();
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
    res_.title1 = SingleBlanks(in_.RestOfLine());
    res_.title2 = SingleBlanks(in_.RestOfLine());
    in_.Skip(23);
    int percent = 90;
    if (!TryInteger(percent)) percent = 90;
    in_.NextLine();
    res_.r.ConfidenceFactor = percent < 91 ? 1.75 : percent < 96 ? 2.1 : 2.5;
  }

  void ReadStraightLine() {
    GraphState& g = res_.g;
    in_.Search(" Reg", "regression table of all data");
    in_.SkipLines(6);
    in_.LineStart();
    in_.SkipField(20);
    g.GraphN = in_.Real();
    countAll_ = g.GraphN;
    g.GraphAvY = in_.Real();
    g.GraphAvX = in_.Real();
    in_.NextLine();
    res_.r.SlopeAllGraph = in_.Real();
    in_.Real();  // R2
    g.GraphStErrSlope = in_.Real();
    in_.NextLine();
    in_.Real();  // St.Dev.Y
    g.GraphStDevRes = in_.Real();
    g.StDevXAll = in_.Real();
    in_.NextLine();
    g.AvXAll = g.GraphAvX;
    g.StErrSlopeAll = g.GraphStErrSlope;
    g.StDevResAll = g.GraphStDevRes;
    g.SSXAll = g.StDevXAll * g.StDevXAll * g.GraphN;
  }

  void ReadSides() {
    GraphState& g = res_.g;
    in_.Search(" Dat", "tables of the data below and above the breakpoint");
    in_.SkipField(20);
    g.GraphN = in_.Real();
    g.GraphAvY = in_.Real();
    g.GraphAvX = in_.Real();
    in_.NextLine();
    g.SlopeBelow = in_.Real();
    in_.Real();  // R2
    g.GraphStErrSlope = in_.Real();
    in_.NextLine();
    g.StDevYBelow = in_.Real();
    g.GraphStDevRes = in_.Real();
    g.StDevXBelow = in_.Real();
    in_.NextLine();
    in_.NextLine();  // " Data with X > BPx :"
    in_.SkipField(20);
    g.GraphN2 = in_.Real();
    g.GraphAvY2 = in_.Real();
    g.GraphAvX2 = in_.Real();
    in_.NextLine();
    g.SlopeAbove = in_.Real();
    in_.Real();  // R2
    g.GraphStErrSlope2 = in_.Real();
    in_.NextLine();
    g.StDevYAbove = in_.Real();
    g.GraphStDevRes2 = in_.Real();
    g.StDevXAbove = in_.Real();
    in_.NextLine();
  }

  void ReadParameterRowOfOlderKind() {
    GraphState& g = res_.g;
    g.FileYbp = in_.Real();
    g.FileStErrBP = in_.Real();
    g.FileCoefExpl = in_.Real();
    in_.NextLine();
    g.GraphCoefExpl = g.FileCoefExpl;
  }

  // The function parameter table of a Type 3 or Type 4 result. Older files
  // lack the central explanation and the confidence rows; the reads of
  // those are guarded and fall back to fixed fractions of the breakpoints.
  void ReadParameterTable() {
    GraphState& g = res_.g;
    SharedResults& r = res_.r;
    const bool type3 = g.FileType == 3;
    in_.SkipLines(3);
    in_.Real();  // Slope > BPx or < BPx
    g.FileYbp = in_.Real();
    in_.NextLine();
    in_.NextLine();
    in_.Real();  // St.Err.Slope
    g.FileStErrBP = in_.Real();
    in_.NextLine();
    in_.SkipLines(3);

    in_.Real();  // Slope
    in_.Real();  // its standard error
    double expl = 0, central = 0;
    if (TryReal(expl) && TryReal(central)) {
      g.FileCoefExpl = expl;
      r.CoefExplCombined = central;
      in_.NextLine();
    } else {
      g.FileCoefExpl = 0.5;
      OlderFileWarning();
    }
    g.GraphCoefExpl = g.FileCoefExpl;
    in_.NextLine();  // header of the first confidence row

    r.AvYType3 = 0;
    r.AvYType4 = 0;
    double left = 0, right = 0, level = 0, other = 0;
    if (TryReal(left) && TryReal(right) && TryReal(level) && TryReal(other)) {
      in_.NextLine();
      const double bp = g.FileBreakPoint;
      if (left < 0.7 * bp) left = 0.7 * bp;
      if (right > 1.3 * bp) right = 1.3 * bp;
      g.FileConfLeft = left;
      g.FileConfRight = right;
      if (type3) {
        r.ConfBPLeftType3 = left;
        r.ConfBPRightType3 = right;
        r.BPType3 = bp;
        r.AvYType4 = level;
        r.BPType4 = other;
      } else {
        r.ConfBPLeftType4 = left;
        r.ConfBPRightType4 = right;
        r.BPType4 = bp;
        r.AvYType3 = level;
        r.BPType3 = other;
      }
    } else {
      if (type3) {
        r.ConfBPLeftType3 = 0.9 * r.BPType3;
        r.ConfBPRightType3 = 1.1 * r.BPType3;
      } else {
        r.ConfBPLeftType4 = 0.95 * r.BPType4;
        r.ConfBPRightType4 = 1.05 * r.BPType4;
      }
      OlderFileWarning();
    }

    double low = 0, high = 0;
    in_.NextLine();  // header of the last confidence row
    if (TryReal(low) && TryReal(high)) {
      in_.NextLine();
      if (type3) {
        r.ConfBPLeftType4 = low;
        r.ConfBPRightType4 = high;
      } else {
        r.ConfBPLeftType3 = low;
        r.ConfBPRightType3 = high;
      }
    } else {
      if (type3) {
        r.ConfBPLeftType4 = 0.95 * r.BPType4;
        r.ConfBPRightType4 = 1.05 * r.BPType4;
      } else {
        r.ConfBPLeftType3 = 0.9 * r.BPType3;
        r.ConfBPRightType3 = 1.1 * r.BPType3;
      }
      OlderFileWarning();
    }
  }

  // The slopes of the summary; the levels only when a graph type has been
  // set by an earlier preparation.
  void ReadEquations() {
    GraphState& g = res_.g;
    if (g.FileType < 2) {
      in_.Search(" The", "regression equation");
      in_.NextLine();
      in_.Skip(10);
      g.FileSlopeA = in_.Real();
      return;
    }
    in_.Search(" whe", "regression equations");
    in_.SkipLines(2);
    in_.Skip(10);
    g.FileSlopeA = in_.Real();
    in_.SkipPast('A');
    in_.Skip(4);
    g.FileSlopeAg = in_.Real();
    in_.NextLine();
    if (g.GraphType == 4) {
      in_.Skip(10);
      in_.Real();  // Cs
      in_.SkipPast('C');
      in_.Skip(4);
      res_.r.AvYType4 = in_.Real();
      in_.NextLine();
    } else if (g.GraphType == 3) {
      in_.Skip(10);
      res_.r.AvYType3 = in_.Real();
    }
  }

  // The observation table must hold as many rows as the regression of
  // all data counted (written with 3 significant digits); fewer rows mean
  // the file was cut short.
  void ReadObservations() {
    in_.Search(" ---", "observation table");
    while (!in_.AtEnd()) {
      // Blank lines after the table are not rows.
      if (in_.LineIsBlank()) {
        in_.NextLine();
        continue;
      }
      in_.LineStart();
      in_.Skip(5);
      const double yobs = in_.Real();
      const double x = in_.Real();
      const double ycalc = in_.Real();
      // Every row is written with its line end; a last row without one
      // may have lost the end of its last number.
      if (in_.EndsWithoutLineEnd()) throw BadNumber{in_.Line(), ""};
      in_.NextLine();  // an "  Added" mark goes with the rest of the line
      if (res_.y.size() >= static_cast<size_t>(std::numeric_limits<std::int32_t>::max())) {
        throw BadNumber{in_.Line(), "(too many rows)"};
      }
      res_.y.push_back(yobs);
      res_.x.push_back(x);
      res_.calc.push_back(ycalc);
    }
    double written = 0;
    ParseReal(E(static_cast<double>(res_.y.size()), 0, 3), written);
    if (written != countAll_) throw ShortTable{res_.y.size()};
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

  void OlderFileWarning() {
    if (!s_.DM.OlderFileWarned) s_.platform.ShowMessage(kOlderFile);
    s_.DM.OlderFileWarned = true;
  }

  AppState& s_;
  OutputScanner& in_;
  ReadResult res_;
  double countAll_ = 0;
};

}  // namespace

void ReadOutputFile(AppState& s) {
  TDMTulmex& dm = s.DM;
  std::string bytes;
  if (!ReadFileBytes(dm.FileName, bytes)) {
    s.platform.ShowMessage(ReaderOpenFailure(dm.FileName));
    dm.NotOutputFile = true;
    return;
  }
  OutputScanner in(std::move(bytes));
  OutputFileReader reader(s, in);
  dm.NotOutputFile = false;
  std::string refusal;
  try {
    if (!reader.Read()) refusal = kNotOutputFile;
  } catch (const MissingPart& missing) {
    refusal = "The output file \"" + dm.FileName + "\" is incomplete: its " + missing.part +
              " is missing. It can not be read.";
  } catch (const ShortTable& shortTable) {
    refusal = "The output file \"" + dm.FileName + "\" is incomplete: its observation table " +
              "breaks off after " + std::to_string(shortTable.rows) + " rows. It can not be read.";
  } catch (const BadNumber& bad) {
    if (bad.token.empty()) {
      refusal = "The output file \"" + dm.FileName + "\" is incomplete: it ends at line " +
                std::to_string(bad.line) + " where a number belongs. It can not be read.";
    } else {
      refusal = "The output file \"" + dm.FileName + "\" is damaged: line " +
                std::to_string(bad.line) + " holds \"" + bad.token +
                "\" where a number belongs. It can not be read.";
    }
  }
  if (!refusal.empty()) {
    s.platform.ShowMessage(refusal);
    dm.NotOutputFile = true;
    return;
  }

  ReadResult& res = reader.result();
  s.Graph = std::move(res.g);
  s.R = res.r;
  s.Controls.ExplainButtonEnabled = res.explainEnabled;
  dm.GraphKind = res.kind;
  dm.Title1 = std::move(res.title1);
  dm.Title2 = std::move(res.title2);
  dm.NrOfData = static_cast<std::int32_t>(res.y.size());
  dm.GraphXData = std::move(res.x);
  dm.GraphYData = std::move(res.y);
  dm.GraphYCalc = std::move(res.calc);
}

bool ProbeOutputFile(AppState& s) {
  TextReader file;
  if (file.Open(s.DM.FileName)) return true;
  s.platform.ShowMessage(ReaderOpenFailure(s.DM.FileName));
  s.DM.NotOutputFile = true;
  return false;
}

void LoadResultText(AppState& s, const std::string& Name, bool& Ok, const std::string& Kind) {
  TDMTulmex& dm = s.DM;
  TextReader file;
  if (!file.Open(Name)) {
    if (Kind == ".out") {
      s.platform.ShowMessage(ReaderOpenFailure(Name));
    } else {
      s.platform.ShowMessage("The anova file \"" + Name +
                             "\"could not be found. Please go to the input tabsheet and run the "
                             "program again to create it.");
    }
    s.ClearOutputPage();
    return;
  }
  LineSet lines;
  while (!file.AtEnd() && lines.size() < kMaxTextLines) lines.push_back(file.ReadLine());
  if (!file.AtEnd()) {
    s.platform.ShowMessage("The file \"" + Name + "\" holds more than " + std::to_string(kMaxTextLines) +
                           " lines; the first " + std::to_string(kMaxTextLines) + " are shown.");
  }
  dm.TextLines = std::move(lines);
  dm.NrOfTextLines = static_cast<std::int32_t>(dm.TextLines.size());
  Ok = true;
  // The file the user chose stays on disk whatever it holds; only the
  // calculation may remove a result of its own that came out empty.
  if (dm.NrOfTextLines < 2) {
    Ok = false;
    dm.TextLines.clear();  // nothing in it is worth showing
    dm.NrOfTextLines = 0;
    s.platform.ShowMessage(" The output file is invalid due to inadequate input data");
  }
}

}  // namespace kinvalo
