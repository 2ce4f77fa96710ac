#include "calc/calculation.h"

#include <stdexcept>

#include "anova/anova.h"
#include "core/file_set.h"
#include "core/leftovers.h"
#include "core/paths.h"
#include "core/result_lock.h"
#include "engine/result_files.h"
#include "lsq/lsq_file.h"

namespace kinvalo {

void ReplaceEmptyTitles(WorkingData& dm) {
  if (dm.Title1.empty()) dm.Title1 = " No first title given";
  if (dm.Title2.empty()) dm.Title2 = " No second title given";
}

std::string VariancePath(const std::string& inputPath) { return ChangeFileExt(inputPath, ".var"); }
std::string LeastSquaresPath(const std::string& inputPath) { return ChangeFileExt(inputPath, ".lsq"); }

LeastSquaresFit FitBeside(const SearchResult& result) {
  LeastSquaresInput input;
  input.x = result.data.x;
  input.y = result.data.y;
  input.confidence = result.options.confidence;
  // The report shows the breakpoint of its own type, and that of the other
  // type when it found both.
  const bool both = HasHorizontalSegment(result.type) && result.bothTypesFound;
  if (result.type == FunctionType::Threshold || both) input.partialBreakpointType3 = result.type3.breakpoint;
  if (result.type == FunctionType::Plateau || both) input.partialBreakpointType4 = result.type4.breakpoint;
  return FitLeastSquares(input);
}

SearchResult CalculateResults(WorkingData& dm, const CalculationOptions& options, Platform& platform) {
  return Calculate(dm, options, platform).result;
}

Calculation Calculate(WorkingData& dm, const CalculationOptions& options, Platform& platform) {
  CheckDataHeld(dm);
  const ResultLock lock(dm.FileName, std::chrono::milliseconds(options.lockWaitMilliseconds));
  Calculation run;
  if (lock.state() == ResultLock::State::Busy) {
    run.result.refusal = ResultsBusyMessage(dm.FileName);
    platform.ShowMessage(*run.result.refusal);
    return run;
  }
  RemoveLeftovers(dm.FileName);
  const auto n = static_cast<size_t>(dm.NrOfData);
  SearchInput input;
  input.x.assign(dm.XData.begin(), dm.XData.begin() + dm.NrOfData);
  input.y.assign(dm.YData.begin(), dm.YData.begin() + dm.NrOfData);
  if (dm.Serial.size() >= n) input.serial.assign(dm.Serial.begin(), dm.Serial.begin() + dm.NrOfData);
  input.nrOfInputData = dm.NrOfInputData;
  SearchOptions search{options.confidence, options.preference, dm.Title1, dm.Title2, dm.FileName};

  run.result = RunBreakpointSearch(std::move(input), search);
  const SearchResult& result = run.result;
  std::copy(result.data.x.begin(), result.data.x.end(), dm.XData.begin());
  std::copy(result.data.y.begin(), result.data.y.end(), dm.YData.begin());
  std::copy(result.data.serial.begin(), result.data.serial.end(), dm.Serial.begin());
  const std::string lsqPath = LeastSquaresPath(result.options.inputPath);
  try {
    if (result.refusal) {
      platform.ShowMessage(*result.refusal);
      // No least-squares report of earlier data stays beside refused ones.
      FileSet files;
      files.Remove(lsqPath);
      files.Commit();
      return run;
    }
    for (const std::string& notice : result.notices) platform.ShowMessage(notice);
    run.leastSquares = FitBeside(result);
    // Every result file goes to a temporary file first; the set is put in
    // place together at the end, the .out last. A file the user made
    // read-only stops the run before anything changes.
    FileSet files;
    TextWriter& var = files.Stage(VariancePath(result.options.inputPath));
    WriteLeastSquaresFile(files.Stage(lsqPath), *run.leastSquares,
                          {result.options.inputPath, result.options.title1, result.options.title2});
    const ResultFiles written = WriteResultFiles(result, files);
    run.coefExpl = written.coefExpl;
    AnovaRun(var, written.sums, written.rawVariance,
             {result.type, result.bothTypesFound, result.type3.breakpoint, result.type4.breakpoint}, platform);
    files.Commit();
  } catch (const ReadOnlyFileError& e) {
    throw ReadOnlyResultError(OpenFailureMessage(e.path()));
  }
  return run;
}

}  // namespace kinvalo
