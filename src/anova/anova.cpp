#include "anova/anova.h"

#include <algorithm>
#include <boost/math/special_functions/beta.hpp>
#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/format.h"
#include "core/paths.h"
#include "core/textfile.h"

namespace kinvalo {

namespace {

// Reads the numbers of the raw variance file, line by line.
class RawReader {
 public:
  explicit RawReader(const std::string& path) : path_(path) {
    if (!in_.Open(path)) Fail("could not be opened");
  }
  void SkipLine() { Line(); }
  double Real() {
    const std::vector<std::string> tokens = SplitTokens(Line());
    double value = 0;
    if (tokens.empty() || !ParseReal(tokens.front(), value)) Fail("holds no number on this line");
    return value;
  }
  int Integer() {
    const std::vector<std::string> tokens = SplitTokens(Line());
    int value = 0;
    if (tokens.empty() || !ParseInt(tokens.front(), value)) Fail("holds no whole number on this line");
    return value;
  }
  [[noreturn]] void Fail(const std::string& what) const {
    throw std::runtime_error("The variance file \"" + path_ + "\", line " + std::to_string(line_) +
                             ", " + what + ".");
  }

 private:
  std::string Line() {
    line_ = in_.LineNumber();
    if (in_.AtEnd()) Fail("ends too early");
    return in_.ReadRawLine();
  }
  TextReader in_;
  std::string path_;
  int line_ = 0;
};

std::string SignificanceText(double p, int width) {
  return F(p > 99.9 ? 99.9 : p, width, 1) + " %";
}

struct Row {
  int numerator, denominator;
  double explained, meanSquare, f, p, residual, residualMeanSquare;
};

// How one block is laid out: the straight-line block has 33 blanks after its
// label and F and P 12 and 13 wide; the break-point blocks 34, 13 and 12.
struct BlockLayout {
  const char* caption;  // " explained by", " extra expl. by", " total expl. by"
  const char* label;    // "  lin. regr. ", "  break-point"
  int blanks, fWidth, pWidth;
};

constexpr BlockLayout kLinearBlock{" explained by", "  lin. regr. ", 33, 12, 13};
constexpr BlockLayout kExtraBlock{" extra expl. by", "  break-point", 34, 13, 12};
constexpr BlockLayout kTotalBlock{" total expl. by", "  break-point", 34, 13, 12};

void WriteBlock(TextWriter& out, const BlockLayout& layout, const Row& row, int w) {
  out.WriteLine(layout.caption);
  out.WriteLine(layout.label + std::string(static_cast<size_t>(layout.blanks), ' ') + " F(" +
                I(row.numerator) + "," + I(row.denominator, w) + ")=");
  out.WriteLine(F(row.explained, 12, 3) + std::string(14, ' ') + I(row.numerator, 1) +
                F(row.meanSquare, 15, 3) + F(row.f, layout.fWidth, 3) +
                SignificanceText(row.p, layout.pWidth));
  out.WriteLine("");
  out.WriteLine(" remaining");
  out.WriteLine(" unexplained");
  out.WriteLine(F(row.residual, 12, 3) + std::string(8, ' ') + I(row.denominator, 7) +
                F(row.residualMeanSquare, 15, 3));
}

}  // namespace

double FProbability(int m, int n, double F) {
  if (!(F > 0)) return 0.1;
  // The cumulative F distribution is the regularised incomplete beta
  // function at x = mF / (mF + n), written so that no F overflows it.
  const double x = 1 / (1 + n / (m * F));
  const double p = boost::math::ibeta(m / 2.0, n / 2.0, x);
  return std::clamp(100 * p, 0.1, 99.99);
}

void AnovaRun(const std::string& varPath, const VarianceModel& model, Platform& platform) {
  RawReader raw(varPath);
  raw.SkipLine();
  const int N = raw.Integer();
  const double SST = raw.Real();
  if (SST == 0) {
    platform.ShowMessage(kNoVariationAnova);
    return;
  }
  // The break-point rows need 5 data sets or more; the search refuses
  // fewer long before, so only a hand-made file gets here.
  if (N < 5) raw.Fail("holds fewer than 5 data sets");

  // The table goes to a temporary file beside the .var file, which then
  // takes its place in one step.
  TextWriter out;
  out.CreateOrThrow(varPath);
  const bool both = model.bothTypesFound;
  if (both) {
    out.WriteLine(" Variance Analysis, ANOVA table, Regression Types:3 and 4");
  } else {
    out.WriteLine(" Variance Analysis, ANOVA table, Regression Type:" + I(FileNumber(model.type), 2));
  }
  out.WriteLine(" File Name : " + ExtractFileName(varPath));
  out.WriteLine(" Sum[(Y-Av.Y)sq.] =" + F(SST, 12, 3) + "  (total sum of squares of deviations)");
  if (both) out.WriteLine(" Breakpoints at X = " + F(model.breakpointType3, 8, 3) + "   and " + F(model.breakpointType4, 8, 3));
  out.WriteLine("");
  out.WriteLine(" Total nr. of data  =" + I(N, 8));
  out.WriteLine(" Degrees of freedom =" + I(N - 1, 8));
  out.WriteLine("");
  out.WriteLine(" Sum of squares      Degrees of                          Probability/");
  out.WriteLine(" of deviations        freedom     Variance     F-Test    Significance");
  out.WriteLine(" " + std::string(68, '-'));

  const double SSR1 = raw.Real();
  const int w = N <= 10 ? 1 : (N <= 100 ? 2 : 3);
  const double SSE1 = SST - SSR1;
  const double MSR1 = SSR1 / (N - 2);
  const double F1 = MSR1 > 0 ? SSE1 / MSR1 : 0.0001;
  WriteBlock(out, kLinearBlock, {1, N - 2, SSE1, SSE1, F1, FProbability(1, N - 2, F1), SSR1, MSR1}, w);

  // The breakpoint(s) of a Type 3 or 4 result, or -99999 for a straight
  // line: the type tells which, since a breakpoint may lie at X = -99999.
  raw.Real();
  if (HasHorizontalSegment(model.type)) {
    const double SSR2 = raw.Real();
    const double MSR2 = SSR2 / (N - 4);
    const double SSX = SSR1 - SSR2;
    const double FX = MSR2 > 0 ? SSX / MSR2 : 0.000001;
    out.WriteLine("");
    WriteBlock(out, kExtraBlock,
               {2, N - 4, SSX, SSX / 2, FX / 2, FProbability(2, N - 4, FX / 2), SSR2, MSR2}, w);
    const double SST2 = SST - SSR2;
    const double FT = MSR2 > 0 ? SST2 / MSR2 : 0.000001;
    out.WriteLine("");
    WriteBlock(out, kTotalBlock,
               {3, N - 4, SST2, SST2 / 3, FT / 3, FProbability(3, N - 4, FT / 3), SSR2, MSR2}, w);
  }
  out.WriteLine("");
  out.WriteLine(" " + std::string(68, '-'));
  out.WriteLine("#");
  out.WriteLine(" The variance analysis and its F-tests are explained in a paper on the maker's web site.");
  try {
    out.Commit();
  } catch (const std::runtime_error&) {
    platform.ShowMessage(kRenameFailed);
  }
}

}  // namespace kinvalo
