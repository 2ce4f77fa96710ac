#include "anova/anova.h"

#include <algorithm>
#include <boost/math/special_functions/beta.hpp>
#include <cmath>
#include <stdexcept>
#include <string>

#include "core/format.h"
#include "core/paths.h"
#include "core/textfile.h"

namespace kinvalo {

namespace {

std::string SignificanceText(double p, int width) {
  return F(p > 99.9 ? 99.9 : p, width, 1) + " %";
}

struct Row {
  int numerator, denominator;
  double explained, meanSquare, f, p, residual, residualMeanSquare;
};

// The F-test of the sum of squares `explained` with m degrees of freedom
// against the residual sum of squares `residual` with n. Rounding may leave
// a sum a hair below zero; none is printed negative. Nothing explained
// gives F = 0; a residual of zero gives the largest F the table prints.
Row TestRow(int m, int n, double explained, double residual) {
  Row row{m, n, std::max(explained, 0.0), 0, 0, 0, std::max(residual, 0.0), 0};
  row.meanSquare = row.explained / m;
  row.residualMeanSquare = row.residual / n;
  if (row.explained > 0) {
    row.f =
        row.residualMeanSquare > 0 ? std::min(row.meanSquare / row.residualMeanSquare, kLargestF) : kLargestF;
  }
  row.p = FProbability(m, n, row.f);
  return row;
}

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
  out.WriteLine(Fields({F(row.explained, 12, 3) + std::string(14, ' ') + I(row.numerator, 1),
                        F(row.meanSquare, 15, 3), F(row.f, layout.fWidth, 3),
                        SignificanceText(row.p, layout.pWidth)}));
  out.WriteLine("");
  out.WriteLine(" remaining");
  out.WriteLine(" unexplained");
  out.WriteLine(Fields({F(row.residual, 12, 3) + std::string(8, ' ') + I(row.denominator, 7),
                        F(row.residualMeanSquare, 15, 3)}));
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

void AnovaRun(TextWriter& out, const VarianceSums& sums, const std::vector<std::string>& rawLines,
              const VarianceModel& model, Platform& platform) {
  // A total below zero can only be the rounding of none.
  if (!(sums.sst > 0)) {
    platform.ShowMessage(kNoVariationAnova);
    for (const std::string& line : rawLines) out.WriteLine(line);
    return;
  }
  const int N = sums.n;
  const bool breakpointRows = HasHorizontalSegment(model.type);
  // The break-point rows need 5 data sets or more; the search refuses
  // fewer long before.
  if (N < 5) throw std::invalid_argument("The variance analysis needs 5 data sets or more.");
  if (breakpointRows && !sums.ssr2) {
    throw std::invalid_argument("The variance analysis of a break-point result needs its residual.");
  }

  const bool both = model.bothTypesFound;
  if (both) {
    out.WriteLine(" Variance Analysis, ANOVA table, Regression Types:3 and 4");
  } else {
    out.WriteLine(" Variance Analysis, ANOVA table, Regression Type:" + I(FileNumber(model.type), 2));
  }
  out.WriteLine(" File Name : " + ExtractFileName(out.Path()));
  out.WriteLine(Fields({" Sum[(Y-Av.Y)sq.] =", F(sums.sst, 12, 3)}) + "  (total sum of squares of deviations)");
  if (both) out.WriteLine(" Breakpoints at X = " + F(model.breakpointType3, 8, 3) + "   and " + F(model.breakpointType4, 8, 3));
  out.WriteLine("");
  out.WriteLine(Fields({" Total nr. of data  =", I(N, 8)}));
  out.WriteLine(Fields({" Degrees of freedom =", I(N - 1, 8)}));
  out.WriteLine("");
  out.WriteLine(" Sum of squares      Degrees of                          Probability/");
  out.WriteLine(" of deviations        freedom     Variance     F-Test    Significance");
  out.WriteLine(" " + std::string(68, '-'));

  const int w = N <= 10 ? 1 : (N <= 100 ? 2 : 3);
  WriteBlock(out, kLinearBlock, TestRow(1, N - 2, sums.sst - sums.ssr1, sums.ssr1), w);
  if (breakpointRows) {
    const double ssr2 = *sums.ssr2;
    out.WriteLine("");
    WriteBlock(out, kExtraBlock, TestRow(2, N - 4, sums.ssr1 - ssr2, ssr2), w);
    out.WriteLine("");
    WriteBlock(out, kTotalBlock, TestRow(3, N - 4, sums.sst - ssr2, ssr2), w);
  }
  out.WriteLine("");
  out.WriteLine(" " + std::string(68, '-'));
  out.WriteLine("#");
  out.WriteLine(" The variance analysis and its F-tests are explained in a paper on the maker's web site.");
}

}  // namespace kinvalo
