// The reader of data files of columns on any bytes. A file is taken or
// refused with a DataFileError, nothing else; a file taken has two columns
// of numbers, every row has the file's cells or is counted among the
// ragged ones, every row is taken or counted as left out, and the values
// taken come back unchanged from the input file written of them.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>

#include "core/textfile.h"
#include "data/delimited_file.h"
#include "fuzz_support.h"
#include "support/scripted_platform.h"

using namespace kinvalo;

namespace {

// The count a message starts with ("3 rows ..."), 0 for no message.
long LeadingCount(const std::string& message) { return message.empty() ? 0 : std::stol(message); }

bool IsBlankCell(const std::string& cell) { return cell.find_first_not_of(" \t") == std::string::npos; }

void Check(const DelimitedFile& file) {
  const int columns = file.ColumnCount();
  int numeric = 0;
  for (int c = 0; c < columns; ++c) {
    const std::string& name = file.ColumnNames()[static_cast<std::size_t>(c)];
    fuzz::Require(!name.empty(), "a column without a name");
    fuzz::Require(name.find_first_of("\r\n") == std::string::npos, "a column name over two lines");
    numeric += file.IsNumeric(c) ? 1 : 0;
    fuzz::Require(file.FindColumn(std::to_string(c + 1)) == c, "a column number names another column");
    if (name.find_first_not_of("0123456789") != std::string::npos) {
      fuzz::Require(file.ColumnNames()[static_cast<std::size_t>(file.FindColumn(name))] == name,
                    "a column name names a column of another name");
    }
  }
  fuzz::Require(numeric >= 2, "a file was taken without two columns of numbers");

  // Every row has the file's cells (beyond them only blank ones), or is
  // counted by the message of ragged rows.
  const auto rows = file.FirstRows(file.RowCount());
  fuzz::Require(static_cast<int>(rows.size()) == file.RowCount(), "the rows shown are not the rows counted");
  long ragged = 0;
  for (const auto& row : rows) {
    bool extra = false;
    for (std::size_t c = static_cast<std::size_t>(columns); c < row.size(); ++c)
      extra = extra || !IsBlankCell(row[c]);
    ragged += row.size() < static_cast<std::size_t>(columns) || extra ? 1 : 0;
  }
  fuzz::Require(LeadingCount(file.RaggedRowsMessage()) == ragged, "a ragged row is not reported");

  const ColumnChoice choice = file.DefaultColumns();
  fuzz::Require(choice.y != choice.x && file.IsNumeric(choice.y) && file.IsNumeric(choice.x),
                "the columns chosen by default are not two columns of numbers");
  const ColumnValues values = file.Take(choice);
  fuzz::Require(values.y.size() == values.x.size() && values.x.size() == values.lines.size(),
                "the values taken differ in number");
  fuzz::Require(static_cast<long>(values.y.size()) + values.leftOut == file.RowCount(),
                "a row is neither taken nor left out");
  fuzz::Require(LeadingCount(values.leftOutMessage) == values.leftOut,
                "the message miscounts the rows left out");
  for (std::size_t i = 0; i < values.y.size(); ++i) {
    fuzz::Require(std::isfinite(values.y[i]) && std::isfinite(values.x[i]), "a value taken is not finite");
    fuzz::Require(i == 0 || values.lines[i] > values.lines[i - 1], "the rows taken are out of order");
  }

  PastedData data;
  try {
    data = file.AsPasted(choice);
  } catch (const DataFileError&) {
    fuzz::Require(values.y.size() < static_cast<std::size_t>(kMinDataFileRows), "enough rows were refused");
    return;
  }
  fuzz::Require(data.y == values.y && data.x == values.x, "the data pasted are not the values taken");
  data.inputPath = fuzz::WorkFolder() + "/pasted.inp";
  test::ScriptedPlatform platform;
  WorkingData written(platform);
  fuzz::Require(WritePastedInputFile(data, written), "the input file of a data file could not be written");
  WorkingData back(platform);
  back.FileName = data.inputPath;
  try {
    fuzz::Require(back.ReadInputFile(), "the input file of a data file was refused");
  } catch (const std::exception& e) {
    fuzz::Broken((std::string("the input file of a data file was refused: ") + e.what()).c_str());
  }
  fuzz::Require(back.YData == data.y && back.XData == data.x, "a value changed in the input file");
  fuzz::Require(back.Title1 == Cp1252ToUtf8(Utf8ToCp1252(data.title1)) &&
                    back.Title2 == Cp1252ToUtf8(Utf8ToCp1252(data.title2)),
                "a title changed in the input file");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  try {
    Check(DelimitedFile::FromBytes(bytes, "fuzz.csv"));
  } catch (const DataFileError&) {
    // A refusal with its message is the answer to most bytes.
  }
  return 0;
}
