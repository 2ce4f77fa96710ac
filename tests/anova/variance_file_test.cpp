// The variance analysis of whole calculations: every number of the finished
// .var file against a recomputation from the data.
#include <gtest/gtest.h>

#include <algorithm>
#include <boost/math/distributions/fisher_f.hpp>
#include <cmath>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "anova/anova.h"
#include "support/engine_fixture.h"

namespace kinvalo {
namespace {

using Long = long double;

// A printed row: the sum of squares, the mean square, and for an explained
// row also F and the significance.
struct PrintedRow {
  double sum = 0, meanSquare = 0, f = 0, percent = 0;
};

// The finished .var: its first line, SST, N and the rows of its blocks.
struct PrintedTable {
  std::string typeLine;
  double sst = 0;
  int n = 0;
  std::vector<std::string> dof;  // "F(1,38)=" and so on
  std::vector<std::string> explained, remaining;
};

PrintedTable ParseTable(const std::vector<std::string>& lines) {
  PrintedTable t;
  EXPECT_GT(lines.size(), 7u);
  if (lines.size() < 7) return t;
  t.typeLine = lines[0];
  t.sst = std::stod(lines[2].substr(19));
  for (size_t i = 0; i + 5 < lines.size(); ++i) {
    if (lines[i].rfind(" Total nr. of data  =", 0) == 0) t.n = std::stoi(lines[i].substr(21));
    if (lines[i].rfind("  lin. regr.", 0) != 0 && lines[i].rfind("  break-point", 0) != 0) continue;
    t.dof.push_back(lines[i].substr(lines[i].find(" F(") + 1));
    t.explained.push_back(lines[i + 1]);
    t.remaining.push_back(lines[i + 5]);
  }
  return t;
}

// The numbers of a row. Every sum and mean square has 3 decimals and may
// fill its field or run past it, touching its left neighbour; the degrees
// of freedom between them are known.
std::optional<PrintedRow> ParseRow(const std::string& line, int dof, bool explained) {
  const std::string fixed = R"((\d+\.\d{3}))";
  const std::string pattern = explained ? R"(^ *)" + fixed + " +" + std::to_string(dof) + " *" + fixed +
                                              " *" + fixed + R"( +(\d+\.\d) %$)"
                                        : R"(^ *)" + fixed + " +" + std::to_string(dof) + " *" + fixed + "$";
  std::smatch m;
  if (!std::regex_match(line, m, std::regex(pattern))) return std::nullopt;
  PrintedRow row{std::stod(m[1]), std::stod(m[2])};
  if (explained) row.f = std::stod(m[3]), row.percent = std::stod(m[4]);
  return row;
}

// Sums of squares of the data (x, y) about their mean and about their own
// regression line, two passes in extended precision.
struct Fit {
  Long meanY = 0, aboutMean = 0, aboutLine = 0;
};

Fit FitOf(const std::vector<double>& x, const std::vector<double>& y) {
  Fit fit;
  if (y.empty()) return fit;
  Long sx = 0, sy = 0;
  for (size_t i = 0; i < x.size(); ++i) sx += x[i], sy += y[i];
  const Long mx = sx / x.size(), my = sy / y.size();
  Long sxx = 0, sxy = 0;
  for (size_t i = 0; i < x.size(); ++i) {
    sxx += (x[i] - mx) * (x[i] - mx);
    sxy += (x[i] - mx) * (y[i] - my);
    fit.aboutMean += (y[i] - my) * (y[i] - my);
  }
  const Long slope = sxx > 0 ? sxy / sxx : 0;
  for (size_t i = 0; i < x.size(); ++i) {
    const Long e = y[i] - my - slope * (x[i] - mx);
    fit.aboutLine += e * e;
  }
  fit.meanY = my;
  return fit;
}

// The data sets whose X `keep` takes.
struct Subset {
  std::vector<double> x, y;
};
template <typename Keep>
Subset Select(const std::vector<double>& x, const std::vector<double>& y, Keep keep) {
  Subset p;
  for (size_t i = 0; i < x.size(); ++i) {
    if (keep(x[i])) p.x.push_back(x[i]), p.y.push_back(y[i]);
  }
  return p;
}

class VarianceFileTest : public test::EngineTest {
 protected:
  // The residual sum of squares of the break-point model of the result:
  // the horizontal side about its mean, the sloping side about its own
  // line; X below the breakpoint on one side, at or above on the other.
  // With both types, the Type 3 level (mean Y below its breakpoint) up to
  // that breakpoint, the line of the data between, and the Type 4 level
  // (mean Y at or above its breakpoint) beyond.
  Long BreakPointResidual(const std::vector<double>& x, const std::vector<double>& y,
                          const std::string& typeLine) const {
    if (typeLine.find("Types:3 and 4") != std::string::npos) {
      const double bp3 = result.type3.breakpoint, bp4 = result.type4.breakpoint;
      const Subset lower = Select(x, y, [&](double v) { return v < bp3; });
      const Long level3 = FitOf(lower.x, lower.y).meanY;
      const Subset upper = Select(x, y, [&](double v) { return v >= bp4; });
      const Long level4 = FitOf(upper.x, upper.y).meanY;
      const Subset middle = Select(x, y, [&](double v) { return bp3 < v && v <= bp4; });
      Long sum = FitOf(middle.x, middle.y).aboutLine;
      for (size_t i = 0; i < x.size(); ++i) {
        if (x[i] <= bp3) sum += (y[i] - level3) * (y[i] - level3);
        if (x[i] > bp4) sum += (y[i] - level4) * (y[i] - level4);
      }
      return sum;
    }
    const double bp = result.breakpoint;
    const Subset below = Select(x, y, [&](double v) { return v < bp; });
    const Subset above = Select(x, y, [&](double v) { return v >= bp; });
    const Fit b = FitOf(below.x, below.y), a = FitOf(above.x, above.y);
    if (typeLine.find("Type: 3") != std::string::npos) return b.aboutMean + a.aboutLine;
    EXPECT_NE(typeLine.find("Type: 4"), std::string::npos) << typeLine;
    return b.aboutLine + a.aboutMean;
  }

  // Checks every printed number of the finished .var against the sums of
  // the data: to its printed digits, F capped at 9999999.999 and the
  // significance at 99.9 %.
  void ExpectExactTable(const std::string& name) {
    SCOPED_TRACE(name);
    const std::vector<double> x(dm.XData.begin(), dm.XData.begin() + dm.NrOfData);
    const std::vector<double> y(dm.YData.begin(), dm.YData.begin() + dm.NrOfData);
    const PrintedTable t = ParseTable(Lines(".var"));
    const int N = dm.NrOfData;
    EXPECT_EQ(t.n, N);
    const Fit all = FitOf(x, y);
    struct Test {
      int m, n;
      Long explained, residual;
    };
    std::vector<Test> tests{{1, N - 2, all.aboutMean - all.aboutLine, all.aboutLine}};
    if (t.typeLine.find("Type: 1") == std::string::npos) {
      const Long ssr2 = BreakPointResidual(x, y, t.typeLine);
      tests.push_back({2, N - 4, all.aboutLine - ssr2, ssr2});
      tests.push_back({3, N - 4, all.aboutMean - ssr2, ssr2});
    }
    ASSERT_EQ(t.explained.size(), tests.size()) << t.typeLine;
    auto expectPrinted = [](double printed, Long exact, double halfUnit, const char* what) {
      EXPECT_NEAR(printed, static_cast<double>(exact),
                  halfUnit * (1 + 1e-9) + 1e-12 * std::fabs(static_cast<double>(exact)))
          << what;
    };
    expectPrinted(t.sst, all.aboutMean, 5e-4, "SST");
    for (size_t k = 0; k < tests.size(); ++k) {
      const Test& c = tests[k];
      SCOPED_TRACE(testing::Message() << "F(" << c.m << "," << c.n << ")");
      const Long explained = std::max<Long>(c.explained, 0), residual = std::max<Long>(c.residual, 0);
      const Long meanSquare = explained / c.m, residualMeanSquare = residual / c.n;
      Long f = 0;
      if (explained > 0) {
        f = residualMeanSquare > 0 ? std::min<Long>(meanSquare / residualMeanSquare, 9999999.999L)
                                   : 9999999.999L;
      }
      const double percent =
          f > 0 ? 100 * cdf(boost::math::fisher_f_distribution<double>(c.m, c.n), static_cast<double>(f)) : 0;
      EXPECT_EQ(t.dof[k], "F(" + std::to_string(c.m) + "," + std::to_string(c.n) + ")=");
      const std::optional<PrintedRow> printedExplained = ParseRow(t.explained[k], c.m, true);
      const std::optional<PrintedRow> printedRemaining = ParseRow(t.remaining[k], c.n, false);
      ASSERT_TRUE(printedExplained) << t.explained[k];
      ASSERT_TRUE(printedRemaining) << t.remaining[k];
      const PrintedRow& e = *printedExplained;
      const PrintedRow& r = *printedRemaining;
      expectPrinted(e.sum, explained, 5e-4, "explained");
      expectPrinted(e.meanSquare, meanSquare, 5e-4, "mean square");
      expectPrinted(e.f, f, 5e-4, "F");
      expectPrinted(e.percent, std::clamp(percent, 0.1, 99.9), 0.05, "significance");
      expectPrinted(r.sum, residual, 5e-4, "residual");
      expectPrinted(r.meanSquare, residualMeanSquare, 5e-4, "residual mean square");
    }
  }

  void LoadExample(const std::string& name, double yScale) {
    dm.FileName = std::string(KINVALO_EXAMPLES) + "/" + name + ".inp";
    ASSERT_TRUE(dm.ReadInputFile());
    dm.FileName = dir / "run.inp";
    for (std::int32_t i = 0; i < dm.NrOfData; ++i) dm.YData[i] *= yScale;
  }
};

// The examples as they are, with Y a hundred million times smaller and a
// million million times larger.
TEST_F(VarianceFileTest, ExamplesAtEveryScaleAgreeWithTheData) {
  for (const char* name : {"salinity", "fertiliser", "straight", "watertable", "waterlogging"}) {
    for (const double scale : {1.0, 1e-8, 1e12}) {
      LoadExample(name, scale);
      Calculate();
      ASSERT_FALSE(result.refusal) << name;
      ExpectExactTable(std::string(name) + " x " + std::to_string(scale));
    }
  }
}

// Data without scatter: a straight line, and a threshold whose two
// segments the data follow exactly.
TEST_F(VarianceFileTest, DataWithoutScatterAgreeWithTheData) {
  LoadExample("salinity", 1);
  std::vector<double> x(dm.XData.begin(), dm.XData.begin() + dm.NrOfData);
  std::vector<double> line, threshold;
  for (const double v : x) {
    line.push_back(2.5 + 0.75 * v);
    threshold.push_back(v < 6 ? 100 : 100 - 7 * (v - 6));
  }
  for (const auto& [name, y] : {std::pair{"line", line}, std::pair{"threshold", threshold}}) {
    SetData(x, y);
    dm.FileName = dir / "run.inp";
    Calculate();
    ASSERT_FALSE(result.refusal) << name;
    ExpectExactTable(name);
  }
}

// The raw lines the report writer leaves for the analysis, which writes its
// table over them: N, SST and SSR1 to three significant digits, the
// breakpoint(s) and the break-point residual to three decimals. Without
// variation they stay, and the message says why.
TEST_F(VarianceFileTest, RawLinesKeepTheirLayout) {
  struct Case {
    const char* example;  // "" for thirty data sets with Y = 0.1
    bool analysed;
    std::vector<std::string> raw, messages;
  };
  const Case cases[] = {
      {"salinity",
       false,
       {" 1", "   40", "   1.47E+004", "   1.33E+003", "       6.071", "     324.200"},
       {}},
      {"watertable",
       false,
       {" 1", "   50", "   3.06E+003", "   4.53E+002", "      65.731      89.982", "     172.504"},
       {}},
      {"",
       true,
       {" 1", "   30", "   0.00E+000", "   0.00E+000", " -99999"},
       {kNoHorizontalSegment, kNoVariationAnova}},
  };
  for (const Case& c : cases) {
    platform.messages.clear();
    if (*c.example) {
      LoadExample(c.example, 1);
    } else {
      std::vector<double> x;
      for (int i = 0; i < 30; ++i) x.push_back(i);
      SetData(x, std::vector<double>(x.size(), 0.1));
    }
    c.analysed ? Calculate() : Search();
    EXPECT_EQ(Lines(".var"), c.raw) << c.example;
    EXPECT_EQ(platform.messages, c.messages) << c.example;
  }
}

}  // namespace
}  // namespace kinvalo
