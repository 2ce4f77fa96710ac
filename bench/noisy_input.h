#pragma once
// The input file of the benchmarks: a noisy threshold (Type 3) of N data
// sets, X in [0, 20) and Y level up to 8, then falling, both rounded to
// two decimals, from a fixed seed; written with the program's own writer.
#include <cmath>
#include <random>
#include <string>

#include "core/headless_platform.h"
#include "data/working_data.h"

namespace kinvalo::bench {

inline void WriteNoisyThreshold(int n, const std::string& path) {
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
  dm.FileName = path;
  dm.WriteInputFile();
}

}  // namespace kinvalo::bench
