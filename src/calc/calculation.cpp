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

namespace {

// The data of a run go to the search and come back sorted: moved when an
// array holds just the run's data, so that the run holds one copy of them,
// copied when it holds more.
template <typename T>
void Lend(std::vector<T>& held, std::vector<T>& run, size_t n) {
  if (held.size() == n) {
    run = std::move(held);
    held.clear();
  } else if (held.size() > n) {
    run.assign(held.begin(), held.begin() + static_cast<std::ptrdiff_t>(n));
  }
}

template <typename T>
void GiveBack(std::vector<T>& held, std::vector<T>& run, size_t n) {
  if (run.size() != n) return;
  if (held.size() < n) {
    held = std::move(run);
  } else {
    std::copy(run.begin(), run.end(), held.begin());
  }
  run.clear();
}

// The result files of a search beside its input file, and the variance
// analysis.
void WriteRun(Calculation& run, Platform& platform) {
  const SearchResult& result = run.result;
  const std::string lsqPath = LeastSquaresPath(result.options.inputPath);
  try {
    if (result.refusal) {
      platform.ShowMessage(*result.refusal);
      // No least-squares report of earlier data stays beside refused ones.
      FileSet files;
      files.Remove(lsqPath);
      files.Commit();
      return;
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
}

}  // namespace

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
  Lend(dm.XData, input.x, n);
  Lend(dm.YData, input.y, n);
  Lend(dm.Serial, input.serial, n);
  input.nrOfInputData = dm.NrOfInputData;
  SearchOptions search{options.confidence, options.preference, dm.Title1, dm.Title2, dm.FileName};

  try {
    run.result = RunBreakpointSearch(std::move(input), search);
  } catch (...) {
    // The user's data stay in the working data, whatever went wrong.
    GiveBack(dm.XData, input.x, n);
    GiveBack(dm.YData, input.y, n);
    GiveBack(dm.Serial, input.serial, n);
    throw;
  }
  SearchInput& sorted = run.result.data;
  auto giveBack = [&] {
    GiveBack(dm.XData, sorted.x, n);
    GiveBack(dm.YData, sorted.y, n);
    GiveBack(dm.Serial, sorted.serial, n);
  };
  try {
    WriteRun(run, platform);
  } catch (...) {
    giveBack();
    throw;
  }
  giveBack();
  return run;
}

}  // namespace kinvalo
