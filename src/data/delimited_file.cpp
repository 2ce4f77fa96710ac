#include "data/delimited_file.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <system_error>
#include <utility>

#include "core/paths.h"
#include "core/textfile.h"
#include "data/input_table.h"

namespace kinvalo {

namespace {

// ---------------------------------------------------------------------------
// The messages of the reader, all in one place.

// "5, 9 and 12", or "5, 9, 12, 14, 20 and 7 more" when `total` exceeds the
// items listed.
std::string ListWithAnd(const std::vector<std::string>& items, std::size_t total) {
  std::string text;
  const std::size_t more = total > items.size() ? total - items.size() : 0;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (i > 0) text += (i + 1 == items.size() && more == 0) ? " and " : ", ";
    text += items[i];
  }
  if (more > 0) text += " and " + std::to_string(more) + " more";
  return text;
}

// "rows 5, 9 and 12" or "row 5".
std::string RowList(const std::vector<int>& lines, int total) {
  std::vector<std::string> items;
  for (int line : lines) items.push_back(std::to_string(line));
  return (total == 1 ? "row " : "rows ") + ListWithAnd(items, static_cast<std::size_t>(total));
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

std::string TooLargeMessage(const std::string& path) {
  return "The file " + Quoted(path) + " is larger than " + std::to_string(kMaxDataFileBytes >> 20) +
         " MB, too large for a data file.";
}

std::string BinaryMessage(const std::string& path) {
  return "The file " + Quoted(path) +
         " is not text but binary data. A spreadsheet must first be saved as CSV or as tab-separated text.";
}

std::string Utf16Message(const std::string& path) {
  return "The file " + Quoted(path) + " is UTF-16 text. Please save it as UTF-8 text.";
}

std::string OpenQuoteMessage(const std::string& path, int line) {
  return "The file " + Quoted(path) + " has a quote at line " + std::to_string(line) +
         " that is never closed.";
}

std::string TooManyColumnsMessage(const std::string& path, int line) {
  return "The file " + Quoted(path) + " has more than " + std::to_string(kMaxDataFileColumns) +
         " columns at line " + std::to_string(line) + ".";
}

std::string TooManyRowsMessage(const std::string& path) {
  return "The file " + Quoted(path) + " has more than " + std::to_string(kMaxDataFileRows) + " rows of data.";
}

std::string FewNumericColumnsMessage(const std::string& path, const std::vector<std::string>& numeric) {
  if (numeric.empty())
    return "The file " + Quoted(path) + " has no column of numbers: Y and X need one each.";
  return "The file " + Quoted(path) + " has only one column of numbers, " + Quoted(numeric.front()) +
         ": Y and X need one each.";
}

std::string RaggedMessage(int rows, int columns, const std::vector<int>& lines) {
  return std::to_string(rows) + (rows == 1 ? " row does" : " rows do") + " not have the " +
         std::to_string(columns) + " cells of the other rows: " + RowList(lines, rows) + ".";
}

std::string NoSuchColumnMessage(const std::string& asked, bool number, const std::string& path,
                                const std::vector<std::string>& names) {
  constexpr std::size_t kListed = 20;
  std::vector<std::string> items;
  for (std::size_t i = 0; i < names.size() && i < kListed; ++i) {
    items.push_back(std::to_string(i + 1) + " " + Quoted(names[i]));
  }
  return "There is no column " + (number ? asked : Quoted(asked)) + " in " + Quoted(path) +
         ". Its columns are " + ListWithAnd(items, names.size()) + ".";
}

std::string SameColumnMessage(const std::string& name) {
  return "Y and X are the same column, " + Quoted(name) + ". Please choose two different columns.";
}

std::string NoNumbersMessage(const std::string& name, const std::string& path) {
  return "The column " + Quoted(name) + " of " + Quoted(path) + " holds no numbers.";
}

std::string LeftOutMessage(int rows, const std::vector<int>& lines) {
  return std::to_string(rows) + (rows == 1 ? " row was" : " rows were") +
         " left out because Y or X is empty or not a number: " + RowList(lines, rows) + ".";
}

std::string TooFewRowsMessage(int usable, const std::string& path) {
  const std::string need = "; at least " + std::to_string(kMinDataFileRows) + " are needed.";
  if (usable == 0) return "No row of " + Quoted(path) + " has a number in both Y and X" + need;
  return "Only " + std::to_string(usable) + (usable == 1 ? " row of " : " rows of ") + Quoted(path) +
         (usable == 1 ? " has" : " have") + " a number in both Y and X" + need;
}

// ---------------------------------------------------------------------------

// Rows named in a message; the rest are counted.
constexpr std::size_t kListedRows = 5;
// The rows the layout is guessed from.
constexpr int kSampleRows = 1000;
// The longest column name a title keeps, in characters.
constexpr std::size_t kTitleNameChars = 40;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool IsNumber(std::string_view cell, char decimalMark, double& value) {
  return TryTextToFloat(Trimmed(cell), decimalMark, value);
}
bool IsNumber(std::string_view cell, char decimalMark) {
  double value = 0;
  return IsNumber(cell, decimalMark, value);
}

bool IsBlankRow(const std::vector<std::string>& cells) {
  return std::all_of(cells.begin(), cells.end(), [](const std::string& c) { return Trimmed(c).empty(); });
}

// The text on one line: a run of line ends and other control characters
// becomes one blank, and blanks around it go.
std::string OneLine(std::string_view text) {
  std::string line;
  for (char c : Trimmed(text)) {
    if (static_cast<unsigned char>(c) >= 0x20) line += c;
    else if (line.empty() || line.back() != ' ') line += ' ';
  }
  return std::string(Trimmed(line));
}

// The first `chars` characters of UTF-8 text, "..." marking a cut.
std::string CutText(const std::string& text, std::size_t chars) {
  std::size_t count = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
    if (count++ == chars) return text.substr(0, i) + "...";
  }
  return text;
}

bool IsValidUtf8(std::string_view bytes) {
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    std::size_t len = 0;
    char32_t c = 0;
    if (b < 0x80) {
      len = 1;
    } else if (b >= 0xC2 && b <= 0xDF) {
      len = 2;
    } else if (b >= 0xE0 && b <= 0xEF) {
      len = 3;
    } else if (b >= 0xF0 && b <= 0xF4) {
      len = 4;
    } else {
      return false;
    }
    c = len == 1 ? b : b & (0x7Fu >> len);
    if (i + len > bytes.size()) return false;
    for (std::size_t k = 1; k < len; ++k) {
      const auto cont = static_cast<unsigned char>(bytes[i + k]);
      if ((cont & 0xC0) != 0x80) return false;
      c = (c << 6) | (cont & 0x3Fu);
    }
    // No overlong forms, no surrogates, nothing beyond U+10FFFF.
    if ((len == 3 && (c < 0x800 || (c >= 0xD800 && c <= 0xDFFF))) ||
        (len == 4 && (c < 0x10000 || c > 0x10FFFF))) {
      return false;
    }
    i += len;
  }
  return true;
}

// Binary data: a NUL byte anywhere, or more than one control byte in ten at
// the start. Tabs, line ends, form feeds and the end-of-file mark of old
// DOS files are text.
bool LooksBinary(std::string_view bytes) {
  if (bytes.find('\0') != std::string_view::npos) return true;
  const std::string_view start = bytes.substr(0, 65536);
  std::size_t controls = 0;
  for (char ch : start) {
    const auto b = static_cast<unsigned char>(ch);
    if ((b < 0x20 && b != '\t' && b != '\n' && b != '\r' && b != '\f' && b != 0x1A) || b == 0x7F) ++controls;
  }
  return controls * 10 > start.size();
}

// Splits text into rows of cells by RFC 4180: a cell that starts with a
// double quote runs to the next lone quote, taking separators and line ends
// with it, and "" inside it stands for one quote. A quote elsewhere in a
// cell is an ordinary character. Lines end in CR LF, LF or a lone CR.
class RowReader {
 public:
  enum class Problem : std::uint8_t { None, OpenQuote, TooManyCells };

  RowReader(std::string_view text, char separator) : text_(text), separator_(separator) {}

  // The next row (a blank line gives one empty cell) and the line it starts
  // on; false at the end of the text or at a problem.
  bool Next(std::vector<std::string>& cells, int& line) {
    cells.clear();
    if (pos_ >= text_.size() || problem_ != Problem::None) return false;
    line = line_;
    const std::size_t n = text_.size();
    for (;;) {
      std::string cell;
      if (pos_ < n && text_[pos_] == '"') {
        const int quoteLine = line_;
        ++pos_;
        for (;;) {
          const std::size_t quote = text_.find('"', pos_);
          if (quote == std::string_view::npos) return Fail(Problem::OpenQuote, quoteLine);
          CountLines(pos_, quote);
          cell.append(text_.substr(pos_, quote - pos_));
          pos_ = quote + 1;
          if (pos_ < n && text_[pos_] == '"') {
            cell += '"';
            ++pos_;
          } else {
            break;
          }
        }
      }
      // The cell, or what follows the closing quote of a quoted one.
      std::size_t end = pos_;
      while (end < n && text_[end] != separator_ && text_[end] != '\n' && text_[end] != '\r') ++end;
      cell.append(text_.substr(pos_, end - pos_));
      pos_ = end;
      cells.push_back(std::move(cell));
      if (cells.size() > static_cast<std::size_t>(kMaxDataFileColumns))
        return Fail(Problem::TooManyCells, line);
      if (pos_ < n && text_[pos_] == separator_) {
        ++pos_;
        continue;
      }
      if (pos_ < n) {
        pos_ += (text_[pos_] == '\r' && pos_ + 1 < n && text_[pos_ + 1] == '\n') ? 2 : 1;
        ++line_;
      }
      return true;
    }
  }

  Problem problem() const { return problem_; }
  int problemLine() const { return problemLine_; }

 private:
  bool Fail(Problem problem, int line) {
    problem_ = problem;
    problemLine_ = line;
    return false;
  }
  // Counts the line ends in [from, to) of a quoted cell.
  void CountLines(std::size_t from, std::size_t to) {
    for (std::size_t i = from; i < to; ++i) {
      if (text_[i] == '\n' || (text_[i] == '\r' && (i + 1 >= text_.size() || text_[i + 1] != '\n'))) ++line_;
    }
  }

  std::string_view text_;
  char separator_;
  std::size_t pos_ = 0;
  int line_ = 1;
  Problem problem_ = Problem::None;
  int problemLine_ = 0;
};

// The first non-blank rows of the text as split by `separator`.
std::vector<std::vector<std::string>> SampleRows(std::string_view text, char separator) {
  RowReader reader(text, separator);
  std::vector<std::vector<std::string>> rows;
  std::vector<std::string> cells;
  int line = 0;
  while (static_cast<int>(rows.size()) < kSampleRows && reader.Next(cells, line)) {
    if (!IsBlankRow(cells)) rows.push_back(cells);
  }
  return rows;
}

// The most common number of cells of the rows from `from` on (the larger on
// a tie), and how many rows have it.
std::pair<std::size_t, std::size_t> ModalCellCount(const std::vector<std::vector<std::string>>& rows,
                                                   std::size_t from = 0) {
  std::map<std::size_t, std::size_t> counts;
  for (std::size_t i = from; i < rows.size(); ++i) ++counts[rows[i].size()];
  std::pair<std::size_t, std::size_t> best{0, 0};
  for (const auto& [cells, times] : counts) {
    if (times >= best.second) best = {cells, times};
  }
  return best;
}

// The separator whose split gives most rows the same number of cells, two
// at least; of those, the one under which most cells are numbers, then tab
// before semicolon before comma (a semicolon or a tab in a file of decimal
// commas is the separator).
char FindSeparator(std::string_view text) {
  char best = ',';
  bool bestFits = false;
  std::size_t bestNumbers = 0;
  for (char separator : {'\t', ';', ','}) {
    const auto rows = SampleRows(text, separator);
    const auto [cells, times] = ModalCellCount(rows);
    if (cells < 2 || times * 2 <= rows.size()) continue;
    std::size_t numbers = 0;
    for (const auto& row : rows) {
      for (const std::string& cell : row) numbers += IsNumber(cell, '.') || IsNumber(cell, ',') ? 1 : 0;
    }
    if (!bestFits || numbers > bestNumbers) {
      best = separator;
      bestFits = true;
      bestNumbers = numbers;
    }
  }
  return best;
}

// A comma when more cells read as numbers with a decimal comma only than
// with a decimal point only.
char FindDecimalMark(const std::vector<std::vector<std::string>>& rows) {
  std::size_t point = 0, comma = 0;
  for (const auto& row : rows) {
    for (const std::string& cell : row) {
      const bool withPoint = IsNumber(cell, '.');
      const bool withComma = IsNumber(cell, ',');
      point += withPoint && !withComma ? 1 : 0;
      comma += withComma && !withPoint ? 1 : 0;
    }
  }
  return comma > point ? ',' : '.';
}

// The first row names the columns when one of its cells is text over a
// column whose other cells are mostly numbers, or when it is all text.
bool FindHeaderRow(const std::vector<std::vector<std::string>>& rows, char mark) {
  if (rows.empty()) return false;
  const auto& first = rows.front();
  bool anyNumber = false;
  for (std::size_t c = 0; c < first.size(); ++c) {
    if (Trimmed(first[c]).empty()) continue;
    if (IsNumber(first[c], mark)) {
      anyNumber = true;
      continue;
    }
    std::size_t filled = 0, numbers = 0;
    for (std::size_t r = 1; r < rows.size(); ++r) {
      if (c >= rows[r].size() || Trimmed(rows[r][c]).empty()) continue;
      ++filled;
      numbers += IsNumber(rows[r][c], mark) ? 1 : 0;
    }
    if (numbers > 0 && numbers * 2 >= filled) return true;
  }
  return !anyNumber;
}

}  // namespace

std::string DescribeFormat(const DelimitedFormat& format) {
  const char* separator = format.separator == '\t' ? "Tab" : format.separator == ';' ? "Semicolon" : "Comma";
  const char* encoding = format.encoding == TextEncoding::Utf8WithBom   ? "UTF-8 with BOM"
                         : format.encoding == TextEncoding::Windows1252 ? "Windows-1252"
                                                                        : "UTF-8";
  return std::string(separator) + "-separated, decimal " + (format.decimalMark == ',' ? "comma" : "point") +
         ", " + encoding + (format.headerRow ? ", with a header row" : ", without a header row");
}

// Calls visit(cells, line) for every data row, the rows below the header,
// blank lines passed over, while it returns true. Throws DataFileError at a
// quote never closed or a row of too many cells.
template <typename Visit>
void DelimitedFile::ForEachRow(Visit&& visit) const {
  RowReader reader(text_, format_.separator);
  std::vector<std::string> cells;
  int line = 0;
  bool headerPassed = !format_.headerRow;
  while (reader.Next(cells, line)) {
    if (IsBlankRow(cells)) continue;
    if (!headerPassed) {
      headerPassed = true;
      continue;
    }
    if (!visit(cells, line)) return;
  }
  if (reader.problem() == RowReader::Problem::OpenQuote) {
    throw DataFileError(OpenQuoteMessage(path_, reader.problemLine()));
  }
  if (reader.problem() == RowReader::Problem::TooManyCells) {
    throw DataFileError(TooManyColumnsMessage(path_, reader.problemLine()));
  }
}

DelimitedFile DelimitedFile::Read(const std::string& path) {
  // The size first: a file far too large is refused unread.
  std::error_code ec;
  if (std::filesystem::is_regular_file(path, ec)) {
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (!ec && size > kMaxDataFileBytes) throw DataFileError(TooLargeMessage(path));
  }
  std::string bytes;
  ReadProblem problem;
  if (!ReadFileBytes(path, bytes, &problem)) throw DataFileError(problem.Message(path));
  if (bytes.size() > kMaxDataFileBytes) throw DataFileError(TooLargeMessage(path));  // it grew meanwhile
  return FromBytes(std::move(bytes), path);
}

DelimitedFile DelimitedFile::FromBytes(std::string bytes, const std::string& path) {
  if (bytes.size() > kMaxDataFileBytes) throw DataFileError(TooLargeMessage(path));
  if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) throw DataFileError(Utf16Message(path));
  if (LooksBinary(bytes)) throw DataFileError(BinaryMessage(path));

  DelimitedFile file;
  file.path_ = path;
  const bool bom = bytes.starts_with("\xEF\xBB\xBF");
  if (bom) bytes.erase(0, 3);
  if (bom && IsValidUtf8(bytes)) {
    file.format_.encoding = TextEncoding::Utf8WithBom;
    file.text_ = std::move(bytes);
  } else if (IsValidUtf8(bytes)) {
    file.format_.encoding = TextEncoding::Utf8;
    file.text_ = std::move(bytes);
  } else {
    file.format_.encoding = TextEncoding::Windows1252;
    file.text_ = Cp1252ToUtf8(bytes);
  }
  if (file.text_.ends_with('\x1A')) file.text_.pop_back();  // the end-of-file mark of old DOS files

  DelimitedFormat& format = file.format_;
  format.separator = FindSeparator(file.text_);
  const auto sample = SampleRows(file.text_, format.separator);
  format.decimalMark = FindDecimalMark(sample);
  format.headerRow = FindHeaderRow(sample, format.decimalMark);

  // The columns: those of the header, or of most rows when they have more.
  const std::size_t header = format.headerRow ? sample.front().size() : 0;
  const auto [modal, times] = ModalCellCount(sample, format.headerRow ? 1 : 0);
  const std::size_t dataRows = sample.size() - (format.headerRow ? 1 : 0);
  const std::size_t columns = times * 2 > dataRows || !format.headerRow ? std::max(header, modal) : header;
  file.numbers_.assign(columns, 0);
  file.filled_.assign(columns, 0);
  std::vector<int> raggedLines;
  int ragged = 0;
  file.ForEachRow([&](const std::vector<std::string>& cells, int line) {
    if (++file.rows_ > kMaxDataFileRows) throw DataFileError(TooManyRowsMessage(path));
    const bool extraFilled = cells.size() > columns &&
                             std::any_of(cells.begin() + static_cast<std::ptrdiff_t>(columns), cells.end(),
                                         [](const std::string& c) { return !Trimmed(c).empty(); });
    if (cells.size() < columns || extraFilled) {
      if (raggedLines.size() < kListedRows) raggedLines.push_back(line);
      ++ragged;
    }
    for (std::size_t c = 0; c < columns && c < cells.size(); ++c) {
      if (Trimmed(cells[c]).empty()) continue;
      ++file.filled_[c];
      if (IsNumber(cells[c], format.decimalMark)) ++file.numbers_[c];
    }
    return true;
  });
  if (ragged > 0) file.ragged_ = RaggedMessage(ragged, static_cast<int>(columns), raggedLines);

  std::vector<std::string> numeric;
  for (std::size_t c = 0; c < columns; ++c) {
    std::string name = c < header ? OneLine(sample.front()[c]) : std::string();
    file.unnamed_.push_back(format.headerRow && name.empty());
    if (name.empty()) name = "Column " + std::to_string(c + 1);
    file.names_.push_back(name);
    if (file.IsNumeric(static_cast<int>(c))) numeric.push_back(name);
  }
  if (numeric.size() < 2) throw DataFileError(FewNumericColumnsMessage(path, numeric));
  return file;
}

bool DelimitedFile::IsNumeric(int column) const {
  if (column < 0 || column >= ColumnCount()) return false;
  const auto c = static_cast<std::size_t>(column);
  return numbers_[c] > 0 && numbers_[c] * 2 >= filled_[c];
}

std::vector<std::vector<std::string>> DelimitedFile::FirstRows(int rows) const {
  std::vector<std::vector<std::string>> first;
  if (rows <= 0) return first;
  ForEachRow([&](const std::vector<std::string>& cells, int) {
    first.push_back(cells);
    return static_cast<int>(first.size()) < rows;
  });
  return first;
}

ColumnChoice DelimitedFile::DefaultColumns() const {
  std::vector<int> numeric;
  for (const bool unnamed : {false, true}) {
    for (int c = 0; c < ColumnCount() && numeric.size() < 2; ++c) {
      if (IsNumeric(c) && unnamed_[static_cast<std::size_t>(c)] == unnamed) numeric.push_back(c);
    }
  }
  if (numeric.size() < 2) throw DataFileError(FewNumericColumnsMessage(path_, {}));
  return {numeric[0], numeric[1]};
}

int DelimitedFile::FindColumn(std::string_view nameOrNumber) const {
  const std::string asked(nameOrNumber);
  const bool number = !asked.empty() && asked.size() <= 9 &&
                      std::all_of(asked.begin(), asked.end(), [](char c) { return c >= '0' && c <= '9'; });
  if (number) {
    const int column = std::stoi(asked);
    if (column >= 1 && column <= ColumnCount()) return column - 1;
  } else {
    const auto found = std::find(names_.begin(), names_.end(), asked);
    if (found != names_.end()) return static_cast<int>(found - names_.begin());
  }
  throw DataFileError(NoSuchColumnMessage(asked, number, path_, names_));
}

ColumnValues DelimitedFile::Take(ColumnChoice columns) const {
  ColumnValues values;
  const auto y = static_cast<std::size_t>(columns.y);
  const auto x = static_cast<std::size_t>(columns.x);
  ForEachRow([&](const std::vector<std::string>& cells, int line) {
    double yv = 0, xv = 0;
    if (y < cells.size() && x < cells.size() && IsNumber(cells[y], format_.decimalMark, yv) &&
        IsNumber(cells[x], format_.decimalMark, xv)) {
      values.y.push_back(yv);
      values.x.push_back(xv);
      values.lines.push_back(line);
    } else {
      if (values.leftOutLines.size() < kListedRows) values.leftOutLines.push_back(line);
      ++values.leftOut;
    }
    return true;
  });
  if (values.leftOut > 0) values.leftOutMessage = LeftOutMessage(values.leftOut, values.leftOutLines);
  return values;
}

PastedData DelimitedFile::AsPasted(ColumnChoice columns) const {
  for (int column : {columns.y, columns.x}) {
    if (column < 0 || column >= ColumnCount()) {
      throw DataFileError(NoSuchColumnMessage(std::to_string(column + 1), true, path_, names_));
    }
  }
  const std::string& yName = names_[static_cast<std::size_t>(columns.y)];
  const std::string& xName = names_[static_cast<std::size_t>(columns.x)];
  if (columns.y == columns.x) throw DataFileError(SameColumnMessage(yName));
  for (int column : {columns.y, columns.x}) {
    if (numbers_[static_cast<std::size_t>(column)] == 0) {
      throw DataFileError(NoNumbersMessage(names_[static_cast<std::size_t>(column)], path_));
    }
  }
  ColumnValues values = Take(columns);
  const int usable = static_cast<int>(values.y.size());
  if (usable < kMinDataFileRows) {
    std::string message = TooFewRowsMessage(usable, path_);
    if (!values.leftOutMessage.empty()) message += " " + values.leftOutMessage;
    throw DataFileError(message);
  }
  PastedData data;
  data.title1 = CutText(yName, kTitleNameChars) + " against " + CutText(xName, kTitleNameChars);
  data.title2 = "From " + CutText(OneLine(ExtractFileName(path_)), 2 * kTitleNameChars);
  data.inputPath = ChangeFileExt(path_, ".inp");
  data.y = std::move(values.y);
  data.x = std::move(values.x);
  data.leftOutMessage = std::move(values.leftOutMessage);
  return data;
}

bool WritePastedInputFile(const PastedData& data, WorkingData& dm) {
  dm.FileName = data.inputPath;
  dm.Title1 = data.title1;
  dm.Title2 = data.title2;
  dm.YData = data.y;
  dm.XData = data.x;
  dm.Serial.resize(data.y.size());
  for (std::size_t i = 0; i < dm.Serial.size(); ++i) dm.Serial[i] = static_cast<std::int32_t>(i + 1);
  dm.NrOfData = dm.NrOfInputData = static_cast<std::int32_t>(data.y.size());
  return dm.WriteInputFile();
}

}  // namespace kinvalo
