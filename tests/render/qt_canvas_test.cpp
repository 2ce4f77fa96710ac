// The Qt drawing surface: what reaches the pixels and the files.
#include "render/qt_canvas.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QString>
#include <cstdint>
#include <utility>

#include "render/gui_app.h"
#include "support/temp_dir.h"

namespace kinvalo {
namespace {

using test::TempDir;

class QtCanvasTest : public ::testing::Test {
 protected:
  void SetUp() override { EnsureGuiApplication(); }
  QtCanvas canvas;
};

// What is drawn reaches the pixels, and a bitmap or a PNG saved of them
// reads back the same; any other name, or a folder that is not there,
// leaves no file.
TEST_F(QtCanvasTest, FillsLinesAndTextReachThePixelsAndTheSavedFiles) {
  canvas.SetBrushColor(colours::Blue);
  canvas.FillRect(20, 19, 605, 445);
  canvas.SetPenColor(colours::Yellow);
  canvas.SetPenStyle(PenStyle::Solid);
  canvas.MoveTo(70, 400);
  canvas.LineTo(570, 400);
  canvas.SetPenStyle(PenStyle::Dashed);
  canvas.MoveTo(70, 300);
  canvas.LineTo(570, 300);
  canvas.SetFontName("Arial");
  canvas.SetFontSize(10);
  canvas.SetFontColor(colours::White);
  canvas.TextOut(100, 100, "Break-point at X = 6.07");
  TempDir dir;
  std::string reason;
  ASSERT_TRUE(canvas.Save(dir / "g.bmp", reason)) << reason;
  ASSERT_TRUE(canvas.Save(dir / "g.png", reason)) << reason;
  for (const QImage& image : {canvas.Image(), QImage(QString::fromStdString(dir / "g.bmp")),
                              QImage(QString::fromStdString(dir / "g.png"))}) {
    ASSERT_EQ(image.size(), QSize(623, 465));
    // Outside the fill, its first pixel, its end (left out) and the solid line.
    const struct {
      int x, y;
      QColor colour;
    } pixels[] = {{10, 10, Qt::white}, {20, 19, Qt::blue}, {605, 445, Qt::white}, {300, 400, Qt::yellow}};
    for (const auto& p : pixels) EXPECT_EQ(QColor(image.pixel(p.x, p.y)), p.colour) << p.x << "," << p.y;
    int dashes = 0;
    for (int x = 70; x < 570; ++x) dashes += QColor(image.pixel(x, 300)) == QColor(Qt::yellow);
    EXPECT_TRUE(dashes > 100 && dashes < 450) << dashes;
    int lit = 0;
    for (int y = 100; y < 120; ++y) {
      for (int x = 100; x < 250; ++x) lit += qRed(image.pixel(x, y)) > 128;
    }
    EXPECT_GT(lit, 50);
  }
  const int width = canvas.TextWidth("Break-point at X = 6.07");
  const int height = canvas.TextHeight("8");
  EXPECT_TRUE(width > 100 && width < 200 && height > 10 && height < 25) << width << " " << height;
  EXPECT_FALSE(canvas.Save(dir / "g.jpg", reason));
  EXPECT_FALSE(canvas.Save(dir / "missing/g.bmp", reason));
  EXPECT_NE(reason.find("could not be written"), std::string::npos);
  EXPECT_EQ(dir.Listing(), "g.bmp g.png ");
}

// A text drawn again and again, as the bullets of a graph, in two colours
// and sizes, over the edges too: the picture holds the very pixels of each
// one painted in turn by the painter of another picture.
TEST_F(QtCanvasTest, RepeatedTextsComeOutAsPaintedOneByOne) {
  QImage painted(623, 465, QImage::Format_RGB32);
  painted.setDotsPerMeterX(3780);
  painted.setDotsPerMeterY(3780);
  painted.fill(Qt::white);
  QPainter painter(&painted);
  QtCanvas onePerText(painter, 0);
  for (Canvas* c : {static_cast<Canvas*>(&canvas), static_cast<Canvas*>(&onePerText)}) {
    c->SetBrushColor(colours::Silver);
    c->FillRect(20, 19, 605, 445);
    std::uint32_t seed = 1;
    for (const auto& [colour, size] : {std::pair(colours::Green, 10), std::pair(colours::Black, 14)}) {
      c->SetFontName("Arial");
      c->SetFontSize(size);
      c->SetFontColor(colour);
      for (int i = 0; i < 3000; ++i) {
        seed = seed * 1664525u + 1013904223u;
        c->TextOut(static_cast<int>(seed >> 8) % 660 - 20, static_cast<int>(seed >> 20) % 500 - 20, "\u2022");
      }
    }
  }
  painter.end();
  EXPECT_TRUE(canvas.Image() == painted);
}

}  // namespace
}  // namespace kinvalo
