#pragma once
// What the benchmarks share: a folder of their own and noisy threshold
// (Type 3) input files of N data sets.
#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <random>
#include <string>

#include <sys/resource.h>
#include <unistd.h>

#include "core/headless_platform.h"
#include "data/working_data.h"

namespace kinvalo::bench {

inline std::string Folder() {
  static const std::string folder = [] {
    const auto path =
        std::filesystem::temp_directory_path() / ("kinvalo-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(path);
    return path.string();
  }();
  return folder;
}

// Writes the input file once per N with the program's own writer.
inline std::string InputFile(int n) {
  static std::map<int, std::string> files;
  auto& path = files[n];
  if (!path.empty()) return path;
  HeadlessPlatform platform;
  WorkingData dm(platform);
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

// Peak memory of the process so far, in MiB.
inline double PeakMiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// The main of every benchmark program: runs what the command line selects
// and removes the benchmark folder afterwards.
inline int RunBenchmarks(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove_all(Folder());
  return 0;
}

}  // namespace kinvalo::bench
