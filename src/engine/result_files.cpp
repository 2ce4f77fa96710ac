#include "engine/result_files.h"

#include <cmath>
#include <string>

#include "core/format.h"
#include "core/paths.h"

namespace kinvalo {

namespace {

// ---------------------------------------------------------------------------
// The explanation table (.txt)

void WriteExplanationHeader(TextWriter& out, const ExplanationTable& table) {
  const bool type3 = table.type == FunctionType::Threshold;
  out.WriteLine(out.Path());
  out.WriteLine("");
  if (type3) {
    out.WriteLine(" BP=breakpoint, Nr1 = number of data below BP, AvY1 = average Y below BP");
  } else {
    out.WriteLine(" BP=breakpoint, Number1 = number of data below BP, AvY1 = average Y below BP");
  }
  out.WriteLine(" AvX1 = average X below BP, AvY2 = average Y above BP, AvX2 = average X above BP");
  out.WriteLine(" Slope1 = regr. coeff. for all points below BP");
  out.WriteLine(" Slope2 = regr. coeff. for all points above BP");
  if (type3) {
    out.WriteLine(" Slope3 = slope of line connecting point (BP,Ybp) with point (AvX2, AvY2)");
    out.WriteLine(" Ybp = Y at BP, StDevSlope1 = 1,25*standard deviation of Slope1");
    if (table.positive) {
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
    if (table.positive) {
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

// A table of one line per candidate or per data set is rendered into one
// buffer, handed to the file whenever it holds this much.
constexpr std::size_t kTableBlock = std::size_t{64} << 10;

// Appends one line of the explanation table, with its line end.
void AppendExplanationLine(std::string& out, const ExplanationRow& row, FunctionType type) {
  const BreakpointSides& sides = row.fit.sides;
  const SideStatistics& below = sides[kBelow];
  const SideStatistics& above = sides[kAbove];
  const bool type3 = type == FunctionType::Threshold;
  // The tested slope is the one of the side that should be horizontal.
  const double se = sides[type3 ? kBelow : kAbove].stErrSlope;
  // The fields as Fields() parts them.
  const std::size_t start = out.size();
  auto fixed = [&](double value, int width, int decimals) {
    const std::size_t at = out.size();
    AppendF(out, value, width, decimals);
    SeparateField(out, start, at);
  };
  fixed(row.breakpoint, 8, 2);
  fixed(below.n, 4, 0);
  fixed(below.avY, 8, 2);
  fixed(below.avX, 8, 2);
  fixed(below.slope, 8, type3 ? 3 : 2);
  fixed(above.slope, 8, type3 ? 2 : 3);
  fixed(row.fit.segmentSlope[type3 ? kAbove : kBelow], 8, 2);
  fixed(above.avY, 8, 2);
  fixed(above.avX, 8, 2);
  if (se == NotAvailable) {
    out += "       n.a.";
  } else {
    fixed(1.25 * se, 11, 3);
  }
  out += row.passed ? "      #\r\n" : "      o\r\n";
}

// ---------------------------------------------------------------------------
// The statistics of the report's tables

// The table of the straight line or of the result's breakpoint: the sides
// with the deviations of the sloping side taken about its segment, the
// slopes of the segments, the residual sums of squares about them and the
// standard errors.
struct ResultTable {
  double breakpoint = 0;
  BreakpointSides sides;
  PerSide<double> segmentSlope{};
  PerSide<double> residualSS{};
  double coefExpl = 0;
  SegmentErrors errors;
};

// The deviations of the sloping side from the segment that runs from the
// level of the horizontal side at the breakpoint through the sloping side's
// centre.
void SlopingSideDeviations(SideStatistics& st, double residual) {
  const double n = st.n;
  st.resSS = residual;
  st.stDevRes = n > 1 ? std::sqrt(residual / (n - 1)) : NotAvailable;
  if (n > 2) {
    st.stErrSlope = st.ssx != 0 ? std::sqrt(residual / ((n - 2) * st.ssx)) : NotAvailable;
  }
}

ResultTable ComputeResultTable(SortedSplitter& splitter, double bp, FunctionType type,
                               const FitTotals& totals) {
  const Sample d = splitter.data();
  ResultTable t;
  t.breakpoint = bp;
  t.sides = splitter.SplitAt(bp);
  SideStatistics& below = t.sides[kBelow];
  SideStatistics& above = t.sides[kAbove];
  t.segmentSlope = {below.slope, above.slope};
  if (type == FunctionType::Threshold) {
    t.segmentSlope[kBelow] = 0;
    const double slope = above.avX == bp ? 0 : (above.avY - below.avY) / (above.avX - bp);
    double sum = 0;
    for (std::int32_t i = 0; i < d.size(); ++i) {
      if (d.x[i] > bp) {
        const double e = (d.y[i] - below.avY) - slope * (d.x[i] - bp);
        sum += e * e;
      }
    }
    SlopingSideDeviations(above, sum);
  } else if (type == FunctionType::Plateau) {
    t.segmentSlope[kAbove] = 0;
    const double slope = bp == below.avX ? 0 : (above.avY - below.avY) / (bp - below.avX);
    double sum = 0;
    for (std::int32_t i = 0; i < d.size(); ++i) {
      if (d.x[i] < bp) {
        const double e = (d.y[i] - above.avY) - slope * (d.x[i] - bp);
        sum += e * e;
      }
    }
    SlopingSideDeviations(below, sum);
  }
  for (std::int32_t i = 0; i < d.size(); ++i) {
    const double x = d.x[i];
    const SideIndex k = x < bp ? kBelow : kAbove;
    const double e = (d.y[i] - t.sides[k].avY) - t.segmentSlope[k] * (x - t.sides[k].avX);
    t.residualSS[k] += e * e;
  }
  const double rss = t.residualSS[kBelow] + t.residualSS[kAbove];
  t.coefExpl = totals.ssy != 0 ? 1 - rss / totals.ssy : 0;
  t.errors = ComputeSegmentErrors(t.sides, t.residualSS, bp, totals.ssx);
  return t;
}

// A standard error or residual deviation that is not available is printed
// as 0.
double NotAvailableAsZero(double value) { return value == NotAvailable ? 0 : value; }

// ---------------------------------------------------------------------------
// The report (.out) and the raw variance lines

class ReportWriter {
 public:
  ReportWriter(TextWriter& out, std::vector<std::string>& var, const SearchResult& r)
      : out_(out), var_(var), r_(r), splitter_(r.sample()) {}

  VarianceSums Write();
  // The coefficient of explanation of the result, as the report shows it.
  double CoefExpl() const { return coefExpl_; }

 private:
  void Heading();
  void StraightLineCaption();
  void BreakpointCaption();
  void GroupRows(const ResultTable& t, SideIndex side);
  void Tables(const ResultTable& t);
  void ParameterTable(const ResultTable& t, FunctionType type, PerSide<double>& segmentSlope);
  void Summary(const ResultTable& t, PerSide<double> segmentSlope);

  // A position on the X axis in an E field of `width` with 4 significant
  // digits, or more where the field has room and the data lie far from
  // zero beside their range.
  std::string OnXAxis(double value, int width) const {
    return E(value, width, DigitsFor(value, r_.xMax - r_.xMin, 4, width));
  }

  TextWriter& out_;
  std::vector<std::string>& var_;
  const SearchResult& r_;
  SortedSplitter splitter_;
  VarianceSums sums_;
  double coefExpl_ = 0;
};

void ReportWriter::Heading() {
  const std::string name = ExtractFileName(r_.options.inputPath);
  out_.WriteLine(" Results of program Kinvalo for partial linear regression of Y upon X.");
  out_.WriteLine(" Y is the dependent variable.");
  out_.WriteLine(" There can be different types of functions ranging from type 0 to type 6");
  out_.WriteLine(" and (for types 2, 3 and 4) two methods of calculation.");
  out_.WriteLine(" THIS KINVALO PROGRAM DETECTS OVER WHICH PART OF THE DATA RANGE THE SLOPE");
  out_.WriteLine(" CAN BE TAKEN ZERO LIKE IN TYPE 3.");
  out_.WriteLine("");
  out_.WriteLine(" Name of this output file:  " + ChangeFileExt(name, ".out"));
  out_.WriteLine(" Name of input file used :  " + ChangeFileExt(name, ".inp"));
  out_.WriteLine("");
  out_.WriteLine(" " + r_.options.title1);
  out_.WriteLine(" " + r_.options.title2);
  out_.WriteLine(" Minimum confidence % : " + I(r_.options.confidence.Percent()));
  if (r_.skipType3 || r_.skipType4) {
    out_.WriteLine(std::string(" X-type excluded:") + (r_.skipType3 ? " 3 " : "") +
                   (r_.skipType4 ? " 4 " : ""));
  }
  if (r_.options.preference == Preference::PreferType3) out_.WriteLine(" X-type preferred: 3 ");
  else if (r_.options.preference == Preference::PreferType4) out_.WriteLine(" X-type preferred: 4 ");
  out_.WriteLine("");
}

void ReportWriter::StraightLineCaption() {
  out_.WriteLine(" Regression of Y upon X without breakpoint (BPx=Xmin).");
  out_.WriteLine(" X is the independent variable.");
  out_.WriteLine(" The table below gives the following series of values respectively:");
  out_.WriteLine("    Breakpoint(BPx)    number of data        Av.Y          Av.X");
  out_.WriteLine("    Regr.Coeff.(RC)    Corr.Coeff.Sq.      St.Dev.RC      Y(X=0)");
  out_.WriteLine("      St.Dev.Y           St.Dev.Yr         St.Dev.X");
}

void ReportWriter::BreakpointCaption() {
  if (!(r_.breakpoint > r_.xMin)) return;
  out_.WriteLine("");
  out_.WriteLine(" Results of regression of Y upon X with optimal breakpoint (BPx)");
  out_.WriteLine(" X is the independent variable.");
  out_.WriteLine(" The table below gives the following series of values respectively:");
  out_.WriteLine("    Breakpoint(BPx)    number of data        Av.Y          Av.X");
  out_.WriteLine("    Regr.Coeff.(RC)    Corr.Coeff.Sq.      St.Dev.RC       Y(X=0)");
  out_.WriteLine("      St.Dev.Y           St.Dev.Yr         St.Dev.X");
  out_.WriteLine(" for the data with X-values smaller and greater  than BPx followed");
  out_.WriteLine(" by the function parameters.");
}

// The three rows of one side's statistics at the table's breakpoint.
void ReportWriter::GroupRows(const ResultTable& t, SideIndex side) {
  const SideStatistics& st = t.sides[side];
  out_.WriteLine(Fields({" BPx=", F(t.breakpoint, 7, 2), E(st.n, 22, 3), E(st.avY, 17, 3), OnXAxis(st.avX, 15)}));
  out_.WriteLine(E(st.slope, 13, 3) + E(st.r2, 21, 3) + E(NotAvailableAsZero(st.stErrSlope), 17, 3) +
                 E(st.intercept, 14, 3));
  out_.WriteLine(E(st.stDevY, 13, 3) + E(NotAvailableAsZero(st.stDevRes), 21, 3) + E(st.stDevX, 17, 3));
}

void ReportWriter::Tables(const ResultTable& t) {
  const bool split = t.breakpoint > r_.xMin;
  if (split) {
    // The raw lines keep the breakpoint(s) and the residual sum of squares
    // of the break-point model. A blank always parts the two
    // breakpoints: dates as X (20240115.000) fill the field.
    if (r_.bothTypesFound) {
      sums_.ssr2 = r_.combined.residualSS;
      var_.push_back(F(r_.type3.breakpoint, 12, 3) + " " + F(r_.type4.breakpoint, 11, 3));
    } else {
      sums_.ssr2 = t.residualSS[kBelow] + t.residualSS[kAbove];
      var_.push_back(F(r_.breakpoint, 12, 3));
    }
    var_.push_back(F(*sums_.ssr2, 12, 3));
    out_.WriteLine("");
    out_.WriteLine(" Data with X < BPx :");
    GroupRows(t, kBelow);
    out_.WriteLine(" Data with X > BPx :");
  } else {
    out_.WriteLine("");
  }
  GroupRows(t, kAbove);
  if (!split) {
    sums_.n = r_.sample().size();
    sums_.sst = t.sides[kAbove].ssy;
    sums_.ssr1 = t.sides[kAbove].resSS;
    var_.push_back(" 1");
    var_.push_back(I(sums_.n, 5));
    var_.push_back(E(sums_.sst, 12, 3));
    var_.push_back(E(sums_.ssr1, 12, 3));
    if (r_.type == FunctionType::StraightLine) var_.push_back(" -99999");
  }
}

void ReportWriter::ParameterTable(const ResultTable& t, FunctionType type,
                                  PerSide<double>& segmentSlope) {
  const SideStatistics& st1 = t.sides[kBelow];
  const SideStatistics& st2 = t.sides[kAbove];
  const double N1 = st1.n;
  const double N2 = st2.n;
  const double N = r_.sample().size();
  const double BP = t.breakpoint;
  const double avY1 = st1.avY, avY2 = st2.avY;

  auto sdr = [](double rss, double n) { return rss > 0 && n > 1 ? std::sqrt(rss / (n - 1)) : rss; };
  const double SDR1 = sdr(t.residualSS[kBelow], N1);
  const double SDR2 = sdr(t.residualSS[kAbove], N2);
  const double p1 = N1 / N;
  const double p2 = N2 / N;

  // The increase of Y over the breakpoint, measured from the horizontal
  // level to the far end of the sloping side when it runs the other way.
  double D4 = (avY2 - avY1) * p1;
  double P4 = p1;
  bool Alt4 = false;
  if (D4 > 0 && type == FunctionType::Plateau) {
    const double Ytop = segmentSlope[kBelow] > 0 ? (BP - r_.xMin) * segmentSlope[kBelow] + avY2 : 0;
    P4 = p2;
    D4 = (Ytop - avY2) * P4 + (1 - P4) * (Ytop - avY1);
    Alt4 = true;
  }
  double D3 = (avY1 - avY2) * p2;
  double P3 = p2;
  bool Alt3 = false;
  if (D3 < 0 && type == FunctionType::Threshold) {
    const double Ybot = segmentSlope[kAbove] > 0 ? (r_.xMax - BP) * segmentSlope[kAbove] + avY1 : 0;
    P3 = p1;
    D3 = (Ybot - avY1) * P3 + (1 - P3) * (Ybot - avY2);
    Alt3 = true;
  }
  const double Vp = (N1 * N2 / (N * N)) / N;
  auto meanVariance = [](const SideStatistics& st, double n) {
    return n > 0 ? st.stDevY * st.stDevY / n : 0.0;
  };
  const double VA = Alt4 ? meanVariance(st2, N2) : meanVariance(st1, N1);
  const double VB = Alt3 ? meanVariance(st1, N1) : meanVariance(st2, N2);
  const double VD = VA + VB;
  const double dY = avY2 - avY1;
  const double q4 = Alt4 ? p2 : p1;
  const double q3 = Alt3 ? p1 : p2;
  const double SE4 = std::sqrt(dY * dY * Vp + q4 * q4 * VD);
  const double SE3 = std::sqrt(dY * dY * Vp + q3 * q3 * VD);
  const double SEp = std::sqrt(Vp);
  const PartialResult& t3 = r_.type3;
  const PartialResult& t4 = r_.type4;
  const SegmentErrors& errors = t.errors;

  out_.WriteLine("");
  if (type == FunctionType::Threshold) {
    out_.WriteLine(" Parameters for function type 3 and method" + I(r_.method, 3));
    out_.WriteLine(std::string("   Slope > BPx              Ybp") +
                   (Alt3 ? "              N</Nt      increase Yi" : "              N>/Nt      increase Yi"));
    if (segmentSlope[kAbove] == 0) {
      segmentSlope[kAbove] = st2.avX == t3.breakpoint ? 10.0 : (avY2 - avY1) / (st2.avX - t3.breakpoint);
    }
    out_.WriteLine(E(segmentSlope[kAbove], 13, 3) + E(avY1, 21, 3) + E(P3, 17, 3) + E(D3, 14, 3));
    out_.WriteLine(std::string("  St.Err.Slope>BPx       St.Err.BPx") +
                   (Alt3 ? "      St.Err.N</Nt    St.Err.Yi" : "      St.Err.N>/Nt    St.Err.Yi"));
    out_.WriteLine(E(NotAvailableAsZero(errors.stErrSlopeAbove), 13, 3) + E(t3.stErrBP, 21, 3) + E(SEp, 17, 3) + E(SE3, 14, 3));
  } else {
    out_.WriteLine(" Parameters for function type 4 and method" + I(r_.method, 3));
    out_.WriteLine(std::string("   Slope < BPx              Ybp") +
                   (Alt4 ? "              N>/Nt      increase Yi" : "              N</Nt      increase Yi"));
    if (segmentSlope[kBelow] == 0) {
      segmentSlope[kBelow] = t4.breakpoint == st1.avX ? 10.0 : (avY2 - avY1) / (t4.breakpoint - st1.avX);
    }
    out_.WriteLine(E(segmentSlope[kBelow], 13, 3) + E(avY2, 21, 3) + E(P4, 17, 3) + E(D4, 14, 3));
    out_.WriteLine(std::string("  St.Err.Slope<BPx       St.Err.BPx") +
                   (Alt4 ? "      St.Err.N>/Nt    St.Err.Yi" : "      St.Err.N</Nt    St.Err.Yi"));
    out_.WriteLine(E(NotAvailableAsZero(errors.stErrSlopeBelow), 13, 3) + E(t4.stErrBP, 21, 3) + E(SEp, 17, 3) + E(SE4, 14, 3));
  }
  out_.WriteLine("   St.Dev.Yr < BPx     St.Dev.Yr > BPx    St.Dev.Ybp");
  out_.WriteLine(E(SDR1, 13, 3) + E(SDR2, 21, 3) + E(errors.stDevYAtBreakpoint, 17, 3));
  // The central explanation is never below the table's own.
  const double central = r_.combined.coefExpl < t.coefExpl ? t.coefExpl : r_.combined.coefExpl;
  if (type == FunctionType::Threshold) {
    out_.WriteLine("   Slope < BPx         St.Err.Slope<BPx   Expl. Coeff.  Central expl.");
    out_.WriteLine(E(segmentSlope[kBelow], 13, 3) + E(NotAvailableAsZero(errors.stErrSlopeBelow), 21, 3) + E(t.coefExpl, 17, 3) +
                   E(central, 14, 3));
    out_.WriteLine("   Conf. BP left       Conf. BP right     Av. Y end     BP end");
    out_.WriteLine(OnXAxis(t3.confLeft, 13) + OnXAxis(t3.confRight, 21) + E(t4.level, 17, 3) +
                   OnXAxis(t4.breakpoint, 15));
    out_.WriteLine("   Conf. BP end low    Conf. BP end high  ");
    out_.WriteLine(OnXAxis(t4.confLeft, 13) + OnXAxis(t4.confRight, 21));
  } else {
    out_.WriteLine("   Slope > BPx         St.Err.Slope>BPx   Expl. Coeff.  Central expl.");
    out_.WriteLine(E(segmentSlope[kAbove], 13, 3) + E(NotAvailableAsZero(errors.stErrSlopeAbove), 21, 3) + E(t.coefExpl, 17, 3) +
                   E(central, 14, 3));
    out_.WriteLine("   Conf. BP left       Conf. BP right     Av. Y top     BP top");
    out_.WriteLine(OnXAxis(t4.confLeft, 13) + OnXAxis(t4.confRight, 21) + E(t3.level, 17, 3) +
                   OnXAxis(t3.breakpoint, 14));
    out_.WriteLine("   Conf. BP top low    Conf. BP top high  ");
    out_.WriteLine(OnXAxis(t3.confLeft, 13) + OnXAxis(t3.confRight, 21));
  }
}

void ReportWriter::Summary(const ResultTable& t, PerSide<double> slope) {
  const FunctionType type = r_.type;
  const SideStatistics& below = t.sides[kBelow];
  const SideStatistics& above = t.sides[kAbove];
  out_.WriteLine("");
  out_.WriteLine(" SUMMARY OF THE Y-X REGRESSION.");
  if (type == FunctionType::Threshold) {
    out_.WriteLine(" Function type : 3  - first a horizontal segment, then sloping.");
    out_.WriteLine(" Calc. method  :" + I(r_.method, 2));
  } else if (type == FunctionType::Plateau) {
    out_.WriteLine(" Function type : 4  - first a sloping segment, then horizontal.");
    out_.WriteLine(" Calc. method  :" + I(r_.method, 2));
  }
  out_.WriteLine(" See help functions on Intro tabsheet");
  out_.WriteLine("");

  // The equation coefficients. The printed slope of the sloping side runs
  // from the level of the horizontal side at the breakpoint to the mean
  // point of the sloping side; its intercept and Ycalc use the regression
  // slope, which must not point against the relation of all data.
  double As = slope[kBelow];
  double Ag = slope[kAbove];
  auto signRule = [&](double& printed, double& used) {
    if (r_.slopeAll <= 0) {
      if (printed > 0) printed = 0;
      if (used > 0) used = 0;
    } else {
      if (printed < 0) printed = 0;
      if (used < 0) used = 0;
    }
  };
  const double bp = r_.breakpoint;
  if (type == FunctionType::Threshold) {
    As = 0;
    Ag = above.avX == bp ? 10.0 : (above.avY - below.avY) / (above.avX - bp);
    signRule(Ag, slope[kAbove]);
  } else if (type == FunctionType::Plateau) {
    Ag = 0;
    As = bp == below.avX ? 10.0 : (above.avY - below.avY) / (bp - below.avX);
    signRule(As, slope[kBelow]);
  }
  double Cs = below.avY - As * below.avX;
  double Cg = above.avY - Ag * above.avX;
  if (type == FunctionType::Threshold) Cg = above.avY - slope[kAbove] * above.avX;
  if (type == FunctionType::Plateau) Cs = below.avY - slope[kBelow] * below.avX;

  if (HasHorizontalSegment(type)) {
    out_.WriteLine(Fields({" Optimal breakpoint of X (BPx) :", E(bp, 11, 4)}));
    out_.WriteLine("");
    out_.WriteLine(" There are two regression equations:");
    out_.WriteLine("");
    out_.WriteLine(" when X is smaller than BPx:  Y = AsX + Cs");
    out_.WriteLine(" when X is greater than BPx:  Y = AgX + Cg");
    out_.WriteLine("");
    out_.WriteLine("     As = " + E(As, 10, 3) + "       Ag = " + E(Ag, 10, 3));
    out_.WriteLine("     Cs = " + E(Cs, 10, 3) + "       Cg = " + E(Cg, 10, 3));
  } else {
    out_.WriteLine(" The regression equation is:  Y = A.X + C");
    out_.WriteLine("");
    out_.WriteLine("      A = " + E(Ag, 10, 3) + "     C = " + E(Cg, 10, 3));
  }
  out_.WriteLine("");
  out_.WriteLine(" Serial        Yobs          X         Ycalc");
  out_.WriteLine(" " + std::string(46, '-'));

  const Sample d = r_.sample();
  std::string block;
  block.reserve(kTableBlock + 256);
  for (std::int32_t i = 1; i <= d.size(); ++i) {
    const double x = d.x[i - 1];
    const double y = d.y[i - 1];
    // The lines of the equations, taken from the centre of each side
    // rather than from X = 0, so that data far from zero keep their digits.
    double ycalc = above.avY + Ag * (x - above.avX);
    if (type == FunctionType::Threshold) {
      ycalc = x < bp ? below.avY : above.avY + slope[kAbove] * (x - above.avX);
    }
    if (type == FunctionType::Plateau) {
      ycalc = x < bp ? below.avY + slope[kBelow] * (x - below.avX) : above.avY;
    }
    AppendI(block, i, 4);
    block += "      ";
    AppendE(block, y, 12, 3);
    AppendE(block, x, 12, 4);
    AppendE(block, ycalc, 12, 3);
    if (i > r_.data.nrOfInputData) block += "  Added";
    block += "\r\n";
    if (block.size() >= kTableBlock) {
      out_.Write(block);
      block.clear();
    }
  }
  out_.Write(block);
}

VarianceSums ReportWriter::Write() {
  Heading();
  StraightLineCaption();
  const ResultTable line =
      ComputeResultTable(splitter_, r_.xMin, FunctionType::StraightLine, r_.totals);
  Tables(line);
  coefExpl_ = line.coefExpl;
  if (!HasHorizontalSegment(r_.type)) {
    BreakpointCaption();
    Summary(line, line.segmentSlope);
    return sums_;
  }
  BreakpointCaption();
  const ResultTable table = ComputeResultTable(splitter_, r_.breakpoint, r_.type, r_.totals);
  Tables(table);
  coefExpl_ = table.coefExpl;
  PerSide<double> slope = table.segmentSlope;
  ParameterTable(table, r_.type, slope);
  if (table.breakpoint > r_.xMin || r_.type == FunctionType::Threshold) out_.WriteLine("");
  Summary(table, slope);
  return sums_;
}

}  // namespace

void WriteExplanationTable(TextWriter& out, const ExplanationTable& table) {
  WriteExplanationHeader(out, table);
  std::string block;
  for (const ExplanationRow& row : table.rows) {
    AppendExplanationLine(block, row, table.type);
    if (block.size() >= kTableBlock) {
      out.Write(block);
      block.clear();
    }
  }
  out.Write(block);
}

VarianceSums WriteOutputReport(TextWriter& out, std::vector<std::string>& rawVariance,
                               const SearchResult& result) {
  return ReportWriter(out, rawVariance, result).Write();
}

ResultFiles WriteResultFiles(const SearchResult& result, FileSet& files) {
  const std::string& input = result.options.inputPath;
  const std::string txtPath = ChangeFileExt(input, ".txt");
  if (result.explanation) {
    TextWriter& txt = files.Stage(txtPath);
    WriteExplanationTable(txt, *result.explanation);
  } else {
    files.Remove(txtPath);
  }
  TextWriter& out = files.Stage(ChangeFileExt(input, ".out"));
  ResultFiles written;
  ReportWriter report(out, written.rawVariance, result);
  written.sums = report.Write();
  written.coefExpl = report.CoefExpl();
  return written;
}

}  // namespace kinvalo
