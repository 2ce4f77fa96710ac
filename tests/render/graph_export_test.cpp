// The graph saved for print: SVG, PDF and the larger PNGs, rasterised
// again at 623 x 465, hold the bitmap's graph where the bitmap has it.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QStandardPaths>
#include <QSvgRenderer>
#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <sstream>

#include "cli/batch.h"
#include "cli/write_graph.h"
#include "support/cli_process.h"

namespace kinvalo {
namespace {

// Where `other` differs in layout from the bitmap: the box around the dark
// ink (its edges within a pixel, but text unhinted runs up to 3 pixels
// longer to the right), and the mean grey of each cell of a 16 x 12 grid
// (within 8 levels: another renderer smooths edges otherwise).
std::string LayoutDifference(const QImage& bitmap, const QImage& other) {
  if (other.size() != bitmap.size()) return "size differs";
  int box[2][4] = {{9999, 9999, -1, -1}, {9999, 9999, -1, -1}};  // left, top, right, bottom
  double grey[2][16 * 12] = {};
  for (int i = 0; i < 2; ++i) {
    const QImage image = (i == 0 ? bitmap : other).convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < 465; ++y) {
      for (int x = 0; x < 623; ++x) {
        const int g = qGray(image.pixel(x, y));
        grey[i][y * 12 / 465 * 16 + x * 16 / 623] += g / (623.0 * 465 / (16 * 12));
        if (g >= 100) continue;
        box[i][0] = std::min(box[i][0], x), box[i][1] = std::min(box[i][1], y);
        box[i][2] = std::max(box[i][2], x), box[i][3] = std::max(box[i][3], y);
      }
    }
  }
  std::ostringstream differs;
  for (int edge = 0; edge < 4; ++edge) {
    if (std::abs(box[0][edge] - box[1][edge]) > (edge == 2 ? 3 : 1)) {
      differs << "ink edge " << edge << " at " << box[1][edge] << " instead of " << box[0][edge] << "; ";
    }
  }
  for (int c = 0; c < 16 * 12; ++c) {
    if (std::abs(grey[0][c] - grey[1][c]) > 8) differs << "cell " << c % 16 << "," << c / 16 << "; ";
  }
  return differs.str();
}

struct Example {
  const char* name;
  const char* example;
  std::vector<std::string> flags;
};
void PrintTo(const Example& e, std::ostream* os) { *os << e.name; }

class GraphForPrint : public ::testing::TestWithParam<Example> {};

TEST_P(GraphForPrint, EveryKindHoldsTheBitmapsLayout) {
  test::TempDir dir;
  std::filesystem::copy_file(std::string(KINVALO_EXAMPLES) + "/" + GetParam().example + ".inp",
                             dir / "g.inp");
  std::ostringstream sink;
  ASSERT_EQ(RunBatch({"calculate", dir / "g.inp"}, sink, sink), 0) << sink.str();
  for (const std::string picture : {"g.bmp", "g.svg", "g.pdf", "g2.png", "g3.png"}) {
    std::vector<std::string> args = {"graph", dir / "g.out", dir / picture};
    args.insert(args.end(), GetParam().flags.begin(), GetParam().flags.end());
    if (picture[1] != '.') args.insert(args.end(), {"--scale", picture.substr(1, 1)});
    ASSERT_EQ(RunBatch(args, sink, sink, WriteGraph), 0) << sink.str();
  }
  const QImage bitmap(QString::fromStdString(dir / "g.bmp"));
  for (const int scale : {2, 3}) {
    const QImage png(QString::fromStdString(dir / (scale == 2 ? "g2.png" : "g3.png")));
    EXPECT_EQ(png.size(), QSize(623, 465) * scale);
    const QImage smaller = png.scaled(623, 465, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    EXPECT_EQ(LayoutDifference(bitmap, smaller), "") << "PNG x" << scale;
  }

  // Text stays text, and nothing is a picture inside the drawing.
  const std::string svg = test::ReadBytes(dir / "g.svg"), pdf = test::ReadBytes(dir / "g.pdf");
  EXPECT_TRUE(svg.find("<text") != svg.npos && svg.find("<image") == svg.npos);
  EXPECT_TRUE(pdf.find("/FontFile") != pdf.npos && pdf.find("/Subtype /Image") == pdf.npos);
  QImage drawn(623, 465, QImage::Format_RGB32);
  drawn.fill(Qt::white);
  QPainter painter(&drawn);
  QSvgRenderer(QString::fromStdString(dir / "g.svg")).render(&painter, QRectF(0, 0, 623, 465));
  painter.end();
  EXPECT_EQ(LayoutDifference(bitmap, drawn), "") << "SVG";

  if (QStandardPaths::findExecutable("pdftoppm").isEmpty()) GTEST_SKIP() << "pdftoppm is not installed";
  const std::string rasterise = "pdftoppm -png -scale-to-x 623 -scale-to-y 465 -singlefile '" +
                                (dir / "g.pdf") + "' '" + (dir / "pdf") + "'";
  ASSERT_EQ(std::system(rasterise.c_str()), 0);
  EXPECT_EQ(LayoutDifference(bitmap, QImage(QString::fromStdString(dir / "pdf.png"))), "") << "PDF";
}

INSTANTIATE_TEST_SUITE_P(Examples, GraphForPrint,
                         ::testing::Values(Example{"SalinityType3", "salinity", {}},
                                           Example{
                                               "FertiliserType4Fitted", "fertiliser", {"--regression-line"}},
                                           Example{"WatertableBeltBlackAndWhite",
                                                   "watertable",
                                                   {"--regression-line", "--belt", "--bw"}}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kinvalo
