// Writes the example input files of examples/ with the program's own input
// file writer. The noise comes from a fixed-seed generator, so running this
// again gives the same files byte for byte.
//
//   kinvalo-make-examples FOLDER
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <iostream>
#include <string>
#include <system_error>

#include "core/headless_platform.h"
#include "data/working_data.h"

namespace {

using kinvalo::HeadlessPlatform;
using kinvalo::WorkingData;

// splitmix64: small, fast and the same on every machine.
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}
  double Uniform() {  // in [0, 1)
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    z ^= z >> 31;
    return static_cast<double>(z >> 11) / 9007199254740992.0;
  }
  double Normal(double sd) {  // Box-Muller
    const double u1 = 1.0 - Uniform();
    const double u2 = Uniform();
    return sd * std::sqrt(-2.0 * std::log(u1)) * std::cos(6.283185307179586 * u2);
  }

 private:
  std::uint64_t state_;
};

double Round2(double v) { return std::round(v * 100.0) / 100.0; }

struct Example {
  const char* file;
  const char* title1;
  const char* title2;
  std::uint64_t seed;
  int count;
  std::function<double(int, Random&)> x;  // the i-th X (0-based)
  std::function<double(double)> y;        // Y without noise
  double noise;                           // standard deviation of the noise
};

bool Write(const Example& e) {
  HeadlessPlatform platform(&std::cerr);
  WorkingData dm(platform);
  Random random(e.seed);
  dm.Title1 = e.title1;
  dm.Title2 = e.title2;
  for (int i = 0; i < e.count; ++i) {
    const double x = Round2(e.x(i, random));
    dm.XData.push_back(x);
    dm.YData.push_back(Round2(e.y(x) + random.Normal(e.noise)));
  }
  dm.NrOfData = e.count;
  dm.FileName = e.file;  // line 3 of the file names it without a folder
  return dm.WriteInputFile();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: kinvalo-make-examples FOLDER\n";
    return 2;
  }
  const std::string folder = argv[1];
  std::error_code ec;
  std::filesystem::current_path(folder, ec);
  if (ec) {
    std::cerr << "The folder " << folder << " cannot be entered.\n";
    return 1;
  }
  const Example examples[] = {
      {"salinity.inp", "Wheat yield against soil salinity, 40 field plots",
       "Y: relative grain yield (%), X: salinity of the soil extract ECe (dS/m)", 1, 40,
       [](int, Random& r) { return 1.0 + 13.0 * r.Uniform(); },
       [](double x) { return x < 6.0 ? 100.0 : 100.0 - 7.1 * (x - 6.0); }, 3.0},
      {"fertiliser.inp", "Maize grain yield against nitrogen dose, 12 doses x 3 replicates",
       "Y: grain yield (t/ha), X: nitrogen applied (kg N/ha)", 2, 36,
       [](int i, Random&) { return 20.0 * (i / 3); },
       [](double x) { return x < 130.0 ? 2.6 + 0.032 * x : 2.6 + 0.032 * 130.0; }, 0.2},
      {"straight.inp", "Evapotranspiration of grass against mean air temperature, 40 days",
       "Y: reference evapotranspiration (mm/day), X: mean daily temperature (C)", 6, 40,
       [](int, Random& r) { return 8.0 + 20.0 * r.Uniform(); },
       [](double x) { return 0.4 + 0.19 * x; }, 0.15},
      {"watertable.inp", "Potato yield against depth of the water table, 50 fields",
       "Y: tuber yield (t/ha), X: mean depth of the water table (cm below surface)", 4, 50,
       [](int, Random& r) { return 20.0 + 130.0 * r.Uniform(); },
       [](double x) { return x < 55.0 ? 21.0 : (x < 95.0 ? 21.0 + 0.45 * (x - 55.0) : 39.0); }, 2.0},
      {"waterlogging.inp", "Barley yield against days of waterlogging, 32 plots",
       "Y: grain yield (t/ha), X: days with the water table within 30 cm of the surface", 5, 32,
       [](int, Random& r) { return 40.0 * r.Uniform(); },
       [](double x) { return x < 22.0 ? 6.2 - 0.17 * x : 6.2 - 0.17 * 22.0; }, 0.25},
  };
  for (const Example& e : examples) {
    if (!Write(e)) return 1;
    std::cout << folder << "/" << e.file << '\n';
  }
  return 0;
}
