#include <gtest/gtest.h>

#include "calc/calculation.h"
#include "core/format.h"
#include "engine/engine.h"
#include "regression/regres1.h"
#include "support/engine_fixture.h"

namespace kinvalo {
namespace {

using test::EngineTest;

class OutputTest : public EngineTest {
 protected:
  // Runs `write` into a fresh output file and returns its lines.
  template <typename Write>
  std::vector<std::string> Written(Write write) {
    EXPECT_TRUE(s.Reg.OutFile.Create(dir / "run.out"));
    EXPECT_TRUE(s.Reg.VarFile.Create(dir / "run.var"));
    write();
    s.Reg.OutFile.Commit();
    s.Reg.VarFile.Commit();
    return Lines(".out");
  }
};

TEST_F(OutputTest, HeaderNamesExcludedAndPreferredTypes) {
  s.DM.FileName = "/data/field trial.var";
  s.R.ConfidenceFactor = 2.1;
  s.R.SkipType3 = s.R.SkipType4 = true;
  Prefer(Preference::PreferType4);
  s.Reg.HeaderSection = 1;
  auto lines = Written([&] { WriteOutputHeader(s); });
  ASSERT_EQ(lines.size(), 16u);
  EXPECT_EQ(lines[5], " CAN BE TAKEN ZERO LIKE IN TYPE 3.");
  EXPECT_EQ(lines[7], " Name of this output file:  field trial.out");
  EXPECT_EQ(lines[8], " Name of input file used :  field trial.inp");
  EXPECT_EQ(lines[10], " Title one");
  EXPECT_EQ(lines[12], " Minimum confidence % : 95");
  EXPECT_EQ(lines[13], " X-type excluded: 3  4 ");
  EXPECT_EQ(lines[14], " X-type preferred: 4 ");
  EXPECT_EQ(lines[15], "");

  // Type 3 preferred but excluded; 98 %; no preference line under "best".
  s.R.SkipType4 = false;
  s.R.ConfidenceFactor = 2.5;
  Prefer(Preference::PreferType3);
  lines = Written([&] { WriteOutputHeader(s); });
  EXPECT_EQ(lines[12], " Minimum confidence % : 98");
  EXPECT_EQ(lines[13], " X-type excluded: 3 ");
  EXPECT_EQ(lines[14], " X-type preferred: 3 ");
  s.R.SkipType3 = false;
  Prefer(Preference::BestOfTwo);
  lines = Written([&] { WriteOutputHeader(s); });
  EXPECT_EQ(lines.size(), 14u);
}

TEST_F(OutputTest, SummaryMarksAddedRowsAndFallsBackToTenForACoincidingCentre) {
  SetData({1, 2, 3, 4, 6, 6}, {5, 5, 5, 5, 7, 9});
  s.R.NrOfInputData = 4;
  s.R.ResultType = 3;
  s.R.ResultMethod = 2;
  s.R.BreakPoint = 6;  // the centre of the data above lies on the breakpoint
  s.R.SlopeAll = 1;
  auto lines = Written([&] {
    ComputeGroupStatistics(s, 6);
    WriteSummary(s);
  });
  EXPECT_EQ(lines[2], " Function type : 3  - first a horizontal segment, then sloping.");
  EXPECT_EQ(lines[3], " Calc. method  : 2");
  EXPECT_EQ(lines[13], "     As =  0.00E+000       Ag =  1.00E+001");
  EXPECT_EQ(lines[16], " Serial        Yobs          X         Ycalc");
  EXPECT_EQ(lines[17], " ----------------------------------------------");
  EXPECT_EQ(lines[18], "   1         5.00E+000  1.000E+000   5.00E+000");
  EXPECT_EQ(lines[21], "   4         5.00E+000  4.000E+000   5.00E+000");
  EXPECT_EQ(lines[21].find("Added"), std::string::npos);
  EXPECT_EQ(lines[22].substr(lines[22].size() - 7), "  Added");
  EXPECT_TRUE(platform.messages.empty());
}

TEST_F(OutputTest, RisingThresholdMeasuresTheIncreaseFromTheFarEnd) {
  Generate(40, 1, 1, [](double x) { return x < 20 ? 10 : 10 + 0.5 * (x - 20); });
  PartialRegression(s);
  ASSERT_EQ(s.R.ResultType, 3);
  const std::string out = File(".out");
  EXPECT_NE(out.find("   Slope > BPx              Ybp              N</Nt      increase Yi\r\n"), std::string::npos);
  EXPECT_NE(out.find("  St.Err.Slope>BPx       St.Err.BPx      St.Err.N</Nt    St.Err.Yi\r\n"), std::string::npos);
  // The explanation of the table never exceeds the central one.
  const auto lines = Lines(".out");
  for (size_t i = 0; i + 1 < lines.size(); ++i) {
    if (lines[i].find("Expl. Coeff.") == std::string::npos) continue;
    const double table = std::stod(lines[i + 1].substr(34, 17));
    const double central = std::stod(lines[i + 1].substr(51));
    EXPECT_LE(table, central);
  }
}

TEST_F(OutputTest, BothBreakpointsOfDatesReachTheVarianceAnalysis) {
  // X as dates: level, rising, level again, so that both types are found.
  Generate(45, 20240101, 1, [](double x) {
    const double d = x - 20240101;
    return d < 15 ? 10 : d < 30 ? 10 + (d - 15) : 25;
  });
  ASSERT_TRUE(CalculateResults(s));
  ASSERT_TRUE(s.R.BothTypesFound);
  const std::string var = File(".var");
  EXPECT_NE(var.find(" Variance Analysis, ANOVA table, Regression Types:3 and 4\r\n"), std::string::npos);
  EXPECT_NE(var.find(" Breakpoints at X = "), std::string::npos);
  EXPECT_NE(var.find(" total expl. by\r\n"), std::string::npos);
}

}  // namespace
}  // namespace kinvalo
