#pragma once
// What the benchmarks share: a folder of their own and noisy threshold
// (Type 3) input files of N data sets.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>

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

// The peak memory of one benchmark case: the largest resident set of the
// process (VmHWM) from the moment the case starts measuring, in MiB. It
// holds what the process held before the case (the program, its libraries,
// a Qt application), not the peak of an earlier, larger case: starting
// sets the high-water mark back to the current resident set through
// /proc/self/clear_refs. Where that cannot be done the case reports no
// peak rather than a wrong one.
class CasePeak {
 public:
  CasePeak() {
    std::ofstream reset("/proc/self/clear_refs");
    reset << "5";
    reset_ = static_cast<bool>(reset.flush());
  }
  void Report(benchmark::State& state) const {
    std::ifstream status("/proc/self/status");
    std::string key;
    double kib = 0;
    while (reset_ && status >> key) {
      if (key == "VmHWM:" && status >> kib) {
        state.counters["peak_MiB"] = kib / 1024.0;
        return;
      }
    }
  }

 private:
  bool reset_ = false;
};

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
