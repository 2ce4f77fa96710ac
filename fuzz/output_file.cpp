// The output-file reader, its probe and the result-text loader on any
// bytes, as when a user opens a result from a colleague or an older
// version; then every graph of a file that was accepted.
#include <cstddef>
#include <cstdint>
#include <exception>

#include "data/output_reader.h"
#include "fuzz_support.h"
#include "support/scripted_platform.h"

using namespace kinvalo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = fuzz::WriteInput("result.out", data, size);
  test::ScriptedPlatform platform;
  AppState s(platform);
  TDMTulmex& dm = s.DM;
  // What an earlier graph left behind.
  dm.Title1 = "earlier";
  dm.GraphXData = {1.0, 2.0};
  dm.GraphYData = {3.0, 4.0};
  dm.GraphYCalc = {5.0, 6.0};
  dm.NrOfData = 2;
  s.Graph.FileType = 9;
  dm.FileName = path;
  try {
    fuzz::Require(ProbeOutputFile(s), "the probe refused a file that is there");
    ReadOutputFile(s);
  } catch (const std::exception&) {
    // The window's guard shows it and the program goes on.
    return 0;
  }
  if (dm.NotOutputFile) {
    fuzz::Require(dm.Title1 == "earlier" && dm.GraphXData.size() == 2 && dm.NrOfData == 2 &&
                      s.Graph.FileType == 9,
                  "a refused output file changed the earlier values");
  } else {
    const std::size_t n = dm.GraphXData.size();
    fuzz::Require(dm.GraphYData.size() == n && dm.GraphYCalc.size() == n &&
                      static_cast<std::size_t>(dm.NrOfData) == n,
                  "the observation arrays differ from the number of data sets");
  }

  for (const char* kind : {".out", ".txt", ".var"}) {
    dm.TextLines.clear();
    dm.NrOfTextLines = 0;
    bool ok = true;
    LoadResultText(s, path, ok, kind);
    fuzz::Require(static_cast<std::size_t>(dm.NrOfTextLines) == dm.TextLines.size(),
                  "the count of text lines differs from the lines loaded");
    fuzz::Require(ok == (dm.TextLines.size() >= 2), "a result text judged wrongly");
  }

  if (!dm.NotOutputFile) fuzz::DrawEveryGraph(path);
  return 0;
}
