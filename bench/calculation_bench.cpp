// The whole calculation, from the .inp file to the .txt, .out and .var
// files, for a noisy threshold (Type 3) data set of N data sets.
#include <benchmark/benchmark.h>

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
  // The sizes run in ascending order.
  state.counters["peak_MiB"] = bench::PeakMiB();
}
BENCHMARK(BM_Calculation)->Arg(1000)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return kinvalo::bench::RunBenchmarks(argc, argv); }
