// A graph drawn afresh from its output file, as the graph commands do:
// read back, prepare, draw on the 623 x 465 picture.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <map>
#include <string>

#include "bench/bench_support.h"
#include "calc/calculation.h"
#include "core/paths.h"
#include "graphs/graph_command.h"
#include "render/gui_app.h"
#include "render/qt_canvas.h"

namespace {

using namespace kinvalo;

// The output file of N data sets, calculated once.
std::string OutputFile(int n) {
  static std::map<int, std::string> files;
  auto& path = files[n];
  if (!path.empty()) return path;
  HeadlessPlatform platform;
  WorkingData dm(platform);
  dm.FileName = bench::InputFile(n);
  dm.ReadInputFile();
  dm.NrOfInputData = dm.NrOfData;
  CalculateResults(dm, {}, platform);
  path = ChangeFileExt(bench::InputFile(n), ".out");
  return path;
}

void BM_Graph(benchmark::State& state, bool fitted) {
  const int n = static_cast<int>(state.range(0));
  const std::string output = OutputFile(n);
  EnsureGuiApplication();
  GraphOptions options;
  options.regressionLine = fitted;
  options.belt = fitted;
  options.block = true;
  const bench::CasePeak peak;  // of the drawing, not of the calculation above
  for (auto _ : state) {
    QtCanvas canvas;
    if (!RedrawGraph(output, options, FunctionType::NoRelation, canvas).drawing.drawn) {
      state.SkipWithError("the graph was not drawn");
    }
  }
  state.SetItemsProcessed(state.iterations() * n);
  peak.Report(state);
}
BENCHMARK_CAPTURE(BM_Graph, connecting_lines, false)
    ->Arg(1000)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Graph, fitted_lines_and_belt, true)
    ->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return kinvalo::bench::RunBenchmarks(argc, argv); }
