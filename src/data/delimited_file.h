#pragma once
// Data files of columns, as spreadsheets export them: comma-separated (CSV)
// and tab-separated text. The reader finds the file's own layout (the
// separator, the decimal mark, the character set, a header row or none),
// names the columns and takes two of them as Y and X, the way a paste of
// those two columns into the input table would take them. No Qt here: the
// window and the batch command both read data files through this.
//
// The file is never trusted: every refusal is a DataFileError whose what()
// is the message to show, and a refused file leaves nothing behind.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "data/working_data.h"

namespace kinvalo {

// A data file that cannot be taken; what() is the message for the user.
class DataFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The largest data file read: its size is checked before a byte is read.
inline constexpr std::uint64_t kMaxDataFileBytes = std::uint64_t{512} << 20;
// The most columns and data rows a data file may hold.
inline constexpr int kMaxDataFileColumns = 10000;
inline constexpr int kMaxDataFileRows = 1000000;
// The fewest rows with a number in both Y and X that a calculation takes
// (the input table's minimum).
inline constexpr int kMinDataFileRows = 10;

enum class TextEncoding : std::uint8_t {
  Utf8,         // valid UTF-8 (plain ASCII included)
  Utf8WithBom,  // UTF-8 that starts with a byte order mark
  Windows1252,  // any other 8-bit text, converted to UTF-8 when read
};

// The layout of a data file as it was found.
struct DelimitedFormat {
  char separator = ',';    // ',', ';' or '\t'
  char decimalMark = '.';  // '.' or ','
  TextEncoding encoding = TextEncoding::Utf8;
  bool headerRow = false;  // the first row names the columns

  bool operator==(const DelimitedFormat&) const = default;
};

// One line for display, e.g. "Semicolon-separated, decimal comma, UTF-8
// with BOM, with a header row" or "Tab-separated, decimal point,
// Windows-1252, without a header row".
std::string DescribeFormat(const DelimitedFormat& format);

// Two columns of a data file, numbered from 0.
struct ColumnChoice {
  int y = 0;
  int x = 1;

  bool operator==(const ColumnChoice&) const = default;
};

// The values of the rows that have a number in both chosen columns, in the
// order of the file.
struct ColumnValues {
  std::vector<double> y;
  std::vector<double> x;
  std::vector<int> lines;  // the line in the file where each row starts (1-based)
  // The rows left out because Y or X is empty or not a number.
  int leftOut = 0;
  std::vector<int> leftOutLines;  // the first few of them, by line
  // "3 rows were left out because Y or X is empty or not a number: rows 5,
  // 9 and 12."; empty when no row was left out.
  std::string leftOutMessage;
};

// What a calculation needs of a data file, as if its two columns had been
// pasted into the input table: the titles, the data and the input file that
// a calculation writes them to (DATA.inp beside DATA.csv). The window and
// the batch command make the same .inp of the same file and columns.
struct PastedData {
  std::string title1;     // "Yield against Salinity"
  std::string title2;     // "From trial.csv"
  std::string inputPath;  // the .inp: the data file's folder and base name
  std::vector<double> y;
  std::vector<double> x;
  std::string leftOutMessage;  // as in ColumnValues; empty when none
};

class DelimitedFile {
 public:
  // Reads the file at `path`. Throws DataFileError for a file that cannot
  // be read, is larger than kMaxDataFileBytes (refused before reading),
  // holds binary data or UTF-16, has more than kMaxDataFileColumns columns
  // or kMaxDataFileRows rows, or has fewer than two columns of numbers.
  static DelimitedFile Read(const std::string& path);
  // The same for bytes already held; `path` names the file in messages and
  // titles.
  static DelimitedFile FromBytes(std::string bytes, const std::string& path);

  const std::string& Path() const { return path_; }
  const DelimitedFormat& Format() const { return format_; }
  // The header's texts, or "Column 1", "Column 2", ... without a header (and
  // for a header cell that is empty).
  const std::vector<std::string>& ColumnNames() const { return names_; }
  int ColumnCount() const { return static_cast<int>(names_.size()); }
  // Most of the column's filled cells are numbers.
  bool IsNumeric(int column) const;
  // The data rows (the header and blank lines not counted).
  int RowCount() const { return rows_; }
  // The first `rows` data rows, their cells as text (for a preview).
  std::vector<std::vector<std::string>> FirstRows(int rows) const;
  // Rows with more or fewer cells than the file has columns: "2 rows do
  // not have 3 cells: rows 4 and 7."; empty when every row has them.
  const std::string& RaggedRowsMessage() const { return ragged_; }

  // Y the first column of numbers, X the second. Below a header row,
  // columns without a name (the row numbers that R and pandas write first)
  // come last.
  ColumnChoice DefaultColumns() const;
  // The column that `nameOrNumber` names: a whole number is a column number
  // from 1, anything else a column's exact name (the first of that name).
  // Throws DataFileError naming the columns when there is none such.
  int FindColumn(std::string_view nameOrNumber) const;
  // The values of the two columns; rows without a number in both are left
  // out and counted.
  ColumnValues Take(ColumnChoice columns) const;
  // The columns as pasted data. Throws DataFileError when Y and X are the
  // same column, a column holds no numbers, or fewer than kMinDataFileRows
  // rows have a number in both (the message then says how many have).
  PastedData AsPasted(ColumnChoice columns) const;

 private:
  DelimitedFile() = default;
  template <typename Visit>
  void ForEachRow(Visit&& visit) const;

  std::string path_;
  std::string text_;  // UTF-8, without a byte order mark
  DelimitedFormat format_;
  std::vector<std::string> names_;
  std::vector<int> numbers_;  // the cells of each column that are numbers
  std::vector<int> filled_;   // the cells of each column that are not blank
  std::vector<bool> unnamed_;  // below a header row, a column without a name
  int rows_ = 0;
  std::string ragged_;
};

// Puts pasted data into the working data (titles, data, serial numbers and
// the .inp as its file name) and writes that input file. Returns false,
// after the message, when the file could not be written.
bool WritePastedInputFile(const PastedData& data, WorkingData& dm);

}  // namespace kinvalo
