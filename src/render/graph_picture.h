#pragma once
// A graph drawn once and saved as any kind of picture: the Windows bitmap
// and the PNG of 623 x 465 pixels, a PNG two or three times that size, and
// SVG and PDF drawings whose lines and text stay sharp at any size. Every
// kind holds the same drawing: the calls on the canvas are kept and painted
// again on each.
#include <QImage>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "graphs/canvas.h"
#include "graphs/picture_format.h"
#include "render/qt_canvas.h"

namespace kinvalo {

class GraphPicture : public Canvas {
 public:
  GraphPicture() = default;

  void SetBrushColor(Rgb colour) override;
  void FillRect(int x1, int y1, int x2, int y2) override;
  void SetPenColor(Rgb colour) override;
  void SetPenWidth(int width) override;
  void SetPenStyle(PenStyle style) override;
  void MoveTo(int x, int y) override;
  void LineTo(int x, int y) override;
  void SetFontName(const std::string& name) override;
  void SetFontSize(int points) override;
  void SetFontColor(Rgb colour) override;
  void TextOut(int x, int y, const std::string& text) override;
  int TextWidth(const std::string& text) override;
  int TextHeight(const std::string& text) override;

  // The bitmap, as the window shows it.
  QImage Image() { return bitmap_.Image(); }

  // Writes the graph in the format its name asks for; a PNG `scale` (1, 2
  // or 3) times the size of the bitmap. SVG and PDF name `title` and
  // Kinvalo in their description; the PDF is one page of the graph's own
  // size at 96 pixels to the inch (16.5 x 12.3 cm), as the bitmaps say
  // they are. The file appears whole or not at all. Returns false with a
  // reason when it cannot be written.
  bool Save(const std::string& path, int scale, const std::string& title, std::string& reason);

  // Paints the graph again on `canvas`.
  void Replay(Canvas& canvas) const;

 private:
  enum class Op : std::uint8_t {
    Brush, Fill, PenColour, PenWidth, PenStyle, Move, Line, FontName, FontSize, FontColour, Text
  };
  // One call with its arguments: coordinates, a size, a colour (r, g, b) or
  // a style in `a`..`d`; a font name or text as the index of its string.
  struct Call {
    Op op;
    int a = 0, b = 0, c = 0, d = 0;
  };
  void Keep(Op op, int a = 0, int b = 0, int c = 0, int d = 0) {
    if (calls_.empty() || calls_.back().size() == kCallsPerBlock) calls_.emplace_back().reserve(kCallsPerBlock);
    calls_.back().push_back({op, a, b, c, d});
  }
  void KeepColour(Op op, Rgb colour) { Keep(op, colour.r, colour.g, colour.b); }
  void ReplayCall(const Call& call, Canvas& canvas) const;
  // The index of `text` among the strings; a graph repeats its bullet.
  int StringIndex(const std::string& text);

  QtCanvas bitmap_;
  // A graph of a million data sets keeps a million calls: in blocks that
  // never move, rather than one array copied each time it grows.
  static constexpr size_t kCallsPerBlock = 4096;
  std::vector<std::vector<Call>> calls_;
  std::vector<std::string> strings_;
};

}  // namespace kinvalo
