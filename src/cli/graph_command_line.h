#pragma once
// The graph command of kinvalo-cli as read from its command line, and the
// drawing that follows. Reading the command line needs no Qt; the drawing
// does, and kinvalo-cli loads it only when a graph is asked for, so that a
// calculation starts without Qt's libraries.
#include <iosfwd>
#include <string>

namespace kinvalo {

struct GraphCommandLine {
  std::string output;  // the output file, absolute
  std::string image;   // as given; it ends in .bmp, .png, .svg or .pdf
  int scale = 1;       // of a PNG
  bool bw = false, regressionLine = false, belt = false, noBlock = false, combined = false,
       calcObs = false, leastSquares = false;
};

// Draws the graph of a command line found right, says so on `out` and
// returns the exit status (0 written, 1 not); messages go to `err`.
using GraphRunner = int (*)(const GraphCommandLine& line, std::ostream& out, std::ostream& err);

}  // namespace kinvalo
