#include "calc/calculation.h"

#include <functional>
#include <future>
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

namespace {

// The fits need only the sorted data; the breakpoints of the search are
// compared with them afterwards.
LeastSquaresFit FitSorted(const SearchInput& sorted, Confidence confidence) {
  LeastSquaresInput input;
  input.x = sorted.x;
  input.y = sorted.y;
  input.confidence = confidence;
  return FitLeastSquares(input);
}

// The report shows the breakpoint of its own type, and that of the other
// type when it found both.
void CompareWithSearch(LeastSquaresFit& fit, const SearchResult& result) {
  const bool both = HasHorizontalSegment(result.type) && result.bothTypesFound;
  std::optional<double> type3, type4;
  if (result.type == FunctionType::Threshold || both) type3 = result.type3.breakpoint;
  if (result.type == FunctionType::Plateau || both) type4 = result.type4.breakpoint;
  ComparePartialBreakpoints(fit, type3, type4);
}

}  // namespace

LeastSquaresFit FitBeside(const SearchResult& result) {
  LeastSquaresFit fit = FitSorted(result.data, result.options.confidence);
  CompareWithSearch(fit, result);
  return fit;
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
void WriteRun(Calculation& run, std::future<LeastSquaresFit>& fits, Platform& platform) {
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
    // Every result file goes to a temporary file first; the set is put in
    // place together at the end, the .out last. A file the user made
    // read-only stops the run before anything changes.
    FileSet files;
    TextWriter& var = files.Stage(VariancePath(result.options.inputPath));
    TextWriter& lsq = files.Stage(lsqPath);
    const ResultFiles written = WriteResultFiles(result, files);
    // The fits have run beside the search and the writing so far.
    run.leastSquares = fits.get();
    CompareWithSearch(*run.leastSquares, result);
    WriteLeastSquaresFile(lsq, *run.leastSquares,
                          {result.options.inputPath, result.options.title1, result.options.title2});
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
    run.result = PrepareBreakpointSearch(std::move(input), search);
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
  // The least-squares fits read the sorted data on a second thread while
  // the search runs and writes its files; they change nothing the search
  // reads. Without a thread to spare they run when they are asked for.
  std::future<LeastSquaresFit> fits;
  try {
    if (!run.result.refusal) {
      fits = std::async(std::launch::async | std::launch::deferred, FitSorted, std::cref(sorted),
                        options.confidence);
    }
    RunPreparedSearch(run.result);
    WriteRun(run, fits, platform);
  } catch (...) {
    if (fits.valid()) fits.wait();  // they still read the data
    giveBack();
    throw;
  }
  giveBack();
  return run;
}

}  // namespace kinvalo
