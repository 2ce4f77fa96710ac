// The whole calculation on any input file, as the batch command runs it:
// the breakpoint search with its three result files and the variance
// analysis; then what the window does with the results: load them for
// display, read the output file back and draw every graph of it.
#include <cstddef>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <string>

#include "anova/anova.h"
#include "calc/calculation.h"
#include "core/paths.h"
#include "data/output_reader.h"
#include "engine/result_files.h"
#include "fuzz_support.h"
#include "support/scripted_platform.h"

using namespace kinvalo;

namespace {

// Nothing but the input file and finished result files: no temporary file
// of a writer is left behind, whatever happened.
void CheckNoTemporaryFiles() {
  for (const auto& entry : std::filesystem::directory_iterator(fuzz::WorkFolder())) {
    fuzz::Require(entry.path().extension() != ".tmp", "a writer left its temporary file behind");
  }
}

void RemoveResults(const std::string& input) {
  for (const char* kind : {".out", ".txt", ".var"}) DeleteFile(ChangeFileExt(input, kind));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input = fuzz::WriteInput("data.inp", data, size);
  RemoveResults(input);
  // The preference and the minimum confidence follow from the bytes, so
  // that every input is run the same way each time.
  unsigned sum = 0;
  for (std::size_t i = 0; i < size; ++i) sum += data[i];
  static constexpr Preference kPreferences[] = {Preference::BestOfTwo, Preference::PreferType3,
                                                Preference::PreferType4};
  static constexpr int kConfidences[] = {90, 95, 98};
  const Preference preference = kPreferences[sum % 3];
  const int confidence = kConfidences[(sum / 3) % 3];

  test::ScriptedPlatform platform;
  WorkingData s(platform);
  WorkingData& dm = s;
  dm.FileName = input;
  bool calculated = false;
  SearchResult result;
  FileSet files;
  ResultFiles written;
  try {
    if (!dm.ReadInputFile()) return 0;
    if (dm.XData.empty()) dm.NrOfData = 0;
    ReplaceEmptyTitles(dm);
    dm.NrOfInputData = dm.NrOfData;
    CheckDataHeld(dm);
    // The two steps of CalculateResults apart: the search may refuse
    // data by throwing, but the variance analysis takes only the sums that
    // the writer of the result files has just returned, and must never
    // fail on them.
    SearchInput in{{dm.XData.begin(), dm.XData.begin() + dm.NrOfData},
                   {dm.YData.begin(), dm.YData.begin() + dm.NrOfData},
                   {},
                   dm.NrOfInputData};
    result = RunBreakpointSearch(std::move(in), {Confidence::FromPercent(confidence), preference,
                                                 dm.Title1, dm.Title2, dm.FileName});
    if (!result.refusal) {
      written = WriteResultFiles(result, files);
      calculated = true;
    }
  } catch (const std::exception&) {
    files.Discard();
    calculated = false;
  }
  if (calculated) {
    try {
      TextWriter& var = files.Stage(ChangeFileExt(input, ".var"));
      AnovaRun(var, written.sums, written.rawVariance,
               {result.type, result.bothTypesFound, result.type3.breakpoint, result.type4.breakpoint},
               platform);
      files.Commit();
    } catch (const std::exception& e) {
      fuzz::Broken(
          (std::string("the variance analysis failed on the sums of its result: ") + e.what()).c_str());
    }
  }
  CheckNoTemporaryFiles();
  fuzz::Require(fuzz::FileBytes(input) == std::string(reinterpret_cast<const char*>(data), size),
                "the calculation changed its input file");
  if (!calculated) return 0;

  const std::string out = ChangeFileExt(input, ".out");
  const std::int32_t count = dm.NrOfData;
  for (const char* kind : {".out", ".txt", ".var"}) {
    const std::string path = ChangeFileExt(input, kind);
    if (std::string(kind) == ".txt" && !FileExists(path)) continue;
    fuzz::Require(LoadResultText(path, kind).status == TextLoad::Loaded,
                  "a result file just written cannot be shown");
  }

  // The graphs read the output file back: it must be accepted whole.
  OutputReadResult back;
  try {
    back = ReadOutputFile(out, FunctionType::NoRelation);
  } catch (const std::exception&) {
    fuzz::Broken("the output file just written made its reader throw");
  }
  fuzz::Require(back.model.has_value(), "the output file just written was refused by its reader");
  fuzz::Require(back.model->size() == count, "the output file read back lost observations");
  fuzz::DrawEveryGraph(out);
  return 0;
}
