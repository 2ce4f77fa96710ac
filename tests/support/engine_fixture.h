#pragma once
// A fresh AppState with a data set and a run folder, for engine tests.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "data/app_state.h"
#include "support/scripted_platform.h"
#include "support/temp_dir.h"

namespace kinvalo::test {

class EngineTest : public ::testing::Test {
 protected:
  ScriptedPlatform platform;
  AppState s{platform};
  TempDir dir;

  void SetUp() override {
    s.DM.FileName = dir / "run.inp";
    s.DM.Title1 = "Title one";
    s.DM.Title2 = "Title two";
  }

  void SetData(const std::vector<double>& x, const std::vector<double>& y) {
    s.DM.XData = x;
    s.DM.YData = y;
    s.DM.NrOfData = static_cast<std::int32_t>(x.size());
    s.R.NrOfInputData = s.DM.NrOfData;
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

  void Prefer(Preference p) {
    s.PreferenceQuery = [p] { return p; };
  }

  std::string File(const std::string& extension) const {
    std::string base = dir / "run";
    return ReadBytes(base + extension);
  }

  std::vector<std::string> Lines(const std::string& extension) const {
    std::vector<std::string> lines;
    const std::string bytes = File(extension);
    size_t start = 0;
    while (start < bytes.size()) {
      const size_t end = bytes.find("\r\n", start);
      if (end == std::string::npos) {
        lines.push_back(bytes.substr(start));
        break;
      }
      lines.push_back(bytes.substr(start, end - start));
      start = end + 2;
    }
    return lines;
  }
};

}  // namespace kinvalo::test
