// The graph saved for print: SVG, PDF and the larger PNGs, rasterised
// again at 623 x 465, hold the bitmap's graph where the bitmap has it.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QStandardPaths>
#include <QString>
#include <QSvgRenderer>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "cli/batch.h"
#include "support/cli_process.h"

namespace kinvalo {
namespace {

using test::ReadBytes;
using test::TempDir;

// Where two pictures of the graph differ in layout: the box around their
// dark ink, and the mean grey of each cell of a 16 x 12 grid. Empty when
// they agree within the room that smoothing and font hinting take: the
// edges of the ink within a pixel, but text unhinted runs up to 3 pixels
// longer to the right; a cell of another renderer's smoothing differs by
// up to 6 levels of grey.
std::string LayoutDifference(const QImage& bitmap, const QImage& other) {
  if (other.size() != bitmap.size()) return "size differs";
  struct Box {
    int left = 1 << 20, top = 1 << 20, right = -1, bottom = -1;
  } boxes[2];
  constexpr int kColumns = 16, kRows = 12;
  std::vector<double> grey[2] = {std::vector<double>(kColumns * kRows), std::vector<double>(kColumns * kRows)};
  for (int i = 0; i < 2; ++i) {
    const QImage image = (i == 0 ? bitmap : other).convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        const int g = qGray(image.pixel(x, y));
        grey[i][static_cast<size_t>(y * kRows / image.height() * kColumns + x * kColumns / image.width())] += g;
        if (g >= 100) continue;
        Box& b = boxes[i];
        b.left = std::min(b.left, x), b.top = std::min(b.top, y);
        b.right = std::max(b.right, x), b.bottom = std::max(b.bottom, y);
      }
    }
  }
  std::ostringstream differs;
  const Box &a = boxes[0], &b = boxes[1];
  if (std::abs(a.left - b.left) > 1 || std::abs(a.top - b.top) > 1 || std::abs(a.right - b.right) > 3 ||
      std::abs(a.bottom - b.bottom) > 1) {
    differs << "ink from (" << b.left << "," << b.top << ") to (" << b.right << "," << b.bottom
            << ") instead of (" << a.left << "," << a.top << ") to (" << a.right << "," << a.bottom << "); ";
  }
  const double cell = static_cast<double>(bitmap.width() * bitmap.height()) / (kColumns * kRows);
  for (size_t c = 0; c < grey[0].size(); ++c) {
    const double difference = std::abs(grey[0][c] - grey[1][c]) / cell;
    if (difference > 8) differs << "cell " << c % kColumns << "," << c / kColumns << " by " << difference << "; ";
  }
  return differs.str();
}

QImage Rasterised(const QImage& larger) {
  return larger.scaled(623, 465, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

struct Example {
  const char* name;
  const char* example;
  std::vector<std::string> flags;
};

void PrintTo(const Example& e, std::ostream* os) { *os << e.name; }

class GraphForPrint : public ::testing::TestWithParam<Example> {};

TEST_P(GraphForPrint, EveryKindHoldsTheBitmapsLayout) {
  TempDir dir;
  const std::string input = dir / "g.inp", out = dir / "g.out";
  std::filesystem::copy_file(std::string(KINVALO_EXAMPLES) + "/" + GetParam().example + ".inp", input);
  std::ostringstream sink;
  ASSERT_EQ(RunBatch({"calculate", input}, sink, sink), 0) << sink.str();
  for (const std::string picture : {"g.bmp", "g.svg", "g.pdf", "g2.png", "g3.png"}) {
    std::vector<std::string> args = {"graph", out, dir / picture};
    args.insert(args.end(), GetParam().flags.begin(), GetParam().flags.end());
    if (picture[1] != '.') args.insert(args.end(), {"--scale", picture.substr(1, 1)});
    ASSERT_EQ(RunBatch(args, sink, sink), 0) << sink.str();
  }
  const QImage bitmap(QString::fromStdString(dir / "g.bmp"));

  const QImage x2(QString::fromStdString(dir / "g2.png")), x3(QString::fromStdString(dir / "g3.png"));
  EXPECT_EQ(x2.size(), QSize(1246, 930));
  EXPECT_EQ(x3.size(), QSize(1869, 1395));
  EXPECT_EQ(LayoutDifference(bitmap, Rasterised(x2)), "") << "PNG x2";
  EXPECT_EQ(LayoutDifference(bitmap, Rasterised(x3)), "") << "PNG x3";

  // Text stays text, and nothing is a picture inside the drawing.
  const std::string svg = ReadBytes(dir / "g.svg");
  EXPECT_NE(svg.find("<text"), std::string::npos);
  EXPECT_EQ(svg.find("<image"), std::string::npos);
  EXPECT_NE(svg.find("<desc>Kinvalo</desc>"), std::string::npos);
  QSvgRenderer renderer(QString::fromStdString(dir / "g.svg"));
  QImage drawn(623, 465, QImage::Format_RGB32);
  drawn.fill(Qt::white);
  {
    QPainter painter(&drawn);
    renderer.render(&painter, QRectF(0, 0, 623, 465));
  }
  EXPECT_EQ(LayoutDifference(bitmap, drawn), "") << "SVG";

  const std::string pdf = ReadBytes(dir / "g.pdf");
  EXPECT_NE(pdf.find("/FontFile"), std::string::npos);
  EXPECT_EQ(pdf.find("/Subtype /Image"), std::string::npos);
  if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty()) GTEST_SKIP() << "no pdftoppm";
  const std::string command = "pdftoppm -png -scale-to-x 623 -scale-to-y 465 -singlefile '" + (dir / "g.pdf") +
                              "' '" + (dir / "pdf") + "'";
  ASSERT_EQ(std::system(command.c_str()), 0);
  EXPECT_EQ(LayoutDifference(bitmap, QImage(QString::fromStdString(dir / "pdf.png"))), "") << "PDF";
}

INSTANTIATE_TEST_SUITE_P(
    Examples, GraphForPrint,
    ::testing::Values(Example{"SalinityType3", "salinity", {}},
                      Example{"FertiliserType4Fitted", "fertiliser", {"--regression-line"}},
                      Example{"WatertableBeltBlackAndWhite", "watertable", {"--regression-line", "--belt", "--bw"}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kinvalo
