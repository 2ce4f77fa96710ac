// The writing of the result files alone (.lsq, .txt, .out and .var), from
// a result held in memory, for a noisy threshold (Type 3) data set of N data
// sets. The files go to temporary files that are discarded: the rename and
// the sync to the disk are the file system's, not the writers'.
#include <benchmark/benchmark.h>

#include <sys/stat.h>

#include <string>

#include "anova/anova.h"
#include "bench/bench_support.h"
#include "calc/calculation.h"
#include "core/file_set.h"
#include "core/paths.h"
#include "engine/result_files.h"
#include "lsq/lsq_file.h"

namespace {

using namespace kinvalo;

// Stages and writes every result file of the run, as the calculation does.
void WriteAll(FileSet& files, const SearchResult& result, const LeastSquaresFit& fit, Platform& platform) {
  const std::string& input = result.options.inputPath;
  TextWriter& var = files.Stage(VariancePath(input));
  WriteLeastSquaresFile(files.Stage(LeastSquaresPath(input)), fit,
                        {input, result.options.title1, result.options.title2});
  const ResultFiles written = WriteResultFiles(result, files);
  AnovaRun(var, written.sums, written.rawVariance,
           {result.type, result.bothTypesFound, result.type3.breakpoint, result.type4.breakpoint}, platform);
}

double FileBytes(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? static_cast<double>(st.st_size) : 0.0;
}

void BM_WriteResultFiles(benchmark::State& state) {
  const bench::CasePeak peak;
  const int n = static_cast<int>(state.range(0));
  HeadlessPlatform platform;
  WorkingData dm(platform);
  dm.FileName = bench::InputFile(n);
  dm.ReadInputFile();
  dm.NrOfInputData = dm.NrOfData;
  SearchInput input{dm.XData, dm.YData, {}, dm.NrOfData};
  const SearchResult result =
      RunBreakpointSearch(std::move(input), {{}, Preference::BestOfTwo, dm.Title1, dm.Title2, dm.FileName});
  const LeastSquaresFit fit = FitBeside(result);
  {
    // Once in place, for the number of bytes a run writes.
    FileSet files;
    WriteAll(files, result, fit, platform);
    files.Commit();
  }
  double bytes = 0;
  for (const char* extension : {".lsq", ".txt", ".out", ".var"}) {
    bytes += FileBytes(ChangeFileExt(dm.FileName, extension));
  }
  for (auto _ : state) {
    FileSet files;
    WriteAll(files, result, fit, platform);
    files.Discard();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes));
  state.SetItemsProcessed(state.iterations() * n);
  peak.Report(state);
}
BENCHMARK(BM_WriteResultFiles)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return kinvalo::bench::RunBenchmarks(argc, argv); }
