// The input-file reader on any bytes. A file is read whole or not at all;
// what was read is saved and read back unchanged, and shown in the input
// table, whose rows taken for a calculation are the values of the file.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <exception>

#include "data/input_table.h"
#include "fuzz_support.h"
#include "support/scripted_platform.h"

using namespace kinvalo;

namespace {

// Working data that an earlier file left in the window.
void FillEarlier(WorkingData& dm) {
  dm.Title1 = "earlier first title";
  dm.Title2 = "earlier second title";
  dm.Serial = {1, 2};
  dm.YData = {1.5, 2.5};
  dm.XData = {3.5, 4.5};
  dm.NrOfData = 2;
  dm.HeaderLines = InputHeaderLines();
}

bool SameAsEarlier(const WorkingData& dm) {
  WorkingData earlier(const_cast<WorkingData&>(dm).platform());
  FillEarlier(earlier);
  return dm.Title1 == earlier.Title1 && dm.Title2 == earlier.Title2 && dm.Serial == earlier.Serial &&
         dm.YData == earlier.YData && dm.XData == earlier.XData && dm.NrOfData == earlier.NrOfData &&
         dm.HeaderLines == earlier.HeaderLines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = fuzz::WriteInput("input.inp", data, size);
  test::ScriptedPlatform platform;
  WorkingData s(platform);
  WorkingData& dm = s;
  FillEarlier(dm);
  dm.FileName = path;
  bool read = false;
  try {
    read = dm.ReadInputFile();
  } catch (const std::exception&) {
    read = false;
  }
  if (!read) {
    fuzz::Require(SameAsEarlier(dm), "a refused input file changed the working data");
    return 0;
  }
  fuzz::Require(dm.Serial.size() == dm.YData.size() && dm.YData.size() == dm.XData.size(),
                "the data arrays differ in length");
  fuzz::Require(dm.HeaderLines.size() == 6, "the header does not hold six lines");
  fuzz::Require(dm.NrOfData >= 0, "a negative number of data sets");
  if (!dm.XData.empty()) {
    fuzz::Require(static_cast<std::size_t>(dm.NrOfData) == dm.XData.size(),
                  "the number of data sets is not the number of data lines");
  }

  // Opened in the window: the table shows what was read.
  WorkingData shown(platform);
  shown.FileName = path;
  if (!shown.ReadInputFile()) fuzz::Broken("a file read once was refused the second time");
  InputPage page(shown);
  WorkingData& table = shown;
  if (table.XData.empty()) table.NrOfData = std::clamp(table.NrOfData, 0, kMaxNrOfData);
  table.NrOfInputData = table.NrOfData;
  page.W.GridNrOfData = page.W.OrigNrOfData = table.NrOfData;
  page.W.DataPresent = true;
  page.FillInputTable();
  fuzz::Require(page.TableRows() == table.NrOfData, "the table does not show every data set");
  fuzz::Require(page.TakeTableRows(dm.Title1, dm.Title2), "the table refused the values of a file");
  fuzz::Require(table.YData == dm.YData && table.XData == dm.XData,
                "the values taken from the table are not those of the file");

  if (dm.XData.empty()) return 0;

  // Saved and opened again, the data are the same to the last bit.
  dm.FileName = fuzz::WorkFolder() + "/saved.inp";
  fuzz::Require(dm.WriteInputFile(), "the data just read could not be saved");
  WorkingData back(platform);
  back.FileName = dm.FileName;
  try {
    if (!back.ReadInputFile()) {
      fuzz::Broken(("a saved input file was refused: " + platform.messages.back()).c_str());
    }
  } catch (const std::exception& e) {
    fuzz::Broken((std::string("a saved input file was refused: ") + e.what()).c_str());
  }
  fuzz::Require(back.Title1 == dm.Title1 && back.Title2 == dm.Title2, "a title changed on saving");
  fuzz::Require(back.NrOfData == dm.NrOfData, "the number of data sets changed on saving");
  fuzz::Require(back.YData == dm.YData && back.XData == dm.XData, "a value changed on saving");
  return 0;
}
