// The least-squares line and the limits of its breakpoint over the partial
// graph, read from the .lsq beside the output file.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "cli/batch.h"
#include "graphs/graph_command.h"
#include "support/recording_canvas.h"
#include "support/temp_dir.h"

namespace kinvalo {
namespace {

constexpr Rgb kRed{200, 0, 0};

Redrawn Draw(const std::string& out, FunctionType type, test::RecordingCanvas& canvas) {
  GraphOptions options;
  options.block = true;
  options.leastSquares = true;
  return RedrawGraph(out, options, type, canvas);
}

TEST(LeastSquaresOverlay, DrawsTheBrokenLineAndABracketOnItsLevel) {
  test::TempDir dir;
  for (const char* name : {"salinity", "straight"}) {
    std::filesystem::copy_file(std::string(KINVALO_EXAMPLES) + "/" + name + ".inp", dir / (std::string(name) + ".inp"));
    std::ostringstream out, err;
    ASSERT_EQ(RunBatch({"calculate", dir / (std::string(name) + ".inp")}, out, err), 0);
  }
  test::RecordingCanvas canvas;
  const Redrawn drawn = Draw(dir / "salinity.out", FunctionType::Threshold, canvas);
  ASSERT_TRUE(drawn.drawing.drawn);
  EXPECT_EQ(drawn.note, "");
  const auto red = canvas.Segments(kRed);
  ASSERT_EQ(red.size(), 5u);
  // The level up to the breakpoint, dotted, then the falling side.
  const auto &level = red[0], &falling = red[1], &bracket = red[3];
  EXPECT_EQ(level.style, PenStyle::Dotted);
  EXPECT_EQ(level.y1, level.y2);
  EXPECT_EQ(falling.x1, level.x2);
  EXPECT_GT(falling.y2, falling.y1);  // Y falls: pixels grow downward
  // The limits 5.43 to 6.11 on the level, with a tick at each end.
  EXPECT_EQ(bracket.style, PenStyle::Solid);
  EXPECT_EQ(bracket.y1, level.y1);
  EXPECT_LT(bracket.x1, level.x2);
  EXPECT_GT(bracket.x2, level.x2);
  EXPECT_EQ(red[2].x1, bracket.x1);
  EXPECT_EQ(red[4].x1, bracket.x2);
  EXPECT_EQ(canvas.Text("Least squares BP   5.78  |-| 90% limits").colour, kRed);

  test::RecordingCanvas line;
  EXPECT_EQ(Draw(dir / "straight.out", FunctionType::StraightLine, line).note,
            "The least-squares line is drawn over the graph of a Type 3 or Type 4 result only.");
  EXPECT_TRUE(line.Segments(kRed).empty());

  std::filesystem::remove(dir / "salinity.lsq");
  test::RecordingCanvas without;
  const Redrawn missing = Draw(dir / "salinity.out", FunctionType::Threshold, without);
  EXPECT_TRUE(missing.drawing.drawn);
  EXPECT_EQ(missing.note, "The least-squares report \"" + dir / "salinity.lsq" +
                              "\" could not be read; the graph is drawn without its line.");
  EXPECT_TRUE(without.Segments(kRed).empty());
}

}  // namespace
}  // namespace kinvalo
