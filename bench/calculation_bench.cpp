// The whole calculation, from the .inp file to the .txt, .out and .var
// files, for a noisy threshold (Type 3) data set of N data sets.
#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <random>
#include <string>

#include <sys/resource.h>
#include <unistd.h>

#include "calc/calculation.h"

namespace {

using namespace kinvalo;

class QuietPlatform : public Platform {
 public:
  void ShowMessage(const std::string&) override {}
  bool AskYesNo(const std::string&) override { return false; }
  std::optional<std::string> OpenFileDialog(const FileDialogOptions&) override { return {}; }
  std::optional<std::string> SaveFileDialog(const FileDialogOptions&) override { return {}; }
  void Wait(int) override {}
};

std::string Folder() {
  static const std::string folder = [] {
    const auto path =
        std::filesystem::temp_directory_path() / ("kinvalo-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(path);
    return path.string();
  }();
  return folder;
}

// Writes the input file once per N with the program's own writer.
std::string InputFile(int n) {
  static std::map<int, std::string> files;
  auto& path = files[n];
  if (!path.empty()) return path;
  QuietPlatform platform;
  TDMTulmex dm(platform);
  std::mt19937_64 random(42);
  std::uniform_real_distribution<double> x(0.0, 20.0);
  std::normal_distribution<double> noise(0.0, 0.5);
  for (int i = 0; i < n; ++i) {
    const double xi = std::round(x(random) * 100) / 100;
    const double yi = (xi < 8 ? 10.0 : 10.0 - 0.6 * (xi - 8)) + noise(random);
    dm.XData.push_back(xi);
    dm.YData.push_back(std::round(yi * 100) / 100);
  }
  dm.NrOfData = n;
  dm.Title1 = "Benchmark";
  dm.Title2 = "Noisy threshold";
  dm.FileName = Folder() + "/n" + std::to_string(n) + ".inp";
  dm.WriteInputFile();
  path = dm.FileName;
  return path;
}

void BM_Calculation(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const std::string input = InputFile(n);
  for (auto _ : state) {
    QuietPlatform platform;
    AppState app(platform);
    app.DM.FileName = input;
    app.DM.ReadInputFile();
    app.R.NrOfInputData = app.DM.NrOfData;
    const bool done = CalculateResults(app);
    benchmark::DoNotOptimize(done);
    if (!done || app.R.ResultType != 3) state.SkipWithError("the benchmark data should give Type 3");
  }
  state.SetItemsProcessed(state.iterations() * n);
  // Peak memory of the process so far; the sizes run in ascending order.
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  state.counters["peak_MiB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}
BENCHMARK(BM_Calculation)->Arg(1000)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove_all(Folder());
  return 0;
}
