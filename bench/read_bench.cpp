// Reading input files: one of N data sets, as a calculation starts, and one
// whose one data line is a long run of short tokens: the reader keeps the
// three numbers of the line, not the line. The peak memory of the case,
// against the size of the line, shows what it holds.
#include <benchmark/benchmark.h>

#include <fstream>
#include <string>

#include "bench/bench_support.h"

namespace kinvalo {
namespace {

std::string LongLineFile(int mebibytes) {
  const std::string path = bench::Folder() + "/line" + std::to_string(mebibytes) + ".inp";
  std::ofstream out(path, std::ios::binary);
  out << "Long\r\nline\r\n File name:  x\r\n Number of independent variables:  1\r\n"
         " Number of data sets:  1\r\n\r\n\r\nh\r\nh\r\nh\r\nh\r\n1 2.5 3";
  std::string tokens;
  for (int i = 0; i < (1 << 19); ++i) tokens += "7 ";
  for (int i = 0; i < mebibytes; ++i) out << tokens;
  out << "\r\n";
  return path;
}

void BM_ReadLongLineOfShortTokens(benchmark::State& state) {
  const int mebibytes = static_cast<int>(state.range(0));
  const std::string path = LongLineFile(mebibytes);
  HeadlessPlatform platform;
  const bench::CasePeak peak;
  for (auto _ : state) {
    WorkingData dm(platform);
    dm.FileName = path;
    if (!dm.ReadInputFile() || dm.NrOfData != 1) state.SkipWithError("the file was not read");
  }
  state.SetBytesProcessed(state.iterations() * (std::int64_t{mebibytes} << 20));
  state.counters["line_MiB"] = mebibytes;
  peak.Report(state);
}
BENCHMARK(BM_ReadLongLineOfShortTokens)->Arg(16)->Arg(256)->Unit(benchmark::kMillisecond);

// Reading the input file of N data sets, as a calculation starts.
void BM_ReadInputFile(benchmark::State& state) {
  const std::string path = bench::InputFile(static_cast<int>(state.range(0)));
  HeadlessPlatform platform;
  for (auto _ : state) {
    WorkingData dm(platform);
    dm.FileName = path;
    if (!dm.ReadInputFile() || dm.NrOfData != state.range(0)) state.SkipWithError("the file was not read");
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ReadInputFile)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kinvalo

int main(int argc, char** argv) { return kinvalo::bench::RunBenchmarks(argc, argv); }
