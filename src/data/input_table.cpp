#include "data/input_table.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <system_error>

#include "core/format.h"

namespace kinvalo {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Cuts `text` into lines at CR LF, a lone LF or a lone CR.
std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  for (size_t k = 0; k < text.size(); ++k) {
    const char c = text[k];
    if (c != '\r' && c != '\n') continue;
    lines.push_back(text.substr(start, k - start));
    if (c == '\r' && k + 1 < text.size() && text[k + 1] == '\n') ++k;
    start = k + 1;
  }
  lines.push_back(text.substr(start));
  return lines;
}

const std::string kNoText;

}  // namespace

ConversionError::ConversionError(const std::string& text)
    : std::invalid_argument("'" + text + "' is not a valid floating point value") {}

bool TryTextToFloat(std::string_view text, char decimalMark, double& value) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  std::string plain;
  plain.reserve(text.size());
  size_t i = 0;
  const size_t n = text.size();
  if (i < n && (text[i] == '+' || text[i] == '-')) {
    if (text[i] == '-') plain += '-';
    ++i;
  }
  int digits = 0;
  for (; i < n && IsDigit(text[i]); ++i, ++digits) plain += text[i];
  if (i < n && text[i] == decimalMark) {
    plain += '.';
    for (++i; i < n && IsDigit(text[i]); ++i, ++digits) plain += text[i];
  }
  if (digits == 0) return false;
  if (i < n && (text[i] == 'e' || text[i] == 'E')) {
    plain += 'e';
    ++i;
    if (i < n && (text[i] == '+' || text[i] == '-')) plain += text[i++];
    int exponentDigits = 0;
    for (; i < n && IsDigit(text[i]); ++i, ++exponentDigits) plain += text[i];
    if (exponentDigits == 0) return false;
  }
  if (i != n) return false;
  double result = 0.0;
  const auto [end, ec] = std::from_chars(plain.data(), plain.data() + plain.size(), result);
  if (ec != std::errc() || end != plain.data() + plain.size() || !std::isfinite(result)) return false;
  value = result;
  return true;
}

double StringToFloat(std::string_view text, char currentMark) {
  double value = 0.0;
  if (TryTextToFloat(text, currentMark, value)) return value;
  const char other = currentMark == ',' ? '.' : ',';
  if (TryTextToFloat(text, other, value)) return value;
  throw ConversionError(std::string(text));
}

std::string FloatToString(double value, char decimalMark) {
  value += 0.0;  // no negative zero
  char buffer[64];
  const double magnitude = std::fabs(value);
  const bool fixed = magnitude == 0.0 || (magnitude >= 1e-5 && magnitude < 1e15);
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value,
                                    fixed ? std::chars_format::fixed : std::chars_format::scientific);
  std::string text(buffer, result.ptr);
  for (char& c : text) {
    if (c == '.') c = decimalMark;
    else if (c == 'e') c = 'E';
  }
  return text;
}

std::string FilterPastedCell(std::string_view text) {
  std::string kept;
  kept.reserve(text.size());
  bool exponent = false;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (IsDigit(c) || c == '.' || c == ',' || c == '-') {
      kept += c;
      continue;
    }
    if ((c == 'e' || c == 'E') && !exponent && !kept.empty()) {
      // An exponent follows a digit (or a digit and a decimal mark) and is
      // followed by digits, with an optional sign between.
      const char last = kept.back();
      const bool afterDigit =
          IsDigit(last) || ((last == '.' || last == ',') && kept.size() > 1 && IsDigit(kept[kept.size() - 2]));
      size_t k = i + 1;
      if (k < text.size() && (text[k] == '+' || text[k] == '-')) ++k;
      if (afterDigit && k < text.size() && IsDigit(text[k])) {
        kept += 'E';
        if (k == i + 2) kept += text[i + 1];
        i = k - 1;
        exponent = true;
      }
    }
  }
  return kept;
}

namespace {

// The blanks a spreadsheet may put between groups of thousands (no-break,
// narrow no-break and thin spaces) become plain blanks, the Unicode minus
// sign an ASCII one.
std::string PlainBlanksAndMinus(std::string_view text) {
  static constexpr std::pair<std::string_view, char> kReplaced[] = {
      {"\xC2\xA0", ' '}, {"\xE2\x80\xAF", ' '}, {"\xE2\x80\x89", ' '}, {"\xE2\x88\x92", '-'}};
  std::string plain;
  plain.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    bool replaced = false;
    for (const auto& [from, to] : kReplaced) {
      if (text.substr(i).starts_with(from)) {
        plain += to;
        i += from.size();
        replaced = true;
        break;
      }
    }
    if (!replaced) plain += text[i++];
  }
  return plain;
}

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

}  // namespace

std::optional<std::string> ReadPastedCell(std::string_view pasted) {
  const std::string plain = PlainBlanksAndMinus(pasted);
  std::string_view text = TrimBlanks(plain);
  if (text.empty()) return std::string();
  // (4) is the accountant's -4.
  const bool parenthesised = text.front() == '(';
  if (parenthesised) {
    if (text.size() < 2 || text.back() != ')') return std::nullopt;
    text = TrimBlanks(text.substr(1, text.size() - 2));
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) return std::nullopt;
  }
  // The number comes first: a sign, digits with decimal marks and blanks
  // between groups of digits, an exponent. A unit may follow, without
  // digits of its own.
  size_t end = 0;
  if (end < text.size() && (text[end] == '-' || text[end] == '+')) ++end;
  const size_t from = end;
  while (end < text.size()) {
    const char c = text[end];
    const bool gap = c == ' ' && end > from && IsDigit(text[end - 1]) && end + 1 < text.size() &&
                     IsDigit(text[end + 1]);
    if (!IsDigit(c) && c != '.' && c != ',' && !gap) break;
    ++end;
  }
  if (end < text.size() && (text[end] == 'e' || text[end] == 'E')) {
    size_t k = end + 1;
    if (k < text.size() && (text[k] == '+' || text[k] == '-')) ++k;
    if (k < text.size() && IsDigit(text[k])) {
      while (k < text.size() && IsDigit(text[k])) ++k;
      end = k;
    }
  }
  if (std::ranges::any_of(text.substr(end), IsDigit)) return std::nullopt;
  std::string kept = FilterPastedCell(text.substr(0, end));
  if (parenthesised) kept.insert(0, 1, '-');
  double value = 0.0;
  if (!TryTextToFloat(kept, '.', value) && !TryTextToFloat(kept, ',', value)) return std::nullopt;
  return kept;
}

void InputTable::SetRowCount(int rows) {
  rows_.resize(static_cast<size_t>(std::max(rows, 1)));
}

const std::string& InputTable::Cell(int col, int row) const {
  if (col < 0 || col >= kColumns || row < 0 || row >= RowCount()) return kNoText;
  return rows_[static_cast<size_t>(row)].cell[col];
}

void InputTable::SetCell(int col, int row, std::string text) {
  if (col < 0 || col >= kColumns || row < 0 || row >= RowCount()) {
    throw std::out_of_range("Cell (" + std::to_string(col) + ", " + std::to_string(row) +
                            ") is outside the table.");
  }
  rows_[static_cast<size_t>(row)].cell[col] = std::move(text);
}

void InputPage::WriteSerials(int rows) {
  for (int r = 1; r <= rows && r < Grid.RowCount(); ++r) Grid.SetCell(0, r, std::to_string(r));
}

void InputPage::LayOutTable() {
  WorkingData& dm = data;
  if (!W.DataPresent) {
    W.OrigNrOfData = dm.NrOfData = W.GridNrOfData = 15;
    dm.YData.assign(16, 0.0);
    dm.XData.assign(16, 0.0);
    FillInputTable();
    return;
  }
  // A row that holds text is never cut off: the output reader may have
  // replaced the count by that of another file.
  int keep = std::max(dm.NrOfData, 0);
  for (int r = TableRows(); r > keep; --r) {
    if (!Grid.Cell(1, r).empty() || !Grid.Cell(2, r).empty()) {
      keep = r;
      break;
    }
  }
  Grid.SetRowCount(keep + 1);
  Grid.SetWidthFor(dm.NrOfData);
}

void InputPage::FillInputTable() {
  WorkingData& dm = data;
  const int n = std::max(W.GridNrOfData, 0);
  ShowCount();
  // The caption row and n data rows; a spare row below them would take text
  // that no count includes.
  Grid.SetRowCount(n + 1);
  Grid.SetCell(0, 0, "Serial");
  Grid.SetCell(1, 0, "    Y");
  Grid.SetCell(2, 0, "    X");
  const char mark = W.DecimalSeparator;
  for (int r = 1; r <= n; ++r) {
    const size_t k = static_cast<size_t>(r - 1);
    if (!W.DataPresent) {
      // Cells nobody filled in hold no data: they stay empty.
      Grid.SetCell(0, r, std::to_string(r));
      Grid.SetCell(1, r, std::string());
      Grid.SetCell(2, r, std::string());
      continue;
    }
    Grid.SetCell(0, r, std::to_string(k < dm.Serial.size() ? dm.Serial[k] : r));
    const bool held = r <= data.NrOfInputData;
    Grid.SetCell(1, r, held && k < dm.YData.size() ? FloatToString(dm.YData[k], mark) : std::string());
    Grid.SetCell(2, r, held && k < dm.XData.size() ? FloatToString(dm.XData[k], mark) : std::string());
  }
  Grid.SetWidthFor(dm.NrOfData);
  W.OrigNrOfData = dm.NrOfData;
}

void InputPage::StringGrid1SetEditText(int col, int row, const std::string& text) {
  if (text.find_first_of("\t\r\n") == std::string::npos) {
    Grid.SetCell(col, row, text);
  } else if (!HandlePasteMultiCell(col, row, text)) {
    return;
  }
  W.Unsaved = true;
  W.InEdit = true;
  try {
    NrOfDataEditExit();
  } catch (...) {
    W.InEdit = false;
    throw;
  }
  W.InEdit = false;
  data.HeaderLines.resize(6);
  W.DataPresent = true;
  Grid.SetWidthFor(data.NrOfData);
}

bool InputPage::HandlePasteMultiCell(int j0, int i0, const std::string& text) {
  if (j0 < 1 || j0 >= InputTable::kColumns || i0 < 1 || i0 >= Grid.RowCount()) {
    throw std::out_of_range("A paste must start in a data cell.");
  }
  WorkingData& dm = data;
  // Line ends at the very end (a spreadsheet ends its copy with one) open no
  // further row.
  std::string_view body(text);
  while (!body.empty() && (body.back() == '\r' || body.back() == '\n')) body.remove_suffix(1);
  const std::vector<std::string_view> lines = SplitLines(body);
  const int count = static_cast<int>(lines.size());
  // Every cell is read before one changes: a header or a note among the
  // numbers leaves the table as it was.
  struct PastedCell {
    int col;
    int row;
    std::string text;
  };
  std::vector<PastedCell> cells;
  cells.reserve(lines.size() * 2);
  for (int line = 0; line < count; ++line) {
    std::string_view rest = lines[static_cast<size_t>(line)];
    // Columns beyond X have no place in the table and are left out.
    for (int j = j0; j < InputTable::kColumns; ++j) {
      const size_t tab = rest.find('\t');
      const std::string_view cell = rest.substr(0, tab);
      std::optional<std::string> number = ReadPastedCell(cell);
      if (!number) {
        constexpr size_t kQuoted = 40;
        std::string quoted(TrimBlanks(cell.substr(0, kQuoted)));
        // A character cut in two is left out whole.
        while (cell.size() > kQuoted && !quoted.empty() && (quoted.back() & 0xC0) == 0x80) quoted.pop_back();
        if (cell.size() > kQuoted && !quoted.empty() && (quoted.back() & 0x80) != 0) quoted.pop_back();
        if (cell.size() > kQuoted) quoted += "...";
        data.platform().ShowMessage("The pasted text \"" + quoted + "\" for row " + std::to_string(i0 + line) +
                                    ", column " + (j == 1 ? "Y" : "X") +
                                    " is not a number. Nothing was pasted.");
        return false;
      }
      cells.push_back({j, i0 + line, std::move(*number)});
      if (tab == std::string_view::npos) break;
      rest.remove_prefix(tab + 1);
    }
  }
  if (i0 + count > Grid.RowCount()) Grid.SetRowCount(i0 + count);
  for (PastedCell& cell : cells) Grid.SetCell(cell.col, cell.row, std::move(cell.text));
  dm.NrOfData = count + i0 - 1;
  int rowCount = dm.NrOfData + 1;
  if (dm.NrOfData < W.OrigNrOfData) {
    // Empty rows below the pasted ones stay, as they hold nothing to mix
    // in. Rows with data stay only when the user says so: the answer that
    // keeps the two data sets apart comes first.
    const int below = W.OrigNrOfData - dm.NrOfData;
    bool held = false;
    for (int r = dm.NrOfData + 1; r <= W.OrigNrOfData && !held; ++r) {
      held = !Grid.Cell(1, r).empty() || !Grid.Cell(2, r).empty();
    }
    if (!held || dm.AskYesNo("The number of data sets is less than the original number. Do you want to "
                            "maintain the original number? Yes keeps " +
                                std::to_string(below) + (below == 1 ? " old row" : " old rows") +
                                " after the pasted ones; No ends the table with the pasted rows.",
                            DefaultAnswer::No)) {
      dm.NrOfData = W.OrigNrOfData;
      rowCount = W.OrigNrOfData + 1;
    } else if (data.NrOfInputData > dm.NrOfData) {
      data.NrOfInputData = dm.NrOfData;
    }
  }
  Grid.SetRowCount(rowCount);
  ShowCount();
  WriteSerials(dm.NrOfData);
  W.GridNrOfData = dm.NrOfData;
  if (dm.NrOfData > W.OrigNrOfData) {
    const size_t n = static_cast<size_t>(dm.NrOfData);
    dm.Serial.resize(n);
    dm.YData.resize(n);
    dm.XData.resize(n);
    for (int k = 1; k <= dm.NrOfData; ++k) {
      const size_t e = static_cast<size_t>(k - 1);
      dm.Serial[e] = k;
      // A Y text that is still no number stays in the table as it is; the
      // calculation run reports it.
      double y = 0.0;
      const std::string& cell = Grid.Cell(1, k);
      if (!cell.empty() && !TryTextToFloat(cell, W.DecimalSeparator, y) &&
          !TryTextToFloat(cell, W.DecimalSeparator == ',' ? '.' : ',', y)) {
        y = 0.0;
      }
      dm.YData[e] = y;
      if (Grid.Cell(2, k).empty()) dm.XData[e] = 0.0;
    }
  }
  Grid.SetWidthFor(dm.NrOfData);
  W.OrigNrOfData = dm.NrOfData;
  return true;
}

void InputPage::NrOfDataEditExit() {
  if (NrOfDataEdit.empty()) return;
  Platform& ui = data.platform();
  std::string_view text(NrOfDataEdit);
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  int n = 0;
  if (!ParseInt(std::string(text), n)) {
    ui.ShowMessage("The number of data sets is not a valid integer");
    return;
  }
  if (n < 10) {
    ui.ShowMessage(" The minimum number of data sets is 10");
    return;
  }
  if (W.InEdit || n <= W.OrigNrOfData) {
    if (!W.InEdit && n < W.OrigNrOfData) {
      ui.ShowMessage(" To remove data make the relevant data cells empty");
      // The count stays, and the box says so.
      ShowCount();
    }
    return;
  }
  // Only a count typed into the box is held to the maximum (a slip of the
  // finger must not fill the memory); pasted rows are all kept.
  if (n > kMaxNrOfData) {
    ui.ShowMessage(" The maximum number of data sets is " + std::to_string(kMaxNrOfData));
    return;
  }
  ui.ShowMessage(" Add data in the last cells at the end of the column");
  WorkingData& dm = data;
  const int orig = W.OrigNrOfData;
  const int oldRows = std::min(TableRows(), n);
  // The rows present keep their texts exactly as typed, also a text that is
  // not (yet) a number; the working data take what converts.
  std::vector<std::string> oldY(static_cast<size_t>(std::max(oldRows, 0)));
  std::vector<std::string> oldX(oldY.size());
  for (int r = 1; r <= oldRows; ++r) {
    oldY[static_cast<size_t>(r - 1)] = Grid.Cell(1, r);
    oldX[static_cast<size_t>(r - 1)] = Grid.Cell(2, r);
  }
  const size_t size = static_cast<size_t>(n);
  dm.Serial.resize(size);
  dm.YData.resize(size);
  dm.XData.resize(size);
  const char other = W.DecimalSeparator == ',' ? '.' : ',';
  auto convert = [&](const std::string& cell) {
    double v = 0.0;
    if (!TryTextToFloat(cell, W.DecimalSeparator, v) && !TryTextToFloat(cell, other, v)) v = 0.0;
    return v;
  };
  for (int r = 1; r <= n; ++r) {
    const size_t e = static_cast<size_t>(r - 1);
    int serial = r;
    if (r <= orig && !(ParseInt(Grid.Cell(0, r), serial))) serial = r;
    dm.Serial[e] = serial;
    dm.YData[e] = r <= orig ? convert(Grid.Cell(1, r)) : 0.0;
    dm.XData[e] = r <= orig ? convert(Grid.Cell(2, r)) : 0.0;
  }
  if (data.NrOfInputData < orig) data.NrOfInputData = orig;
  dm.NrOfData = W.OrigNrOfData = W.GridNrOfData = n;
  FillInputTable();
  if (W.DataPresent) {
    for (int r = 1; r <= oldRows; ++r) {
      Grid.SetCell(1, r, oldY[static_cast<size_t>(r - 1)]);
      Grid.SetCell(2, r, oldX[static_cast<size_t>(r - 1)]);
    }
  }
}

std::optional<std::pair<int, int>> InputPage::FirstNonNumber() const {
  double value = 0.0;
  const char mark = W.SystemDecimalSeparator;
  const char other = mark == ',' ? '.' : ',';
  for (int r = 1; r <= TableRows(); ++r) {
    const std::string& y = Grid.Cell(1, r);
    const std::string& x = Grid.Cell(2, r);
    if (y.empty() || x.empty()) continue;
    for (int col : {1, 2}) {
      const std::string& cell = col == 1 ? y : x;
      if (!TryTextToFloat(cell, mark, value) && !TryTextToFloat(cell, other, value)) return std::pair(col, r);
    }
  }
  return std::nullopt;
}

std::string InputPage::NotRealMessage(int col, int row) {
  return "Not all data values in the inputfile are real, do not use letters or blanks. The first is row " +
         std::to_string(row) + ", column " + (col == 1 ? "Y" : "X") + ".";
}

bool InputPage::HoldsUnsavedData() const {
  if (!W.Unsaved) return false;
  for (int r = 1; r <= TableRows(); ++r) {
    if (!Grid.Cell(1, r).empty() || !Grid.Cell(2, r).empty()) return true;
  }
  return false;
}

bool InputPage::TakeTableRows(const std::string& title1, const std::string& title2) {
  WorkingData& dm = data;
  dm.Title1 = title1.empty() ? std::string(" No first title given") : title1;
  dm.Title2 = title2.empty() ? std::string(" No second title given") : title2;
  W.DecimalSeparator = W.SystemDecimalSeparator;
  // Every row of the table is examined: a row outside the count cannot hold
  // data that silently stay out of the calculation.
  DataArrayR ys;
  DataArrayR xs;
  std::vector<int> from;
  const int rows = TableRows();
  for (int r = 1; r <= rows; ++r) {
    const std::string& y = Grid.Cell(1, r);
    const std::string& x = Grid.Cell(2, r);
    if (y.empty() || x.empty()) continue;
    int col = 1;
    try {
      ys.push_back(StringToFloat(y));
      col = 2;
      xs.push_back(StringToFloat(x));
    } catch (const ConversionError&) {
      data.platform().ShowMessage(NotRealMessage(col, r));
      W.DecimalSeparator = W.SystemDecimalSeparator;
      return false;
    }
    from.push_back(r);
  }
  const int kept = static_cast<int>(ys.size());
  dm.NrOfData = kept;
  data.NrOfInputData = kept;
  dm.YData = std::move(ys);
  dm.XData = std::move(xs);
  dm.Serial.resize(static_cast<size_t>(kept));
  for (int k = 1; k <= kept; ++k) dm.Serial[static_cast<size_t>(k - 1)] = k;
  ShowCount();
  if (kept < rows && kept > 0) {
    for (int k = 1; k <= kept; ++k) {
      const size_t e = static_cast<size_t>(k - 1);
      if (from[e] == k) continue;
      Grid.SetCell(1, k, FloatToString(dm.YData[e], W.DecimalSeparator));
      Grid.SetCell(2, k, FloatToString(dm.XData[e], W.DecimalSeparator));
    }
    Grid.SetRowCount(kept + 1);
    WriteSerials(kept);
    W.OrigNrOfData = W.GridNrOfData = kept;
  }
  Grid.SetWidthFor(kept);
  return true;
}

}  // namespace kinvalo
