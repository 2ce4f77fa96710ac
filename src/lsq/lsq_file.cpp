#include "lsq/lsq_file.h"

#include <cmath>

#include "core/format.h"
#include "core/paths.h"

namespace kinvalo {

namespace {

// A value with 6 significant digits, right-aligned in 12 characters.
std::string Value(double value) { return PadLeft(std::isfinite(value) ? Significant(value, 6) : "n.a.", 12); }

std::string Label(const std::string& text) { return "   " + text + std::string(text.size() < 20 ? 20 - text.size() : 0, ' '); }

void WriteLine(TextWriter& out, const StraightLineFit& line, std::int64_t n) {
  out.WriteLine(" STRAIGHT LINE:  " + EquationText(line));
  out.WriteLine(Label("Intercept") + Value(line.intercept) + "   st.error" + Value(line.interceptSE));
  out.WriteLine(Label("Slope") + Value(line.slope) + "   st.error" + Value(line.slopeSE));
  out.WriteLine(Label("R-squared") + Value(line.r2));
  out.WriteLine(Label("Residual st.dev.") + Value(line.residualSD) + "   (" + I(n - 2) + " degrees of freedom)");
}

void WriteLimits(TextWriter& out, const BreakpointLimits& limits, int percent) {
  out.WriteLine(Label("Limits of c (" + I(percent) + " %)") + Value(limits.left) + "   to" + Value(limits.right));
  if (!limits.oneInterval) {
    std::string pieces;
    for (const BreakpointLimits::Piece& p : limits.pieces) {
      pieces += (pieces.empty() ? "" : ", ") + Significant(p.left, 6) + " to " + Significant(p.right, 6);
    }
    out.WriteLine("   The limits are not one interval: " + pieces + ".");
  }
  if (limits.leftOpen) out.WriteLine("   The left limit is the smallest X: the set may go on below the data.");
  if (limits.rightOpen) out.WriteLine("   The right limit is the largest X: the set may go on above the data.");
}

void WriteTest(TextWriter& out, const BrokenLineFit& fit, int samples) {
  if (fit.supF) {
    out.WriteLine(Label("Largest F over c") + Value(*fit.supF) + "   against the straight line");
  } else {
    out.WriteLine(Label("Largest F over c") + Value(NAN) + "   (the broken line fits exactly)");
  }
  if (fit.pValue) {
    const long reached = std::lround(*fit.pValue * (samples + 1)) - 1;
    out.WriteLine(Label("p-value") + PadLeft(Significant(*fit.pValue, 3), 12) + "   (" + I(reached) + " of " +
                  I(samples) + " bootstrap samples of the line reach it)");
  } else {
    out.WriteLine(Label("p-value") + Value(NAN) + "   (not tested)");
  }
}

void WriteCrossCheck(TextWriter& out, const BrokenLineFit& fit, const std::string& type) {
  if (!fit.partialBreakpoint || !fit.partialInside) {
    out.WriteLine("   The partial regression gives no " + type + " breakpoint to compare.");
    return;
  }
  out.WriteLine("   The partial regression's breakpoint, " + Significant(*fit.partialBreakpoint, 6) + ", lies " +
                (*fit.partialInside ? "inside" : "outside") + " these limits.");
}

void WriteBrokenLine(TextWriter& out, const BrokenLineFit& fit, const LeastSquaresFit& all) {
  const bool type3 = fit.type == FunctionType::Threshold;
  out.WriteLine(type3 ? " TYPE 3, FIRST HORIZONTAL, THEN SLOPING:  Y = a for X <= c, a + b (X - c) beyond"
                      : " TYPE 4, FIRST SLOPING, THEN HORIZONTAL:  Y = a + b (X - c) below c, a beyond");
  out.WriteLine("   " + EquationText(fit));
  out.WriteLine(Label("Breakpoint c") + Value(fit.breakpoint));
  out.WriteLine(Label("Level a") + Value(fit.level) + "   st.error" + Value(fit.levelSE) + "   (c held)");
  out.WriteLine(Label("Slope b") + Value(fit.slope) + "   st.error" + Value(fit.slopeSE) + "   (c held)");
  out.WriteLine(Label("R-squared") + Value(fit.r2));
  out.WriteLine(Label("Residual st.dev.") + Value(fit.residualSD) + "   (" + I(all.n - 3) + " degrees of freedom)");
  WriteLimits(out, fit.limits, all.confidence.Percent());
  WriteTest(out, fit, all.bootstrapSamples);
  WriteCrossCheck(out, fit, type3 ? "Type 3" : "Type 4");
}

}  // namespace

void WriteLeastSquaresFile(TextWriter& out, const LeastSquaresFit& fit, const LeastSquaresFileHeading& heading) {
  const std::string name = ExtractFileName(heading.inputPath);
  out.WriteLine(" Least-squares fits of program Kinvalo, beside the partial regression of Y upon X.");
  out.WriteLine(" The breakpoint c may lie anywhere from the smallest to the largest X; each fit");
  out.WriteLine(" below is the exact least-squares minimum over c.");
  out.WriteLine("");
  out.WriteLine(" Name of this file       :  " + ChangeFileExt(name, ".lsq"));
  out.WriteLine(" Name of input file used :  " + ChangeFileExt(name, ".inp"));
  out.WriteLine("");
  out.WriteLine(" " + heading.title1);
  out.WriteLine(" " + heading.title2);
  out.WriteLine(" Number of data sets  : " + I(fit.n));
  out.WriteLine(" Confidence %         : " + I(fit.confidence.Percent()));
  out.WriteLine("");
  if (fit.unfit) {
    out.WriteLine(" " + *fit.unfit);
    return;
  }
  WriteLine(out, fit.line, fit.n);
  out.WriteLine("");
  WriteBrokenLine(out, fit.type3, fit);
  out.WriteLine("");
  WriteBrokenLine(out, fit.type4, fit);
  out.WriteLine("");
  out.WriteLine(" The limits of c hold every c whose residual sum of squares is at most the");
  out.WriteLine(" smallest one times 1 + F / (N - 3), F the quantile of F(1, N - 3) at the");
  out.WriteLine(" confidence.");
  out.WriteLine(" The test compares the largest F over c with the same from samples of the");
  out.WriteLine(" fitted straight line with normal noise of its residual standard deviation,");
  out.WriteLine(" drawn from a seed the data give: the same data always give the same p.");
}

}  // namespace kinvalo
