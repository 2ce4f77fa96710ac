#pragma once
// The input page without its widgets: the cells of the data table
// (StringGrid1), the text of the count box, the table's number conversion
// and the bookkeeping that keeps the table, the count and the working data
// in step. The window mirrors this state in its widgets; a test or a fuzz
// target drives it directly.
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "data/working_data.h"

namespace kinvalo {

// A cell text that is not a number in either decimal notation.
class ConversionError : public std::invalid_argument {
 public:
  explicit ConversionError(const std::string& text);
};

// Converts a cell text with the given decimal mark only: optional blanks,
// an optional sign, digits with at most one decimal mark, an optional
// exponent. Nothing else is accepted (no thousands separators). Never
// depends on the C library's locale.
bool TryTextToFloat(std::string_view text, char decimalMark, double& value);

// The table's conversion: the current decimal mark first, then the other of
// point and comma. Throws ConversionError when neither reads the text.
double StringToFloat(std::string_view text, char currentMark);

// The shortest text that reads back as the same value, with the given
// decimal mark: 3.5, 0.004, 100000, 1.5E+20.
std::string FloatToString(double value, char decimalMark);

// The characters a multi-cell paste keeps of a cell: digits, point, comma,
// minus, and the letter E with its sign where it stands between digits of
// an exponent (1.5E+03). Everything else (letters, blanks, thousands gaps,
// other plus signs) is dropped.
std::string FilterPastedCell(std::string_view text);

// What a multi-cell paste makes of one pasted cell (UTF-8): the number it
// holds, as FilterPastedCell keeps it ("1 234,5" gives "1234,5", "2.5 kg"
// gives "2.5"), with the sign of a Unicode minus or of parentheses ("(4)"
// gives "-4"); an empty text for a blank cell; nullopt for a text that is
// no number, such as a column header ("Yield 2019", "EC1"): letters before
// the number, digits after its unit, or nothing that reads as a number in
// either decimal notation.
std::optional<std::string> ReadPastedCell(std::string_view text);

// The cells of the data table: column 0 the serial numbers, column 1 Y,
// column 2 X; row 0 the caption row, data set i in row i.
class InputTable {
 public:
  static constexpr int kColumns = 3;
  static constexpr int kNarrowWidth = 202;
  static constexpr int kWideWidth = 220;
  static constexpr int kDefaultRowHeight = 20;
  static constexpr int kColumnWidths[kColumns] = {45, 75, 75};

  InputTable() { SetRowCount(2); }

  int RowCount() const { return static_cast<int>(rows_.size()); }
  // New rows are empty; rows beyond the count are dropped.
  void SetRowCount(int rows);
  // Reading outside the table gives an empty text; writing outside it
  // throws std::out_of_range.
  const std::string& Cell(int col, int row) const;
  void SetCell(int col, int row, std::string text);

  // 220 pixels when there are more than 12 data sets (room for the scroll
  // bar), 202 otherwise.
  int Width() const { return width_; }
  void SetWidthFor(int nrOfData) { width_ = nrOfData > 12 ? kWideWidth : kNarrowWidth; }

 private:
  struct Row {
    std::string cell[kColumns];
  };
  std::vector<Row> rows_;
  int width_ = kWideWidth;
};

// The input page's own state (the window's fields that the table uses).
struct InputPageFlags {
  bool DataPresent = false;  // the table holds typed, pasted or opened data
  // A cell was typed or pasted since the table was last saved by a
  // calculation run, opened from a file or cleared.
  bool Unsaved = false;
  bool InEdit = false;       // a cell change is being processed
  std::int32_t OrigNrOfData = 15;
  std::int32_t GridNrOfData = 15;
  char SystemDecimalSeparator = '.';  // the locale's, taken at start-up
  char DecimalSeparator = '.';        // the current one: a point during a calculation
};

// The largest count the count box accepts: far beyond any field trial,
// small enough that a slip of the finger cannot exhaust the memory.
inline constexpr std::int32_t kMaxNrOfData = 100000;

class InputPage {
 public:
  explicit InputPage(WorkingData& workingData) : data(workingData) {}

  WorkingData& data;
  InputTable Grid;
  std::string NrOfDataEdit = "15";  // the text of the count box
  InputPageFlags W;

  // The part of the input tab's show handler that lays out the table: a
  // fresh table of 15 empty rows when no data are present, otherwise the
  // present rows (a row holding text is never cut off).
  void LayOutTable();
  // Lays out GridNrOfData rows from the working data.
  void FillInputTable();
  // The text of cell (col, row) changed to `text` (every keystroke, every
  // paste).
  void StringGrid1SetEditText(int col, int row, const std::string& text);
  // Spreads pasted spreadsheet columns over the table from (j0, i0).
  // Returns false, after a message naming the cell, when a pasted cell is
  // no number (see ReadPastedCell): the table is then left as it was.
  bool HandlePasteMultiCell(int j0, int i0, const std::string& text);
  // Checks and applies the number in the count box.
  void NrOfDataEditExit();
  // The table's conversion with the current decimal separator.
  double StringToFloat(std::string_view text) const {
    return kinvalo::StringToFloat(text, W.DecimalSeparator);
  }
  // The first cell, by rows, that a calculation run would take and cannot
  // read as a number: (column, row); nullopt when every one reads.
  std::optional<std::pair<int, int>> FirstNonNumber() const;
  // The message for such a cell: "Not all data values in the inputfile are
  // real, do not use letters or blanks. The first is row 3, column X."
  static std::string NotRealMessage(int col, int row);
  // Takes the titles and the non-empty table rows into the working data.
  // A row whose Y or X cell is empty is dropped; when rows were dropped the
  // table shows the kept rows in order. Returns false, after the message,
  // when a cell is not a number: nothing then changes.
  bool TakeTableRows(const std::string& title1, const std::string& title2);
  // Typed or pasted data that neither a calculation run has saved nor a
  // file holds (an emptied table holds none).
  bool HoldsUnsavedData() const;
  // The number of data rows the table holds (the caption row not counted).
  int TableRows() const { return Grid.RowCount() - 1; }

 private:
  void ShowCount() { NrOfDataEdit = std::to_string(data.NrOfData); }
  void WriteSerials(int rows);
};

}  // namespace kinvalo
