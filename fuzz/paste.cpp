// What a paste delivers to the input table, through the table without its
// window: the multi-cell paste, the number conversion of the cells, and the
// rows taken for a calculation.
//
// Input: one byte of choices, one byte for the row of the cell pasted
// into, then the pasted text.
//   bit 0   the paste starts in the X column instead of the Y column
//   bit 1   the answer to "maintain the original number?"
//   bit 2   the decimal mark of the desktop is a comma
//   bit 3   the table already holds typed data
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>

#include "data/input_table.h"
#include "fuzz_support.h"
#include "support/scripted_platform.h"

using namespace kinvalo;

namespace {

// A cell that reads as a number shows, when written back by the table,
// a text that reads as the same number.
void CheckCellNumber(const std::string& cell, char mark) {
  double value = 0;
  try {
    value = StringToFloat(cell, mark);
  } catch (const ConversionError&) {
    return;
  }
  fuzz::Require(std::isfinite(value), "a cell reads as a number that is not finite");
  const std::string shown = FloatToString(value, mark);
  double back = 0;
  fuzz::Require(TryTextToFloat(shown, mark, back) && back == value,
                "a number written by the table does not read back as itself");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::uint8_t choices = data[0];
  const int col = (choices & 1) ? 2 : 1;
  const char mark = (choices & 4) ? ',' : '.';
  const std::string text(reinterpret_cast<const char*>(data) + 2, size - 2);

  test::ScriptedPlatform platform;
  platform.answers.push_back((choices & 2) != 0);
  WorkingData s(platform);
  InputPage page(s);
  page.W.SystemDecimalSeparator = page.W.DecimalSeparator = mark;
  page.LayOutTable();
  if (choices & 8) {
    page.StringGrid1SetEditText(1, 1, "12.5");
    page.StringGrid1SetEditText(2, 1, mark == ',' ? "3,25" : "3.25");
  }
  const int row = 1 + data[1] % page.TableRows();

  // The filter keeps what it kept.
  const std::string filtered = FilterPastedCell(text);
  fuzz::Require(FilterPastedCell(filtered) == filtered, "filtering a filtered cell changed it");
  CheckCellNumber(text, mark);
  CheckCellNumber(filtered, mark);

  try {
    page.StringGrid1SetEditText(col, row, text);
  } catch (const std::exception&) {
    return 0;
  }
  WorkingData& dm = s;
  fuzz::Require(dm.NrOfData >= 0 && page.NrOfDataEdit == std::to_string(dm.NrOfData),
                "the count box does not show the number of data sets");
  fuzz::Require(page.TableRows() >= dm.NrOfData, "the table holds fewer rows than the count");
  for (int r = 1; r <= page.TableRows(); ++r) {
    for (int c = 1; c <= 2; ++c) CheckCellNumber(page.Grid.Cell(c, r), mark);
  }

  bool taken = false;
  try {
    taken = page.TakeTableRows("first", "second");
  } catch (const std::exception&) {
    return 0;
  }
  if (!taken) return 0;
  const std::size_t n = dm.YData.size();
  fuzz::Require(dm.XData.size() == n && dm.Serial.size() == n && static_cast<std::size_t>(dm.NrOfData) == n &&
                    dm.NrOfInputData == dm.NrOfData,
                "the rows taken differ from the number of data sets");
  for (std::size_t k = 0; k < n; ++k) {
    fuzz::Require(std::isfinite(dm.YData[k]) && std::isfinite(dm.XData[k]), "a value taken is not finite");
  }
  return 0;
}
