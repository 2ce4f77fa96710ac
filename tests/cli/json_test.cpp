// kinvalo-cli calculate --json: one JSON object on standard output.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>

#include <nlohmann/json.hpp>

#include "cli/batch.h"
#include "core/headless_platform.h"
#include "data/working_data.h"
#include "lsq/least_squares.h"
#include "support/temp_dir.h"

namespace kinvalo {
namespace {

using nlohmann::json;

struct JsonRun {
  int status;
  json object;
  std::string err;
};

JsonRun CalculateJson(const std::string& input, const std::string& confidence) {
  std::ostringstream out, err;
  const int status = RunBatch({"calculate", input, "--json", "--confidence", confidence}, out, err);
  return {status, json::parse(out.str()), err.str()};  // throws unless the whole of it is one object
}

// The fits of the data of an input file.
LeastSquaresFit FitOf(const std::string& input, int percent) {
  HeadlessPlatform platform;
  WorkingData dm(platform);
  dm.FileName = input;
  EXPECT_TRUE(dm.ReadInputFile());
  const std::span<const double> x(dm.XData.data(), static_cast<size_t>(dm.NrOfData));
  const std::span<const double> y(dm.YData.data(), static_cast<size_t>(dm.NrOfData));
  return FitLeastSquares({x, y, Confidence::FromPercent(percent), std::nullopt, std::nullopt});
}

TEST(CliJson, GivesTheResultAndTheLeastSquaresFitsInFullPrecision) {
  test::TempDir dir;
  const std::string salinity = dir / "salinity.inp";
  std::filesystem::copy_file(std::string(KINVALO_EXAMPLES) + "/salinity.inp", salinity);
  const JsonRun run = CalculateJson(salinity, "95");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  const json& o = run.object;
  EXPECT_EQ(o["n"], 40);
  EXPECT_EQ(o["confidence"], 95);
  EXPECT_EQ(o["preference"], "best");
  EXPECT_EQ(o["messages"], json::array());
  EXPECT_EQ(o["result"]["type"], 3);
  EXPECT_EQ(o["result"]["breakpoint"], 6.0706);
  EXPECT_NEAR(o["result"]["explanation_coefficient"].get<double>(), 0.978, 5e-4);
  EXPECT_EQ(o["result"]["confidence_limits"].size(), 2u);
  // Every digit of the fits, with the partial regression's breakpoint
  // checked against each shape's limits (Type 4 has none to check).
  const LeastSquaresFit fit = FitOf(salinity, 95);
  const json& ls = o["least_squares"];
  EXPECT_EQ(ls["line"]["slope"].get<double>(), fit.line.slope);
  EXPECT_EQ(ls["line"]["rss"].get<double>(), fit.line.rss);
  for (const auto& [key, shape] : {std::pair{"type3", &fit.type3}, std::pair{"type4", &fit.type4}}) {
    const json& s = ls[key];
    EXPECT_EQ(s["breakpoint"].get<double>(), shape->breakpoint) << key;
    EXPECT_EQ(s["confidence_limits"], json::array({shape->limits.left, shape->limits.right})) << key;
    EXPECT_EQ(s["level_se"].get<double>(), shape->levelSE) << key;
    EXPECT_EQ(s["residual_sd"].get<double>(), shape->residualSD) << key;
    EXPECT_EQ(s["p_breakpoint"].get<double>(), *shape->pValue) << key;
    for (const char* name : {"one_interval", "level", "slope", "slope_se", "r2", "rss"}) {
      EXPECT_FALSE(s[name].is_null()) << key << " " << name;
    }
  }
  EXPECT_EQ(ls["type3"]["partial_breakpoint_inside"], true);
  EXPECT_TRUE(ls["type4"]["partial_breakpoint_inside"].is_null());
  EXPECT_TRUE(std::filesystem::exists(dir / "salinity.out") && std::filesystem::exists(dir / "salinity.lsq"));
}

// Data the least squares cannot take give their sentence and nulls; data
// the search refuses give no result and no fits, with its message.
TEST(CliJson, SaysWhyAndGivesNullsForDataThatCannotBeFitted) {
  test::TempDir dir;
  std::string header = "Title\r\nSecond\r\n File name:  f.inp\r\n Number of independent variables:  1\r\n"
                       " Number of data sets:  12\r\n\r\n\r\n   Dependent independent\r\nSerial variable variable\r\n"
                       "number Y X\r\n------\r\n";
  std::string flat = header, few = header;
  for (int i = 1; i <= 12; ++i) {
    flat += std::to_string(i) + " 5.00 " + std::to_string(i) + "\r\n";
    few += std::to_string(i) + " " + std::to_string(i) + " " + std::to_string(i % 3) + "\r\n";
  }
  test::WriteBytes(dir / "flat.inp", flat);
  test::WriteBytes(dir / "few.inp", few);

  const JsonRun flatRun = CalculateJson(dir / "flat.inp", "90");
  EXPECT_EQ(flatRun.status, 0);
  EXPECT_EQ(flatRun.object["result"]["type"], 1);
  EXPECT_TRUE(flatRun.object["result"]["breakpoint"].is_null());
  EXPECT_TRUE(flatRun.object["result"]["confidence_limits"].is_null());
  const json& ls = flatRun.object["least_squares"];
  EXPECT_EQ(ls["unfit"], "All Y values are equal, so there is no slope and no breakpoint for least squares to find.");
  EXPECT_TRUE(ls["line"].is_null() && ls["type3"].is_null() && ls["type4"].is_null());
  const std::string lsq = test::ReadBytes(dir / "flat.lsq");
  EXPECT_TRUE(lsq.ends_with(" Confidence %         : 90\r\n\r\n " + ls["unfit"].get<std::string>() + "\r\n")) << lsq;

  const JsonRun fewRun = CalculateJson(dir / "few.inp", "90");
  EXPECT_EQ(fewRun.status, 1);
  EXPECT_EQ(fewRun.object["messages"],
            json::array({"Due to scarcity of differing X-values the partial regression could not be done."}));
  EXPECT_TRUE(fewRun.object["result"].is_null() && fewRun.object["least_squares"].is_null());
  EXPECT_FALSE(std::filesystem::exists(dir / "few.lsq"));
}

}  // namespace
}  // namespace kinvalo
