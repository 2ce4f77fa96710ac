#pragma once
// The drawing surface of the window and of the batch command: a 623 x 465
// picture painted with Qt, saved as a Windows bitmap or a PNG file. The
// same drawing can go to another painter (an SVG or PDF page, a larger
// bitmap) whose coordinates are the picture's pixels.
#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPoint>
#include <QStaticText>
#include <memory>
#include <string>

#include "graphs/canvas.h"

namespace kinvalo {

// Writes `picture` as a Windows bitmap when the name ends in ".bmp" (any
// case), as a PNG for ".png". The file appears whole or not at all.
// Returns false with a reason when it cannot be written.
bool SavePicture(const QImage& picture, const std::string& path, std::string& reason);

struct TextStamp;

class QtCanvas : public Canvas {
 public:
  QtCanvas();
  // Paints on `target` instead, measuring text as on the bitmap so that
  // the graph is laid out alike. Lines of an odd width move right and down
  // by `oddLineShift` pixels of the picture: on the bitmap such a line
  // covers the pixels to the right of and below its path, and a painter
  // that draws finer than a pixel should cover the same.
  QtCanvas(QPainter& target, double oddLineShift);
  ~QtCanvas() override;
  QtCanvas(const QtCanvas&) = delete;
  QtCanvas& operator=(const QtCanvas&) = delete;

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

  // The picture as drawn so far (blank when painting on another painter).
  QImage Image();
  // Writes the picture as drawn (SavePicture).
  bool Save(const std::string& path, std::string& reason);

 private:
  QPainter& Painter();
  void ApplyPen();
  const QFont& CurrentFont();
  // A new text, font or font colour: what was learnt of the last text goes.
  void ForgetStamp();

  QImage image_;
  std::unique_ptr<QPainter> ownPainter_;  // of the image
  QPainter* painter_ = nullptr;           // the one painting, once begun
  QPainter* target_ = nullptr;            // painting elsewhere; the image only measures
  double oddLineShift_ = 0;
  QColor brush_{Qt::white};
  QColor penColour_{Qt::black};
  int penWidth_ = 1;
  PenStyle penStyle_ = PenStyle::Solid;
  QPoint current_;
  std::string fontName_ = "Arial";
  int fontSize_ = 10;
  QColor fontColour_{Qt::black};
  // The font built from name and size, rebuilt only when they change; the
  // graphs draw one bullet per data set.
  QFont font_;
  bool fontStale_ = true;
  int ascent_ = 0;
  bool textPen_ = false;  // the painter holds the text colour, not the pen
  // The last text laid out, kept for the next data set's bullet.
  std::string lastText_;
  QStaticText lastLayout_;
  bool layoutMade_ = false;
  // How the last text changes each pixel it reaches, learnt from the
  // painter once it has been drawn often in a row (the bullets of a graph),
  // and then applied to the picture directly, pixel for pixel the same.
  std::unique_ptr<const TextStamp> stamp_;
  int repeats_ = 0;
  bool stampTried_ = false;
};

}  // namespace kinvalo
