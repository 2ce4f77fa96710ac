#pragma once
// The state of one program run: the working data, the shared result values
// and the state of each unit, all owned by one AppState that the window, the
// batch command and every test create for themselves.
#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "core/platform.h"
#include "core/result_kinds.h"
#include "core/textfile.h"
#include "data/tdmtulmex.h"

namespace kinvalo {


// Values the engine and the output reader write and every other unit reads.
struct SharedResults {
  double XMin = 0.0;
  double XMax = 0.0;
  double BPType3 = 0.0;
  double BPType4 = 0.0;
  double ConfBPLeftType3 = 0.0;
  double ConfBPRightType3 = 0.0;
  double ConfBPLeftType4 = 0.0;
  double ConfBPRightType4 = 0.0;
  double AvYType3 = 0.0;
  double AvYType4 = 0.0;
  double SlopeAllGraph = 0.0;
  double ConfidenceFactor = 1.75;  // 1.75, 2.1 or 2.5 for 90, 95 or 98 %
  std::int32_t NrOfInputData = 0;
  std::uint8_t ResultType = 0;
  std::uint8_t ResultMethod = 0;
  double BreakPoint = 0.0;
  double SlopeAll = 0.0;
  double StErrBPType3 = 0.0;
  double StErrBPType4 = 0.0;
  bool SkipType3 = false;
  bool SkipType4 = false;
  bool BothTypesFound = false;
  bool DataUnfit = false;
  double CoefExplCombined = 0.0;
  double CombY1 = 0.0;
  double CombY2 = 0.0;
};

struct GraphPoint {
  double x = 0, y = 0;
};

// A confidence block around a breakpoint, in graph units.
struct GraphBlock {
  double left = 0, mid = 0, right = 0, bottom = 0, top = 0;
};

// Lines, belts and blocks of the graph being drawn, in graph units (X as
// data, Y multiplied by YFactor).
struct GraphGeometry {
  // Regression and calc-obs graph.
  GraphPoint L1, L2;
  std::array<GraphPoint, 12> P{};  // P0..P11 of the belt
  // Partial relation graph.
  GraphPoint Q0, Q1, Q2, Q3;
  GraphPoint A, B, C, Cu, E, F, H, Hl, K;
  GraphBlock Block;        // of the drawn type
  GraphBlock SecondBlock;  // of the other type, for the combined graph
  double m0 = 0, m1 = 0;   // belt terms
};

// The graph unit: what the output reader took from the file, the scaling
// and captions of the graph being prepared, and the display options.
struct GraphState {
  std::uint8_t GraphMode = 0, FileType = 0, GraphType = 0, GraphCode = 0;
  double YMin = 0, YMax = 0;
  std::int32_t YFactor = 1;
  std::int32_t XAxisLow = 0, XAxisHigh = 0, YAxisLow = 0, YAxisHigh = 0;
  std::int32_t XIntervals = 0, YIntervals = 0, XDecimals = 0, YDecimals = 0;
  std::string XLabel, YLabel;
  std::int32_t PlotWidth = 500, PlotHeight = 320;
  bool ShowRegressionLine = true;
  bool CombinedShown = false;

  // Read back from the output file.
  std::uint8_t FileMethod = 0;
  double FileBreakPoint = 0;
  double GraphN = 0, GraphAvY = 0, GraphAvX = 0, GraphStErrSlope = 0, GraphStDevRes = 0;
  double StDevXAll = 0, AvXAll = 0, StErrSlopeAll = 0, StDevResAll = 0, SSXAll = 0;
  double SlopeBelow = 0, StDevYBelow = 0, StDevXBelow = 0;
  double GraphN2 = 0, GraphAvY2 = 0, GraphAvX2 = 0, GraphStErrSlope2 = 0, GraphStDevRes2 = 0;
  double SlopeAbove = 0, StDevYAbove = 0, StDevXAbove = 0;
  double FileYbp = 0, FileStErrBP = 0, FileCoefExpl = 0, GraphCoefExpl = 0;
  double FileConfLeft = 0, FileConfRight = 0;
  double FileSlopeA = 0, FileSlopeAg = 0;

  // Display options, set by the graph commands.
  bool GraphShown = false;
  bool ColourGraph = true;
  bool ShowBelt = false;
  bool ShowBlock = false;
  bool CombineTypes = false;

  GraphGeometry Geo;
};

// The few window controls that the readers and the drawings set or read.
// The window mirrors them; the batch command keeps its own copy.
struct WindowControls {
  bool ExplainButtonEnabled = true;
  std::string ZtypeButtonCaption = "Show combination  Type 3 and 4";
  bool SelectButtonVisible = false;
  bool BPButtonVisible = false;
  int BPButtonLeft = 144;
  bool GraphImageVisible = false;
};

class AppState {
 public:
  explicit AppState(Platform& services) : platform(services), DM(services) {}
  AppState(const AppState&) = delete;
  AppState& operator=(const AppState&) = delete;

  Platform& platform;
  TDMTulmex DM;
  SharedResults R;
  // The minimum confidence chosen for the next calculation.
  Confidence confidence;
  // What the window shows of the last result: its type, and whether it
  // offers the combination of Type 3 and 4.
  FunctionType resultType = FunctionType::NoRelation;
  GraphState Graph;
  WindowControls Controls;
  // Called when a result file cannot be loaded for display: the window
  // clears its output memo and shows the output page.
  std::function<void()> ClearOutputPage = [] {};

};

}  // namespace kinvalo
