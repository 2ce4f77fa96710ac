#pragma once
// The least-squares report (.lsq) beside the output file: the straight line
// and the broken lines of Type 3 and Type 4, their confidence limits, the
// test of the breakpoint and how the partial regression's breakpoint
// compares, laid out for a person to read.
#include <string>

#include "core/textfile.h"
#include "lsq/least_squares.h"

namespace kinvalo {

struct LeastSquaresFileHeading {
  std::string inputPath;  // the .inp file of the run
  std::string title1, title2;
};

void WriteLeastSquaresFile(TextWriter& out, const LeastSquaresFit& fit, const LeastSquaresFileHeading& heading);

}  // namespace kinvalo
