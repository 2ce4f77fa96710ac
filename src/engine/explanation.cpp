#include <string>

#include "core/format.h"
#include "engine/engine.h"

namespace kinvalo {

void WriteExplanationHeader(AppState& s, std::uint8_t type) {
  TextWriter& out = s.Reg.OutFile;
  const bool positive = s.R.SlopeAll > 0;
  out.WriteLine(out.Path());
  out.WriteLine("");
  if (type == 3) {
    out.WriteLine(" BP=breakpoint, Nr1 = number of data below BP, AvY1 = average Y below BP");
  } else {
    out.WriteLine(" BP=breakpoint, Number1 = number of data below BP, AvY1 = average Y below BP");
  }
  out.WriteLine(" AvX1 = average X below BP, AvY2 = average Y above BP, AvX2 = average X above BP");
  out.WriteLine(" Slope1 = regr. coeff. for all points below BP");
  out.WriteLine(" Slope2 = regr. coeff. for all points above BP");
  if (type == 3) {
    out.WriteLine(" Slope3 = slope of line connecting point (BP,Ybp) with point (AvX2, AvY2)");
    out.WriteLine(" Ybp = Y at BP, StDevSlope1 = 1,25*standard deviation of Slope1");
    if (positive) {
      out.WriteLine(" Check # = condition Slope1 < StDevSlope1 is met, Slope1 may be taken zero");
      out.WriteLine(" Check o = condition Slope1 < StDevSlope1 is not met, Slope1 is definitely positive");
    } else {
      out.WriteLine(" Check # = condition Slope1 > - StDevSlope1 is met, Slope1 may be taken zero");
      out.WriteLine(" Check o = condition Slope1 > - StDevSlope1 is not met, Slope1 is definitely negative");
    }
    out.WriteLine(" For relations of Type 3, the BP value at the LAST # sign is selected as threshold.");
    out.WriteLine("");
    out.WriteLine("    BP    Nr1   AvY1    AvX1   Slope1  Slope2  Slope3   AvY2    AvX2  StDevSlope1  Check");
  } else {
    out.WriteLine(" Slope3 = slope of line connecting point (BP,Ybp) with point (AvX1, AvY1)");
    out.WriteLine(" Ybp = Y at BP, StDevSlope2= 1.25*standard deviation of Slope2");
    if (positive) {
      out.WriteLine(" Check # = condition Slope2 < StDevSlope2 is met, Slope2 may be taken zero");
      out.WriteLine(" Check o = condition Slope2 < StDevSlope2 is not met, Slope2 is definitely postive");
    } else {
      out.WriteLine(" Check # = condition Slope2 > - StDevSlope2 is met, Slope2 may be taken zero");
      out.WriteLine(" Check o = condition Slope2 > - StDevSlope2 is not met, Slope2 is definitely negative");
    }
    out.WriteLine(" For relations of Type 4, the BP at the FIRST # sign is selected as threshold.");
    out.WriteLine("");
    out.WriteLine("    BP    Nr1   AvY1    AvX1   Slope1  Slope2  Slope3   AvY2    AvX2  StDevSlope2  Check");
  }
  out.WriteLine("");
}

void WriteExplanationRow(AppState& s, double BP, std::uint8_t type, bool hash) {
  const Regres1State& r = s.Reg;
  const GroupStats& below = r.GroupStat[1];
  const GroupStats& above = r.GroupStat[2];
  // The tested slope is the one of the side that should be horizontal.
  const int tested = type == 3 ? 1 : 2;
  const double se = r.GroupStat[tested].StErrSlope;
  std::string row = F(BP, 8, 2) + F(r.GroupSum[1].N, 4, 0) + F(r.AvY[1], 8, 2) + F(r.AvX[1], 8, 2);
  row += type == 3 ? F(below.Slope, 8, 3) + F(above.Slope, 8, 2)
                   : F(below.Slope, 8, 2) + F(above.Slope, 8, 3);
  row += F(type == 3 ? r.SegSlope[2] : r.SegSlope[1], 8, 2);
  row += F(r.AvY[2], 8, 2) + F(r.AvX[2], 8, 2);
  row += se == NotAvailable ? std::string("       n.a.") : F(1.25 * se, 11, 3);
  row += hash ? "      #" : "      o";
  s.Reg.OutFile.WriteLine(row);
}

}  // namespace kinvalo
