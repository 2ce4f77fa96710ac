#pragma once
// The state of one program run: the working data, the shared result values
// and what the window keeps between commands, all owned by one AppState
// that the window, the batch command and every test create for themselves.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "core/platform.h"
#include "core/result_kinds.h"
#include "core/textfile.h"
#include "data/graph_model.h"
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

// Per-side sums of the data below (index 1) and above (index 2) a breakpoint.
struct GroupSums {
  double N = 0, SumY = 0, SumX = 0, SumYY = 0, SumXX = 0, SumXY = 0;
};

// Per-side statistics derived from the sums.
struct GroupStats {
  double AvY = 0, AvX = 0, SSY = 0, SSX = 0, SXY = 0, Slope = 0, R = 0, R2 = 0, Intercept = 0,
         StDevY = 0, ResSS = 0, StDevRes = 0, StDevX = 0, StErrSlope = 0;
};

// Per-side arrays are indexed 1..2; element 0 is unused.
template <typename T>
using Sides = std::array<T, 3>;

// State of the regression engine: primitives, search and report writers.
struct Regres1State {
  Sides<GroupSums> GroupSum{};
  Sides<GroupStats> GroupStat{};
  Sides<double> AvX{}, AvY{}, SegSlope{}, ResidualSS{};
  double TotalSSY = 0, TotalSSX = 0;
  double StErrSlope1 = 0, StErrSlope2 = 0, StErrSlope = 0;
  double ResidualSSTotal = 0, StDevYbp = 0;
  std::uint8_t CalcType = 0, CalcMethod = 0;
  double ResidualSSCombined = 0;
  double MidAvX = 0, MidAvY = 0, MidSlope = 0;
  int MidCount = 0;

  // While the engine runs on data sorted by X, the sums of the data below
  // a breakpoint are kept as a running prefix, so that a scan over
  // ascending candidates adds each data set once instead of once per
  // candidate. Sums are in extended precision.
  bool SortedByX = false;
  std::int32_t PrefixCount = 0;
  std::array<long double, 5> PrefixSum{};  // Y, X, YY, XX, XY of [0, PrefixCount)
  std::array<long double, 5> TotalSum{};

  std::array<double, 202> BPCandidate{};  // 1..201, elements 1..200 used
  double BPStep = 0;
  double CoefExpl = 0, CoefExplLinear = 0;
  double MaxCoefExplType3 = 0, MaxCoefExplType4 = 0;
  std::uint8_t HeaderSection = 0;
  std::array<std::string, 10> TextSlot;  // one side's rendered statistics
  TextWriter OutFile;  // first the explanation table, then the output file
  TextWriter VarFile;
};

// What the graph commands keep between commands: the output file last
// read back, the display options, and what the next read depends on.
struct GraphPage {
  std::optional<GraphModel> model;
  GraphOptions options;
  // The function type of the graph prepared last (see ReadOutputFile).
  FunctionType preparedType = FunctionType::NoRelation;
  // The older-file warning has been shown for the output file opened last.
  bool olderFileWarned = false;
};

class AppState {
 public:
  explicit AppState(Platform& services) : platform(services), DM(services) {}
  AppState(const AppState&) = delete;
  AppState& operator=(const AppState&) = delete;

  Platform& platform;
  TDMTulmex DM;
  SharedResults R;
  Regres1State Reg;
  GraphPage Graph;

  // Asked whenever the engine or the output header needs the preference;
  // the window answers from its option buttons at that moment.
  std::function<Preference()> PreferenceQuery = [] { return Preference::BestOfTwo; };

  bool RadioButton1() const { return PreferenceQuery() == Preference::PreferType3; }
  bool RadioButton2() const { return PreferenceQuery() == Preference::PreferType4; }
  bool RadioButton3() const { return PreferenceQuery() == Preference::BestOfTwo; }
};

}  // namespace kinvalo
