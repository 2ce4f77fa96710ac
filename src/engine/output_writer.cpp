#include <string>

#include "core/format.h"
#include "core/paths.h"
#include "regression/regres1.h"
#include "engine/engine.h"
#include "engine/engine_internal.h"

namespace kinvalo {

namespace {

// A standard error or residual deviation of 100000 or more stands for one
// that is not available; it is printed, and kept, as 0.
double NotAvailableAsZero(double& value) {
  if (value >= 100000.0) value = 0;
  return value;
}

int ConfidencePercent(double factor) {
  if (factor < 1.8) return 90;
  if (factor < 2.2) return 95;
  return 98;
}

}  // namespace

void WriteOutputHeader(AppState& s) {
  TextWriter& out = s.Reg.OutFile;
  const SharedResults& r = s.R;
  switch (s.Reg.HeaderSection) {
    case 1: {
      const std::string name = ExtractFileName(s.DM.FileName);
      out.WriteLine(" Results of program Kinvalo for partial linear regression of Y upon X.");
      out.WriteLine(" Y is the dependent variable.");
      out.WriteLine(" There can be different types of functions ranging from type 0 to type 6");
      out.WriteLine(" and (for types 2, 3 and 4) two methods of calculation.");
      out.WriteLine(" THIS KINVALO PROGRAM DETECTS OVER WHICH PART OF THE DATA RANGE THE SLOPE");
      out.WriteLine(" CAN BE TAKEN ZERO LIKE IN TYPE 3.");
      out.WriteLine("");
      out.WriteLine(" Name of this output file:  " + ChangeFileExt(name, ".out"));
      out.WriteLine(" Name of input file used :  " + ChangeFileExt(name, ".inp"));
      out.WriteLine("");
      out.WriteLine(" " + s.DM.Title1);
      out.WriteLine(" " + s.DM.Title2);
      out.WriteLine(" Minimum confidence % : " + I(ConfidencePercent(r.ConfidenceFactor)));
      if (r.SkipType3 || r.SkipType4) {
        out.WriteLine(std::string(" X-type excluded:") + (r.SkipType3 ? " 3 " : "") +
                      (r.SkipType4 ? " 4 " : ""));
      }
      if (s.RadioButton1()) out.WriteLine(" X-type preferred: 3 ");
      else if (s.RadioButton2()) out.WriteLine(" X-type preferred: 4 ");
      out.WriteLine("");
      break;
    }
    case 2:
      out.WriteLine(" Regression of Y upon X without breakpoint (BPx=Xmin).");
      out.WriteLine(" X is the independent variable.");
      out.WriteLine(" The table below gives the following series of values respectively:");
      out.WriteLine("    Breakpoint(BPx)    number of data        Av.Y          Av.X");
      out.WriteLine("    Regr.Coeff.(RC)    Corr.Coeff.Sq.      St.Dev.RC      Y(X=0)");
      out.WriteLine("      St.Dev.Y           St.Dev.Yr         St.Dev.X");
      break;
    case 3:
      if (!(r.BreakPoint > r.XMin)) break;
      out.WriteLine("");
      out.WriteLine(" Results of regression of Y upon X with optimal breakpoint (BPx)");
      out.WriteLine(" X is the independent variable.");
      out.WriteLine(" The table below gives the following series of values respectively:");
      out.WriteLine("    Breakpoint(BPx)    number of data        Av.Y          Av.X");
      out.WriteLine("    Regr.Coeff.(RC)    Corr.Coeff.Sq.      St.Dev.RC       Y(X=0)");
      out.WriteLine("      St.Dev.Y           St.Dev.Yr         St.Dev.X");
      out.WriteLine(" for the data with X-values smaller and greater  than BPx followed");
      out.WriteLine(" by the function parameters.");
      break;
    default:
      break;
  }
}

void FormatGroupStats(AppState& s, std::uint8_t Side) {
  Regres1State& reg = s.Reg;
  GroupStats& st = reg.GroupStat.at(Side);
  auto& slot = reg.TextSlot;
  slot[0] = E(reg.GroupSum.at(Side).N, 22, 3);
  slot[1] = E(st.AvY, 17, 3);
  slot[2] = E(st.AvX, 15, 4);
  slot[3] = E(st.Slope, 13, 3);
  slot[4] = E(st.R2, 21, 3);
  slot[5] = E(NotAvailableAsZero(st.StErrSlope), 17, 3);
  slot[6] = E(st.Intercept, 14, 3);
  slot[7] = E(st.StDevY, 13, 3);
  slot[8] = E(NotAvailableAsZero(st.StDevRes), 21, 3);
  slot[9] = E(st.StDevX, 17, 3);
}

namespace {

// The three group rows of one side at breakpoint BP.
void WriteGroupRows(AppState& s, double BP, std::uint8_t side) {
  FormatGroupStats(s, side);
  const auto& slot = s.Reg.TextSlot;
  TextWriter& out = s.Reg.OutFile;
  out.WriteLine(" BPx=" + F(BP, 7, 2) + slot[0] + slot[1] + slot[2]);
  out.WriteLine(slot[3] + slot[4] + slot[5] + slot[6]);
  out.WriteLine(slot[7] + slot[8] + slot[9]);
}

}  // namespace

void WriteResultTables(AppState& s, double& BP, std::uint8_t Type) {
  Regres1State& reg = s.Reg;
  const SharedResults& r = s.R;
  TextWriter& out = reg.OutFile;
  TextWriter& var = reg.VarFile;
  const double coef = ResultStatisticsPass(s, BP, Type);
  const bool split = BP > r.XMin;
  if (split) {
    // The variance analysis reads the breakpoint(s) and the residual sum of
    // squares of the break-point model. A blank always parts the two
    // breakpoints: dates as X (20240115.000) fill the field.
    if (r.BothTypesFound) {
      var.WriteLine(F(r.BPType3, 12, 3) + " " + F(r.BPType4, 11, 3));
      var.WriteLine(F(reg.ResidualSSCombined, 12, 3));
    } else {
      var.WriteLine(F(r.BreakPoint, 12, 3));
      var.WriteLine(F(reg.ResidualSS[1] + reg.ResidualSS[2], 12, 3));
    }
    out.WriteLine("");
    out.WriteLine(" Data with X < BPx :");
    WriteGroupRows(s, BP, 1);
    out.WriteLine(" Data with X > BPx :");
  } else {
    out.WriteLine("");
  }
  WriteGroupRows(s, BP, 2);
  if (!split) {
    var.WriteLine(" 1");
    var.WriteLine(I(s.DM.NrOfData, 5));
    var.WriteLine(E(reg.GroupStat[2].SSY, 12, 3));
    var.WriteLine(E(reg.GroupStat[2].ResSS, 12, 3));
    if (r.ResultType == 1) var.WriteLine(" -99999");
  }
  ComputeStandardErrors(s, Type, r.ResultMethod, BP);
  if (Type == 3 || Type == 4) WriteParameterTable(s, BP, Type, coef);
  if (split || Type == 3) out.WriteLine("");
}

void WriteSummary(AppState& s) {
  Regres1State& reg = s.Reg;
  const SharedResults& r = s.R;
  const TDMTulmex& dm = s.DM;
  TextWriter& out = reg.OutFile;
  const std::uint8_t type = r.ResultType;

  out.WriteLine("");
  out.WriteLine(" SUMMARY OF THE Y-X REGRESSION.");
  if (type == 1) {
    s.platform.ShowMessage(kNoHorizontalSegment);
  } else if (type == 3) {
    out.WriteLine(" Function type : 3  - first a horizontal segment, then sloping.");
    out.WriteLine(" Calc. method  :" + I(r.ResultMethod, 2));
  } else if (type == 4) {
    out.WriteLine(" Function type : 4  - first a sloping segment, then horizontal.");
    out.WriteLine(" Calc. method  :" + I(r.ResultMethod, 2));
  }
  out.WriteLine(" See help functions on Intro tabsheet");
  out.WriteLine("");

  // The equation coefficients. The printed slope of the sloping side runs
  // from the level of the horizontal side at the breakpoint to the mean
  // point of the sloping side; its intercept and Ycalc use the regression
  // slope, which must not point against the relation of all data.
  double As = reg.SegSlope[1];
  double Ag = reg.SegSlope[2];
  auto signRule = [&](double& printed, double& stored) {
    if (r.SlopeAll <= 0) {
      if (printed > 0) printed = 0;
      if (stored > 0) stored = 0;
    } else {
      if (printed < 0) printed = 0;
      if (stored < 0) stored = 0;
    }
  };
  if (type == 3) {
    As = 0;
    Ag = reg.AvX[2] == r.BreakPoint ? 10.0 : (reg.AvY[2] - reg.AvY[1]) / (reg.AvX[2] - r.BreakPoint);
    signRule(Ag, reg.SegSlope[2]);
  } else if (type == 4) {
    Ag = 0;
    As = r.BreakPoint == reg.AvX[1] ? 10.0 : (reg.AvY[2] - reg.AvY[1]) / (r.BreakPoint - reg.AvX[1]);
    signRule(As, reg.SegSlope[1]);
  }
  double Cs = reg.AvY[1] - As * reg.AvX[1];
  double Cg = reg.AvY[2] - Ag * reg.AvX[2];
  if (type == 3) Cg = reg.AvY[2] - reg.SegSlope[2] * reg.AvX[2];
  if (type == 4) Cs = reg.AvY[1] - reg.SegSlope[1] * reg.AvX[1];

  if (type == 3 || type == 4) {
    out.WriteLine(" Optimal breakpoint of X (BPx) :" + E(r.BreakPoint, 11, 4));
    out.WriteLine("");
    out.WriteLine(" There are two regression equations:");
    out.WriteLine("");
    out.WriteLine(" when X is smaller than BPx:  Y = AsX + Cs");
    out.WriteLine(" when X is greater than BPx:  Y = AgX + Cg");
    out.WriteLine("");
    out.WriteLine("     As = " + E(As, 10, 3) + "       Ag = " + E(Ag, 10, 3));
    out.WriteLine("     Cs = " + E(Cs, 10, 3) + "       Cg = " + E(Cg, 10, 3));
  } else {
    out.WriteLine(" The regression equation is:  Y = A.X + C");
    out.WriteLine("");
    out.WriteLine("      A = " + E(Ag, 10, 3) + "     C = " + E(Cg, 10, 3));
  }
  out.WriteLine("");
  out.WriteLine(" Serial        Yobs          X         Ycalc");
  out.WriteLine(" " + std::string(46, '-'));

  for (std::int32_t i = 1; i <= dm.NrOfData; ++i) {
    const double x = dm.XData.at(i - 1);
    const double y = dm.YData.at(i - 1);
    double ycalc = Ag * x + Cg;
    if (type == 3) ycalc = x < r.BreakPoint ? Cs : reg.SegSlope[2] * x + Cg;
    if (type == 4) ycalc = x < r.BreakPoint ? reg.SegSlope[1] * x + Cs : Cg;
    std::string row = I(i, 4) + "      " + E(y, 12, 3) + E(x, 12, 4) + E(ycalc, 12, 3);
    if (i > r.NrOfInputData) row += "  Added";
    out.WriteLine(row);
  }
}

}  // namespace kinvalo
