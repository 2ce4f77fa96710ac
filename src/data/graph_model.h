#pragma once
// What a graph is drawn from and how: the values an output file gives back
// (GraphModel) and the display options of the graph commands
// (GraphOptions). The graphs never draw from the engine's memory, only
// from a model read back from the file.
#include <cstdint>
#include <string>
#include <vector>

#include "core/result_kinds.h"

namespace kinvalo {

// Types 0 and 1: a result without breakpoint, drawn with its regression line.
constexpr bool WithoutBreakpoint(FunctionType type) {
  return type == FunctionType::NoRelation || type == FunctionType::StraightLine;
}

// One regression table of the output file: of all data, or of the data
// below or above the breakpoint.
struct FileStatistics {
  double n = 0;
  double avY = 0, avX = 0;
  double slope = 0;       // the regression coefficient
  double stErrSlope = 0;  // of all data only
  double stDevY = 0;      // of the sides only
  double stDevRes = 0;    // of all data only
  double stDevX = 0;      // of the sides only
};

// The breakpoint of one of Type 3 and Type 4 with its confidence limits
// and the level of its horizontal segment, in data units.
struct TypeBreakpoint {
  double breakpoint = 0;
  double confLeft = 0, confRight = 0;
  double level = 0;
};

struct GraphModel {
  std::string title1, title2;
  Confidence confidence;
  FunctionType type = FunctionType::NoRelation;
  std::uint8_t method = 0;  // of Type 2, 3 and 4
  double breakpoint = 0;    // of Type 2 and above

  FileStatistics all;           // the regression of all data
  FileStatistics below, above;  // the sides of the breakpoint (Type 2 and above)
  double coefExpl = 0;          // of the result's own type
  double centralCoefExpl = 0;   // the central explanation (Types 3 and 4)
  TypeBreakpoint type3, type4;  // both types, as the parameter table gives them

  // The slopes of the summary's equations: A of a straight line, or As
  // below and Ag above the breakpoint.
  double equationSlopeBelow = 0, equationSlopeAbove = 0;

  // The observation table; x[i], yObs[i] and yCalc[i] belong together.
  std::vector<double> x, yObs, yCalc;

  std::int32_t size() const { return static_cast<std::int32_t>(x.size()); }
  const TypeBreakpoint& Of(FunctionType t) const {
    return t == FunctionType::Plateau ? type4 : type3;
  }
};

// What the graph commands show of a model.
struct GraphOptions {
  bool regressionLine = false;  // fitted regression lines instead of connecting lines
  bool belt = false;            // the confidence belt around the lines
  bool block = false;           // the confidence block of the breakpoint
  bool combined = false;        // one line through the breakpoints of both types
  bool calcObs = false;         // observed Y against calculated Y
  bool colour = true;           // colour or black and white
  bool leastSquares = false;    // the least-squares line and limits over a partial graph
};

}  // namespace kinvalo
