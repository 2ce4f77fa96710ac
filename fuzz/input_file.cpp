// The input-file reader on any bytes. A file is read whole or not at all;
// what was read is saved and read back unchanged.
#include <cstddef>
#include <cstdint>
#include <exception>

#include "fuzz_support.h"
#include "support/scripted_platform.h"

using namespace kinvalo;

namespace {

// Working data that an earlier file left in the window.
void FillEarlier(TDMTulmex& dm) {
  dm.Title1 = "earlier first title";
  dm.Title2 = "earlier second title";
  dm.Serial = {1, 2};
  dm.YData = {1.5, 2.5};
  dm.XData = {3.5, 4.5};
  dm.NrOfData = 2;
  dm.HeaderLines = InputHeaderLines();
}

bool SameAsEarlier(const TDMTulmex& dm) {
  TDMTulmex earlier(const_cast<TDMTulmex&>(dm).platform());
  FillEarlier(earlier);
  return dm.Title1 == earlier.Title1 && dm.Title2 == earlier.Title2 && dm.Serial == earlier.Serial &&
         dm.YData == earlier.YData && dm.XData == earlier.XData && dm.NrOfData == earlier.NrOfData &&
         dm.HeaderLines == earlier.HeaderLines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = fuzz::WriteInput("input.inp", data, size);
  test::ScriptedPlatform platform;
  AppState s(platform);
  TDMTulmex& dm = s.DM;
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
  if (dm.XData.empty()) return 0;

  // Saved and opened again, the data are the same to the last bit.
  dm.FileName = fuzz::WorkFolder() + "/saved.inp";
  fuzz::Require(dm.WriteInputFile(), "the data just read could not be saved");
  AppState back(platform);
  back.DM.FileName = dm.FileName;
  try {
    fuzz::Require(back.DM.ReadInputFile(), "a saved input file was refused");
  } catch (const std::exception&) {
    fuzz::Broken("a saved input file was refused");
  }
  fuzz::Require(back.DM.Title1 == dm.Title1 && back.DM.Title2 == dm.Title2, "a title changed on saving");
  fuzz::Require(back.DM.NrOfData == dm.NrOfData, "the number of data sets changed on saving");
  fuzz::Require(back.DM.YData == dm.YData && back.DM.XData == dm.XData, "a value changed on saving");
  return 0;
}
