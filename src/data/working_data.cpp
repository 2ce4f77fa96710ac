#include "data/working_data.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <string_view>
#include <stdexcept>
#include <system_error>

#include "core/format.h"
#include "core/textfile.h"

namespace kinvalo {

namespace {

// The count of line 5 follows its first 22 characters, the label up to the
// blank after the colon; the reader relies on that length, not on the words.
constexpr size_t kSkipLine5 = 22;

// The longest header line taken (titles included): far beyond any title,
// small enough that a file of one endless line is refused without being
// held.
constexpr size_t kMaxHeaderLine = size_t{16} << 20;

// The longest number on a data line; a longer token is no number of a file
// of this program.
constexpr size_t kMaxNumberLength = 4096;

std::string CorruptMessage(const std::string& path) {
  return "Real numbers in the inputfile \"" + path + "\" are corrupt";
}

[[noreturn]] void ThrowHeaderFault(const std::string& path, int line, const std::string& what) {
  throw std::runtime_error("The input file \"" + path + "\", line " + std::to_string(line) +
                           ": " + what);
}

// The shortest data line, "1 2 3" and its line end: a header's count of
// data sets is believed no further than the file's size allows.
constexpr std::uintmax_t kShortestDataLine = 6;

// The first three blank-separated tokens (blanks and tabs) of a data line,
// each cut to kMaxNumberLength + 1 bytes as the reader keeps them.
struct DataTokens {
  std::array<std::string_view, 3> token;
  size_t count = 0;
};

DataTokens SplitDataLine(std::string_view line) {
  DataTokens t;
  const size_t n = line.size();
  size_t i = 0;
  while (t.count < t.token.size()) {
    while (i < n && (line[i] == ' ' || line[i] == '\t')) ++i;
    if (i == n) break;
    const size_t start = i;
    while (i < n && line[i] != ' ' && line[i] != '\t') ++i;
    t.token[t.count++] = line.substr(start, std::min(i - start, kMaxNumberLength + 1));
  }
  return t;
}

enum class LineKind : std::uint8_t { Blank, Pair, Corrupt };

// A data line is the serial number, Y and X. A blank line, such as one an
// editor leaves at the end, or the end-of-file mark of old DOS files holds
// no data set.
LineKind ParseDataLine(const DataTokens& t, int& serial, double& y, double& x) {
  if (t.count == 0 || (t.count == 1 && t.token[0] == "\x1A")) return LineKind::Blank;
  if (t.count < 3 || t.token[1].size() > kMaxNumberLength || t.token[2].size() > kMaxNumberLength ||
      !ParseInt(t.token[0], serial) || !ParseReal(t.token[1], y) || !ParseReal(t.token[2], x)) {
    return LineKind::Corrupt;
  }
  return LineKind::Pair;
}

// Serial in 5 characters, Y in 10 after a blank, X in 13. A value wider
// than its field is written whole, and X keeps at least one blank before
// it: 1/3 written without one would run into Y and make the line unreadable.
std::string DataLine(int serial, double y, double x) {
  return I(serial, 5) + " " + PadLeft(ExactDecimal(y), 10) + " " + PadLeft(ExactDecimal(x), 12);
}

}  // namespace

void CheckDataHeld(const WorkingData& dm) {
  if (dm.NrOfData < 0 || dm.XData.size() < static_cast<size_t>(dm.NrOfData) ||
      dm.YData.size() < static_cast<size_t>(dm.NrOfData)) {
    throw std::out_of_range("The number of data sets exceeds the data held.");
  }
}

const LineSet& InputHeaderLines() {
  static const LineSet lines = {"",
                                "",
                                "          Dependent    independent",
                                "Serial    variable     variable",
                                "number    Y            X",
                                "----------------------------------"};
  return lines;
}

std::string OpenFailureMessage(const std::string& path) {
  return "The file \"" + path +
         "\"could not be opened. It may be in use by another program,  or the programmer "
         "should incorporate more time.";
}

WorkingData::WorkingData(Platform& platform) : platform_(platform) {
  std::error_code ec;
  FileName = std::filesystem::current_path(ec).string();
}

void WorkingData::ReportProgramError(const std::string& text) {
  platform_.ShowMessage("A program error occurred." + text);
}

bool WorkingData::ReadInputFile() {
  const std::string path = FileName;
  TextReader in;
  if (!in.Open(path)) {
    platform_.ShowMessage(in.Problem().Message(path, OpenFailureMessage(path)));
    return false;
  }
  // A read that fails half-way is no cut-short header nor corrupt numbers.
  auto checkRead = [&] {
    if (in.Problem()) throw std::runtime_error(in.Problem().Message(path));
  };
  // Lines 1 to 11. A header cut short is not a file of this program, nor is
  // one with a line no title comes near.
  auto headerLine = [&](int number) {
    if (in.AtEnd()) {
      checkRead();
      ThrowHeaderFault(path, number, "the file ends before its header is complete.");
    }
    std::string line = in.ReadRawLine(kMaxHeaderLine);
    if (line.size() > kMaxHeaderLine) {
      ThrowHeaderFault(path, number,
                       "the line is longer than " + std::to_string(kMaxHeaderLine) + " characters.");
    }
    return line;
  };
  const std::string title1 = Cp1252ToUtf8(headerLine(1));
  const std::string title2 = Cp1252ToUtf8(headerLine(2));
  headerLine(3);
  headerLine(4);  // the number of independent variables is always 1
  const std::string line5 = headerLine(5);
  const std::vector<std::string> countTokens =
      SplitTokens(line5.size() > kSkipLine5 ? line5.substr(kSkipLine5) : std::string(), 1);
  int count = 0;
  if (countTokens.empty() || !ParseInt(countTokens.front(), count) || count < 0) {
    ThrowHeaderFault(path, 5, "the number of data sets is not a whole number.");
  }
  LineSet header;
  for (int number = 6; number <= 11; ++number) header.push_back(Cp1252ToUtf8(headerLine(number)));

  // Data lines: read them all before anything of the working data changes.
  // Of each line only the three numbers are kept, however long it is.
  DataArrayI serial;
  DataArrayR y;
  DataArrayR x;
  std::error_code sizeUnknown;
  const std::uintmax_t fileSize = std::filesystem::file_size(path, sizeUnknown);
  if (!sizeUnknown) {
    const auto expected = static_cast<size_t>(
        std::min<std::uintmax_t>(static_cast<std::uintmax_t>(count), fileSize / kShortestDataLine + 1));
    serial.reserve(expected);
    y.reserve(expected);
    x.reserve(expected);
  }
  std::string_view line;
  while (!in.AtEnd()) {
    int s = 0;
    double yv = 0.0;
    double xv = 0.0;
    LineKind kind = LineKind::Blank;
    if (in.ReadLineView(line)) {
      kind = ParseDataLine(SplitDataLine(line), s, yv, xv);
    } else {
      // A line longer than the reader's buffer, taken token by token.
      const std::vector<std::string> tokens = in.ReadLineTokens(3, kMaxNumberLength);
      DataTokens t;
      for (const std::string& token : tokens) t.token[t.count++] = token;
      kind = ParseDataLine(t, s, yv, xv);
    }
    if (kind == LineKind::Blank) continue;
    if (kind == LineKind::Corrupt) {
      ReportProgramError(CorruptMessage(path));
      return false;
    }
    serial.push_back(s);
    y.push_back(yv);
    x.push_back(xv);
  }
  checkRead();

  Title1 = title1;
  Title2 = title2;
  HeaderLines = std::move(header);
  // The number of data lines read overrides the count of line 5; only a
  // file without data lines keeps that count.
  NrOfData = serial.empty() ? count : static_cast<std::int32_t>(serial.size());
  Serial = std::move(serial);
  YData = std::move(y);
  XData = std::move(x);
  return true;
}

bool WorkingData::WriteInputFile() {
  const std::string path = FileName;
  TextWriter out;
  if (!out.Create(path)) {
    platform_.ShowMessage(OpenFailureMessage(path));
    return false;
  }
  out.WriteLine(Title1);
  out.WriteLine(Title2);
  out.WriteLine(" File name:  " + path);
  out.WriteLine(" Number of independent variables:  1");
  out.WriteLine(" Number of data sets:  " + I(NrOfData));
  HeaderLines = InputHeaderLines();
  for (const std::string& line : HeaderLines) out.WriteLine(line);
  try {
    for (std::int32_t i = 0; i < NrOfData; ++i) {
      out.WriteLine(DataLine(i + 1, YData.at(i), XData.at(i)));
    }
  } catch (const std::exception&) {
    out.Discard();
    ReportProgramError(CorruptMessage(path));
    return false;
  }
  out.Commit();
  return true;
}

}  // namespace kinvalo
