#include <algorithm>
#include <cmath>
#include <numeric>
#include <stdexcept>
#include <vector>

#include "core/paths.h"
#include "engine/engine.h"
#include "graphs/graph_prep.h"
#include "regression/regres1.h"

namespace kinvalo {

namespace {

// Values beyond this make the sums of squares of a large data set overflow.
constexpr double kLargestValue = 1e100;

// Sorts the data sets by X, carrying Y (and the serial number) along;
// data sets with equal X keep their input order.
void SortByX(TDMTulmex& dm) {
  const size_t n = static_cast<size_t>(dm.NrOfData);
  std::vector<std::int32_t> order(n);
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(),
                   [&](std::int32_t a, std::int32_t b) { return dm.XData.at(a) < dm.XData.at(b); });
  auto permute = [&](auto& array) {
    if (array.size() < n) return;
    auto copy = array;
    for (size_t i = 0; i < n; ++i) array[i] = copy[static_cast<size_t>(order[i])];
  };
  permute(dm.XData);
  permute(dm.YData);
  permute(dm.Serial);
}

bool Positive(const AppState& s) { return s.R.SlopeAll > 0; }

// The Type 3 test: the slope below BP may be taken as zero.
bool Type3Holds(const AppState& s) {
  const Regres1State& r = s.Reg;
  const double S1 = r.GroupStat[1].Slope, S2 = r.GroupStat[2].Slope;
  const double SE1 = r.GroupStat[1].StErrSlope, SA = s.R.SlopeAll;
  const bool enough = r.GroupSum[1].N > 4 && r.GroupSum[2].N > 4;
  if (Positive(s)) return S1 <= 1.25 * SE1 && S1 < S2 && (S1 < SA || S1 <= 0) && enough;
  return S1 > -1.25 * SE1 && std::fabs(S1) < std::fabs(S2) &&
         (std::fabs(S1) < std::fabs(SA) || S1 >= 0) && enough;
}

// The Type 4 test with factor f: the slope above BP may be taken as zero.
bool Type4Holds(const AppState& s, double f, bool positive) {
  const Regres1State& r = s.Reg;
  const double S1 = r.GroupStat[1].Slope, S2 = r.GroupStat[2].Slope;
  const double SE2 = r.GroupStat[2].StErrSlope, SA = s.R.SlopeAll;
  const bool enough = r.GroupSum[1].N > 4 && r.GroupSum[2].N > 4;
  if (positive) return S2 < f * SE2 && S2 < S1 && (S2 < SA || S2 <= 0) && enough;
  return S2 > -f * SE2 && std::fabs(S2) < std::fabs(S1) &&
         (std::fabs(S2) < std::fabs(SA) || S2 >= 0) && enough;
}

// Opens the explanation table for a scan; FileName holds its path meanwhile.
std::string BeginScan(AppState& s, std::uint8_t type) {
  const std::string saved = s.DM.FileName;
  s.DM.FileName = ChangeFileExt(saved, ".txt");
  s.Reg.OutFile.CreateOrThrow(s.DM.FileName);
  WriteExplanationHeader(s, type);
  return saved;
}

void EndScan(AppState& s, const std::string& saved) {
  s.Reg.OutFile.Commit();
  s.DM.FileName = saved;
}

void ScanType3(AppState& s) {
  Regres1State& reg = s.Reg;
  SharedResults& r = s.R;
  const std::string saved = BeginScan(s, 3);
  reg.MaxCoefExplType3 = 0;
  r.BPType3 = r.XMin;
  for (int k = 1; k <= 199; ++k) {
    const double BP = reg.BPCandidate[k];
    reg.CalcType = 3;
    reg.CalcMethod = 2;
    ComputeExplanation(s, BP, reg.CoefExpl, reg.CalcType, reg.CalcMethod);
    const double N1 = reg.GroupSum[1].N, N2 = reg.GroupSum[2].N;
    if (N1 <= 2 || N2 <= 2) continue;
    const bool hash = Type3Holds(s);
    WriteExplanationRow(s, BP, 3, hash);
    if (hash) {
      if (BP > r.BPType3) r.BPType3 = BP;  // ends at the LAST "#"
      r.ResultType = 3;
      r.ResultMethod = 2;
      if (reg.CoefExpl > reg.MaxCoefExplType3) reg.MaxCoefExplType3 = reg.CoefExpl;
    }
    const double S1 = reg.GroupStat[1].Slope, S2 = reg.GroupStat[2].Slope;
    const double SE1 = reg.GroupStat[1].StErrSlope;
    if (N1 > 4 && N2 > 4 && std::fabs(S1) < std::fabs(S2)) {
      if (Positive(s)) {
        if (S1 < 0.75 * SE1) r.ConfBPLeftType3 = BP;
        if (S1 < 1.75 * SE1) r.ConfBPRightType3 = BP;
      } else {
        if (-0.75 * SE1 < S1 && S1 < 0.75 * SE1) r.ConfBPLeftType3 = BP;
        if (-1.75 * SE1 < S1 && S1 < 1.75 * SE1) r.ConfBPRightType3 = BP;
      }
    }
  }
  EndScan(s, saved);
}

void ScanType4(AppState& s) {
  Regres1State& reg = s.Reg;
  SharedResults& r = s.R;
  const std::string saved = BeginScan(s, 4);
  bool firstRow = true;
  reg.MaxCoefExplType4 = 0;
  r.BPType4 = r.XMin;
  bool found = false, leftFound = false, rightFound = false;
  const bool positive = Positive(s);
  for (int k = 1; k <= 199; ++k) {
    const double BP = reg.BPCandidate[k];
    reg.CalcType = 4;
    reg.CalcMethod = 2;
    ComputeExplanation(s, BP, reg.CoefExpl, reg.CalcType, reg.CalcMethod);
    const bool holds = Type4Holds(s, 1.25, positive);
    if (reg.GroupSum[1].N > 2 && reg.GroupSum[2].N > 2) {
      // In a negative relation the first row of the table shows "o".
      WriteExplanationRow(s, BP, 4, holds && !(firstRow && !positive));
      firstRow = false;
    }
    if (holds) {
      if (!found) r.BPType4 = BP;  // the FIRST candidate that passes
      found = true;
      r.ResultType = 4;
      r.ResultMethod = 2;
      if (reg.CoefExpl > reg.MaxCoefExplType4) reg.MaxCoefExplType4 = reg.CoefExpl;
    }
    // The left limit takes the negative variant only for a slope below 0.
    if (!leftFound && r.SlopeAll != 0 && Type4Holds(s, 1.75, r.SlopeAll > 0)) {
      r.ConfBPLeftType4 = BP;
      leftFound = true;
    }
    if (!rightFound && Type4Holds(s, 0.75, positive)) {
      r.ConfBPRightType4 = BP;
      rightFound = true;
    }
  }
  EndScan(s, saved);
}

void Scans(AppState& s) {
  if (!s.R.SkipType3) ScanType3(s);
  if (!s.R.SkipType4) ScanType4(s);
}

void DeleteExplanationFile(AppState& s) { DeleteFile(ChangeFileExt(s.DM.FileName, ".txt")); }

enum class Choice { SecondPass, StraightLine };

// Chooses the type by the preference after the first pass. Ties go to
// Type 4 under "Best of the two"; only the Prefer rows compare with the
// straight line.
Choice ChooseType(AppState& s) {
  Regres1State& reg = s.Reg;
  SharedResults& r = s.R;
  const double M3 = reg.MaxCoefExplType3, M4 = reg.MaxCoefExplType4, ML = reg.CoefExplLinear;
  r.BothTypesFound = false;
  if (s.RadioButton1()) {
    if (M3 > 0.8 * M4) {
      if (M3 > ML) {
        r.SkipType4 = true;
        return Choice::SecondPass;
      }
      return Choice::StraightLine;
    }
    r.SkipType3 = true;
    s.platform.ShowMessage(kType3NotFound);
    return M4 > M3 ? Choice::SecondPass : Choice::StraightLine;
  }
  if (s.RadioButton2()) {
    if (M4 > 0.8 * M3) {
      if (M4 > ML) {
        r.SkipType3 = true;
        return Choice::SecondPass;
      }
      return Choice::StraightLine;
    }
    r.SkipType4 = true;
    s.platform.ShowMessage(kType4NotFound);
    return M3 > M4 ? Choice::SecondPass : Choice::StraightLine;
  }
  if (M3 > M4) {
    r.SkipType4 = true;
    r.BothTypesFound = M4 > 0;
    return Choice::SecondPass;
  }
  r.SkipType3 = true;
  r.BothTypesFound = M3 > 0;
  return M4 != 0 ? Choice::SecondPass : Choice::StraightLine;
}

// The breakpoint of a result must lie in the middle part of the X range
// when its confidence limit lies inside the data.
void GraphDataAndRangeTest(AppState& s) {
  Regres1State& reg = s.Reg;
  SharedResults& r = s.R;
  TDMTulmex& dm = s.DM;
  dm.GraphXData.assign(dm.XData.begin(), dm.XData.begin() + dm.NrOfData);
  dm.GraphYData.assign(dm.YData.begin(), dm.YData.begin() + dm.NrOfData);
  try {
    ScaleAxes(s);
  } catch (const std::overflow_error&) {
    // Values beyond the range of a graph axis: the extremes are set all the
    // same, and only drawing the graph will be refused.
  }
  bool made = false;
  double bp = 0;
  if (r.ResultType == 3 && r.ConfBPLeftType3 > r.XMin) {
    made = true;
    bp = r.BPType3;
  } else if (r.ResultType == 4 && r.ConfBPRightType4 < r.XMax) {
    made = true;
    bp = r.BPType4;
  }
  const bool passed = made && reg.BPCandidate[20] <= bp && bp <= reg.BPCandidate[180];
  if (made && !passed) r.ResultType = 1;
  if (!passed) DeleteExplanationFile(s);
}

// The confidence limits of both types, bounded to a plausible band around
// their breakpoints, in this order.
void AdjustConfidenceLimits(AppState& s) {
  SharedResults& r = s.R;
  const double xMin = r.XMin, xMax = r.XMax;
  const double x2 = s.DM.XData.at(1);
  const double bp3 = r.BPType3, bp4 = r.BPType4;
  double& l3 = r.ConfBPLeftType3;
  if (l3 > xMin + 0.95 * (bp3 - xMin)) l3 = xMin + 0.95 * (bp3 - xMin);
  if (l3 < xMin + 0.90 * (bp3 - xMin)) l3 = xMin + 0.90 * (bp3 - xMin);
  if (l3 >= bp3) l3 = xMin + 0.95 * (bp3 - x2);
  double& r3 = r.ConfBPRightType3;
  if (r3 < bp3 + 0.10 * (xMax - bp3)) r3 = bp3 + 0.10 * (xMax - bp3);
  if (r3 > bp3 + 0.15 * (xMax - bp3)) r3 = bp3 + 0.15 * (xMax - bp3);
  if (r3 <= bp3) r3 = bp3 + 0.10 * (xMax - bp3);
  double& l4 = r.ConfBPLeftType4;
  l4 = xMin + 0.90 * (bp4 - xMin);
  if (l4 >= bp4) l4 = xMin + 0.90 * (bp4 - x2);
  double& r4 = r.ConfBPRightType4;
  if (r4 < bp4 + 0.10 * (xMax - bp4)) r4 = bp4 + 0.10 * (xMax - bp4);
  if (r4 > bp4 + 0.15 * (xMax - bp4)) r4 = bp4 + 0.15 * (xMax - bp4);
  if (r4 <= bp4) r4 = bp4 + 0.10 * (xMax - bp4);
}

void WriteOutputFiles(AppState& s) {
  Regres1State& reg = s.Reg;
  SharedResults& r = s.R;
  TDMTulmex& dm = s.DM;
  dm.FileName = ChangeFileExt(dm.FileName, ".out");
  reg.OutFile.CreateOrThrow(dm.FileName);
  dm.FileName = ChangeFileExt(dm.FileName, ".var");
  reg.VarFile.CreateOrThrow(dm.FileName);
  reg.HeaderSection = 1;
  WriteOutputHeader(s);
  reg.HeaderSection = 2;
  WriteOutputHeader(s);
  reg.CalcType = 1;
  double xMin = r.XMin;
  WriteResultTables(s, xMin, 1);
  if (r.ResultType == 1) {
    reg.HeaderSection = 3;
    WriteOutputHeader(s);
  }
  if (r.ResultType == 3 || r.ResultType == 4) {
    if (r.ResultType == 3) {
      r.BreakPoint = r.BPType3;
      if (r.BPType4 < r.BPType3) r.BPType4 = r.BPType3;
      if (reg.MaxCoefExplType4 == 0) r.BothTypesFound = false;
    } else {
      r.BreakPoint = r.BPType4;
      if (r.BPType3 > r.BPType4) r.BPType3 = r.BPType4;
      if (reg.MaxCoefExplType3 == 0) r.BothTypesFound = false;
    }
    AdjustConfidenceLimits(s);
    reg.HeaderSection = 3;
    WriteOutputHeader(s);
    if (r.ResultType == 3) {
      r.StErrBPType3 = 0.7 * (r.ConfBPRightType3 - r.ConfBPLeftType3);
      ComputeGroupStatistics(s, r.BPType3);
      r.AvYType3 = reg.AvY[1];
      reg.CalcType = 4;
      ComputeGroupStatistics(s, r.BPType4);
      r.AvYType4 = reg.AvY[2];
    } else {
      r.StErrBPType4 = 0.7 * (r.ConfBPRightType4 - r.ConfBPLeftType4);
      ComputeGroupStatistics(s, r.BPType4);
      r.AvYType4 = reg.AvY[2];
      reg.CalcType = 3;
      ComputeGroupStatistics(s, r.BPType3);
      r.AvYType3 = reg.AvY[1];
    }
    if (r.BothTypesFound) ComputeCombinedLine(s);
    WriteResultTables(s, r.BreakPoint, r.ResultType);
  }
  if (r.ResultType < 2) r.BothTypesFound = false;
  WriteSummary(s);
  reg.OutFile.Commit();
  reg.VarFile.Commit();
}

void Search(AppState& s) {
  Regres1State& reg = s.Reg;
  SharedResults& r = s.R;
  TDMTulmex& dm = s.DM;
  CheckDataHeld(dm);
  r.SkipType3 = r.SkipType4 = false;
  SortByX(dm);

  const std::int32_t n = dm.NrOfData;
  std::int32_t distinct = n;
  for (std::int32_t i = 1; i < n; ++i) {
    if (dm.XData.at(i) == dm.XData.at(i - 1)) --distinct;
  }
  if (distinct < 10) {
    r.DataUnfit = true;
    s.platform.ShowMessage(kScarcityMessage);
    return;
  }
  for (std::int32_t i = 0; i < n; ++i) {
    const double x = dm.XData.at(i), y = dm.YData.at(i);
    if (!(std::fabs(x) <= kLargestValue && std::fabs(y) <= kLargestValue)) {
      r.DataUnfit = true;
      s.platform.ShowMessage(kTooLargeMessage);
      return;
    }
  }
  // The extremes come from the data (sorted, so the first and the last).
  r.XMin = dm.XData.at(0);
  r.XMax = dm.XData.at(n - 1);
  r.DataUnfit = false;
  if (r.XMax - r.XMin < 0.001) {
    s.platform.ShowMessage(kNoVariationMessage);
    r.DataUnfit = true;
    return;
  }
  BeginSortedData(s);
  reg.BPStep = (r.XMax - r.XMin) / 200;
  for (int k = 1; k <= 200; ++k) reg.BPCandidate[k] = r.XMin + (k - 1) * reg.BPStep;

  // The straight line through all data (all of them lie above XMin).
  r.ResultType = 1;
  ComputeExplanation(s, reg.BPCandidate[1], reg.CoefExplLinear, r.ResultType, r.ResultMethod);
  reg.TotalSSX = reg.GroupStat[2].SSX;
  r.BreakPoint = r.XMin;
  r.SlopeAll = reg.GroupStat[2].Slope;
  r.SlopeAllGraph = r.SlopeAll;

  Scans(s);
  if (ChooseType(s) == Choice::SecondPass) {
    Scans(s);
    GraphDataAndRangeTest(s);
  } else {
    DeleteExplanationFile(s);
    r.ResultType = 1;
  }
  WriteOutputFiles(s);
}

}  // namespace

void PartialRegression(AppState& s) {
  try {
    Search(s);
  } catch (...) {
    // A half-written result file is never put in place.
    EndSortedData(s);
    s.Reg.OutFile.Discard();
    s.Reg.VarFile.Discard();
    throw;
  }
  EndSortedData(s);
}

}  // namespace kinvalo
