// Writes the benchmarks' noisy threshold input of N data sets:
//   kinvalo_bench_input N FILE.inp
#include <cstdio>
#include <cstdlib>

#include "bench/noisy_input.h"

int main(int argc, char** argv) {
  const long n = argc == 3 ? std::strtol(argv[1], nullptr, 10) : 0;
  if (n <= 0 || n > 100000000) {
    std::fprintf(stderr, "usage: kinvalo_bench_input N FILE.inp\n");
    return 2;
  }
  kinvalo::bench::WriteNoisyThreshold(static_cast<int>(n), argv[2]);
  return 0;
}
