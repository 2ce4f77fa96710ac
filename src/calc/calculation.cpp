#include "calc/calculation.h"

#include <stdexcept>

#include "anova/anova.h"
#include "core/file_set.h"
#include "core/leftovers.h"
#include "core/paths.h"
#include "core/result_lock.h"
#include "engine/result_files.h"

namespace kinvalo {

void ReplaceEmptyTitles(WorkingData& dm) {
  if (dm.Title1.empty()) dm.Title1 = " No first title given";
  if (dm.Title2.empty()) dm.Title2 = " No second title given";
}

std::string VariancePath(const std::string& inputPath) { return ChangeFileExt(inputPath, ".var"); }

SearchResult CalculateResults(WorkingData& dm, const CalculationOptions& options, Platform& platform) {
  CheckDataHeld(dm);
  const ResultLock lock(dm.FileName, std::chrono::milliseconds(options.lockWaitMilliseconds));
  if (lock.state() == ResultLock::State::Busy) {
    SearchResult refused;
    refused.refusal = ResultsBusyMessage(dm.FileName);
    platform.ShowMessage(*refused.refusal);
    return refused;
  }
  RemoveLeftovers(dm.FileName);
  const auto n = static_cast<size_t>(dm.NrOfData);
  SearchInput input;
  input.x.assign(dm.XData.begin(), dm.XData.begin() + dm.NrOfData);
  input.y.assign(dm.YData.begin(), dm.YData.begin() + dm.NrOfData);
  if (dm.Serial.size() >= n) input.serial.assign(dm.Serial.begin(), dm.Serial.begin() + dm.NrOfData);
  input.nrOfInputData = dm.NrOfInputData;
  SearchOptions search{options.confidence, options.preference, dm.Title1, dm.Title2, dm.FileName};

  SearchResult result = RunBreakpointSearch(std::move(input), search);
  std::copy(result.data.x.begin(), result.data.x.end(), dm.XData.begin());
  std::copy(result.data.y.begin(), result.data.y.end(), dm.YData.begin());
  std::copy(result.data.serial.begin(), result.data.serial.end(), dm.Serial.begin());
  if (result.refusal) {
    platform.ShowMessage(*result.refusal);
    return result;
  }
  for (const std::string& notice : result.notices) platform.ShowMessage(notice);
  // Every result file goes to a temporary file first; the set is put in
  // place together at the end, the .out last. A file the user made
  // read-only stops the run before anything changes.
  try {
    FileSet files;
    TextWriter& var = files.Stage(VariancePath(result.options.inputPath));
    const ResultFiles written = WriteResultFiles(result, files);
    AnovaRun(var, written.sums, written.rawVariance,
             {result.type, result.bothTypesFound, result.type3.breakpoint, result.type4.breakpoint}, platform);
    files.Commit();
  } catch (const ReadOnlyFileError& e) {
    throw ReadOnlyResultError(OpenFailureMessage(e.path()));
  }
  return result;
}

}  // namespace kinvalo
