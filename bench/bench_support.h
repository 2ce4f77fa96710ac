#pragma once
// What the benchmarks share: a folder of their own and noisy threshold
// (Type 3) input files of N data sets.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <map>
#include <string>

#include <sys/resource.h>
#include <unistd.h>

#include "bench/noisy_input.h"

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
  path = Folder() + "/n" + std::to_string(n) + ".inp";
  WriteNoisyThreshold(n, path);
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
