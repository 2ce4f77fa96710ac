#pragma once
// Working data of one run in a folder of its own, for the search and the
// calculation.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "calc/calculation.h"
#include "core/paths.h"
#include "engine/result_files.h"
#include "support/scripted_platform.h"
#include "support/temp_dir.h"

namespace kinvalo::test {

// The lines of a file the program wrote, each ended by CR LF.
inline std::vector<std::string> SplitLines(const std::string& bytes) {
  std::vector<std::string> lines;
  for (size_t start = 0, end; start < bytes.size(); start = end + 2) {
    end = std::min(bytes.find("\r\n", start), bytes.size());
    lines.push_back(bytes.substr(start, end - start));
  }
  return lines;
}

class EngineTest : public ::testing::Test {
 protected:
  ScriptedPlatform platform;
  WorkingData dm{platform};
  TempDir dir;
  SearchOptions options;
  SearchResult result;

  void SetUp() override {
    dm.FileName = dir / "run.inp";
    dm.Title1 = "Title one";
    dm.Title2 = "Title two";
  }

  void SetData(const std::vector<double>& x, const std::vector<double>& y) {
    dm.XData = x;
    dm.YData = y;
    dm.NrOfData = static_cast<std::int32_t>(x.size());
    dm.NrOfInputData = dm.NrOfData;
  }

  // n data sets at X = x0, x0 + step, ... with Y = f(X) plus a small
  // alternating wobble, so that no side lies exactly on a line.
  void Generate(int n, double x0, double step, const std::function<double(double)>& f,
                double wobble = 0.05) {
    std::vector<double> x, y;
    for (int i = 0; i < n; ++i) {
      const double xi = x0 + step * i;
      x.push_back(xi);
      y.push_back(f(xi) + wobble * std::sin(1.7 * i + 0.3));
    }
    SetData(x, y);
  }

  // The search and its result files, without the variance analysis: the
  // .var keeps its raw lines.
  void Search() {
    options.title1 = dm.Title1;
    options.title2 = dm.Title2;
    options.inputPath = dm.FileName;
    result = RunBreakpointSearch({dm.XData, dm.YData, {}, dm.NrOfInputData}, options);
    if (result.refusal) {
      platform.ShowMessage(*result.refusal);
      return;
    }
    for (const std::string& notice : result.notices) platform.ShowMessage(notice);
    FileSet files;
    TextWriter& var = files.Stage(ChangeFileExt(result.options.inputPath, ".var"));
    for (const std::string& line : WriteResultFiles(result, files).rawVariance) var.WriteLine(line);
    files.Commit();
  }

  // The whole calculation, as the window and the batch command run it.
  void Calculate() { result = CalculateResults(dm, {options.confidence, options.preference}, platform); }

  std::string File(const std::string& extension) const {
    std::string base = dir / "run";
    return ReadBytes(base + extension);
  }

  std::vector<std::string> Lines(const std::string& extension) const { return SplitLines(File(extension)); }
};

}  // namespace kinvalo::test
