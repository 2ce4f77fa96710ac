// The whole calculation, from the .inp file to the .txt, .out and .var
// files, for a noisy threshold (Type 3) data set of N data sets.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "bench/bench_support.h"
#include "calc/calculation.h"

namespace {

using namespace kinvalo;
using bench::InputFile;

void BM_Calculation(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const std::string input = InputFile(n);
  const bench::CasePeak peak;
  for (auto _ : state) {
    HeadlessPlatform platform;
    WorkingData dm(platform);
    dm.FileName = input;
    dm.ReadInputFile();
    dm.NrOfInputData = dm.NrOfData;
    const SearchResult result = CalculateResults(dm, {}, platform);
    benchmark::DoNotOptimize(result.breakpoint);
    if (result.type != FunctionType::Threshold) state.SkipWithError("the benchmark data should give Type 3");
  }
  state.SetItemsProcessed(state.iterations() * n);
  peak.Report(state);
}
BENCHMARK(BM_Calculation)->Arg(1000)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// What the least-squares fits add to the calculation: both broken lines,
// the straight line, the limits and the bootstrap test, on the data as the
// search leaves them (sorted by X). The same data, and X of full precision
// (every X distinct, the most intervals between X values).
void BM_LeastSquares(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  HeadlessPlatform platform;
  WorkingData dm(platform);
  dm.FileName = InputFile(n);
  dm.ReadInputFile();
  SearchResult result = RunBreakpointSearch({dm.XData, dm.YData, {}, dm.NrOfData}, {});
  if (state.range(1) != 0) {
    for (size_t i = 0; i < result.data.x.size(); ++i) result.data.x[i] += 1e-6 * static_cast<double>(i % 997);
    std::sort(result.data.x.begin(), result.data.x.end());
  }
  int samples = 0;
  for (auto _ : state) {
    const LeastSquaresFit fit = FitBeside(result);
    benchmark::DoNotOptimize(fit.type3.breakpoint);
    samples = fit.bootstrapSamples;
  }
  state.counters["samples"] = samples;
  state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_LeastSquares)
    ->ArgsProduct({{1000, 10000, 100000, 1000000}, {0, 1}})
    ->ArgNames({"n", "distinctX"})
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return kinvalo::bench::RunBenchmarks(argc, argv); }
