#include "render/graph_picture.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QString>
#include <QSvgGenerator>
#include <cctype>
#include <stdexcept>


namespace kinvalo {

namespace {

// The bitmaps say 96 pixels to the inch; every kind keeps that size on paper.
constexpr int kDotsPerInch = 96;
constexpr int kDotsPerMeter = 3780;
constexpr const char* kProgram = "Kinvalo";

// Paints `picture` on `painter`, whose coordinates are the picture's pixels
// times `scale`.
void PaintScaled(const GraphPicture& picture, QPainter& painter, double scale, double oddLineShift) {
  painter.scale(scale, scale);
  QtCanvas canvas(painter, oddLineShift);
  picture.Replay(canvas);
}

// A bitmap `scale` times the size: the same drawing, its lines as sharp
// edged and its text as smooth as on the bitmap. A line of one pixel
// covers the `scale` rows right of and below its path, as on the bitmap.
bool WriteLargerPng(const GraphPicture& picture, int scale, QIODevice& file) {
  QImage image(PictureWidth * scale, PictureHeight * scale, QImage::Format_RGB32);
  // Painted at 96 dots to the inch so that the fonts come out at the
  // bitmap's size before the scaling.
  image.setDotsPerMeterX(kDotsPerMeter);
  image.setDotsPerMeterY(kDotsPerMeter);
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    PaintScaled(picture, painter, scale, static_cast<double>(scale / 2) / scale);
  }
  // Printed at the bitmap's size.
  image.setDotsPerMeterX(kDotsPerMeter * scale);
  image.setDotsPerMeterY(kDotsPerMeter * scale);
  return image.save(&file, "PNG");
}

bool WriteSvg(const GraphPicture& picture, const std::string& title, QIODevice& file) {
  QSvgGenerator svg;
  svg.setOutputDevice(&file);
  svg.setSize(QSize(PictureWidth, PictureHeight));
  svg.setViewBox(QRect(0, 0, PictureWidth, PictureHeight));
  svg.setResolution(kDotsPerInch);
  // Written into the file as it is given: "&" and "<" of a title must come
  // escaped.
  svg.setTitle(QString::fromStdString(title).toHtmlEscaped());
  svg.setDescription(QString::fromLatin1(kProgram));
  QPainter painter;
  if (!painter.begin(&svg)) return false;
  PaintScaled(picture, painter, 1, 0.5);
  return painter.end();
}

// One page of the graph's size: it prints on any paper, fitted or at its
// own size, and goes into a document as a figure without margins to cut.
bool WritePdf(const GraphPicture& picture, const std::string& title, QIODevice& file) {
  QPdfWriter pdf(&file);
  pdf.setResolution(kDotsPerInch);
  // A page is a whole number of points: 467 x 349 for the 467.25 x 348.75
  // of the picture, which is stretched to fill it (by less than a thousandth).
  const QSize points(qRound(PictureWidth * 72.0 / kDotsPerInch), qRound(PictureHeight * 72.0 / kDotsPerInch));
  pdf.setPageLayout(
      QPageLayout(QPageSize(points, QString(), QPageSize::ExactMatch), QPageLayout::Portrait, QMarginsF()));
  pdf.setTitle(QString::fromStdString(title));
  pdf.setCreator(QString::fromLatin1(kProgram));
  QPainter painter;
  if (!painter.begin(&pdf)) return false;
  painter.scale(points.width() * kDotsPerInch / 72.0 / PictureWidth,
                points.height() * kDotsPerInch / 72.0 / PictureHeight);
  PaintScaled(picture, painter, 1, 0.5);
  return painter.end();
}

}  // namespace

void GraphPicture::SetBrushColor(Rgb colour) {
  bitmap_.SetBrushColor(colour);
  KeepColour(Op::Brush, colour);
}

void GraphPicture::FillRect(int x1, int y1, int x2, int y2) {
  bitmap_.FillRect(x1, y1, x2, y2);
  Keep(Op::Fill, x1, y1, x2, y2);
}

void GraphPicture::SetPenColor(Rgb colour) {
  bitmap_.SetPenColor(colour);
  KeepColour(Op::PenColour, colour);
}

void GraphPicture::SetPenWidth(int width) {
  bitmap_.SetPenWidth(width);
  Keep(Op::PenWidth, width);
}

void GraphPicture::SetPenStyle(PenStyle style) {
  bitmap_.SetPenStyle(style);
  Keep(Op::PenStyle, static_cast<int>(style));
}

void GraphPicture::MoveTo(int x, int y) {
  bitmap_.MoveTo(x, y);
  Keep(Op::Move, x, y);
}

void GraphPicture::LineTo(int x, int y) {
  bitmap_.LineTo(x, y);
  Keep(Op::Line, x, y);
}

void GraphPicture::SetFontName(const std::string& name) {
  bitmap_.SetFontName(name);
  Keep(Op::FontName, StringIndex(name));
}

void GraphPicture::SetFontSize(int points) {
  bitmap_.SetFontSize(points);
  Keep(Op::FontSize, points);
}

void GraphPicture::SetFontColor(Rgb colour) {
  bitmap_.SetFontColor(colour);
  KeepColour(Op::FontColour, colour);
}

void GraphPicture::TextOut(int x, int y, const std::string& text) {
  bitmap_.TextOut(x, y, text);
  Keep(Op::Text, x, y, StringIndex(text));
}

int GraphPicture::TextWidth(const std::string& text) { return bitmap_.TextWidth(text); }

int GraphPicture::TextHeight(const std::string& text) { return bitmap_.TextHeight(text); }

int GraphPicture::StringIndex(const std::string& text) {
  if (strings_.empty() || strings_.back() != text) strings_.push_back(text);
  return static_cast<int>(strings_.size()) - 1;
}

void GraphPicture::Replay(Canvas& canvas) const {
  for (const std::vector<Call>& block : calls_) {
    for (const Call& call : block) ReplayCall(call, canvas);
  }
}

void GraphPicture::ReplayCall(const Call& call, Canvas& canvas) const {
  const Rgb colour{static_cast<std::uint8_t>(call.a), static_cast<std::uint8_t>(call.b),
                   static_cast<std::uint8_t>(call.c)};
  switch (call.op) {
    case Op::Brush: canvas.SetBrushColor(colour); break;
    case Op::Fill: canvas.FillRect(call.a, call.b, call.c, call.d); break;
    case Op::PenColour: canvas.SetPenColor(colour); break;
    case Op::PenWidth: canvas.SetPenWidth(call.a); break;
    case Op::PenStyle: canvas.SetPenStyle(static_cast<PenStyle>(call.a)); break;
    case Op::Move: canvas.MoveTo(call.a, call.b); break;
    case Op::Line: canvas.LineTo(call.a, call.b); break;
    case Op::FontName: canvas.SetFontName(strings_.at(static_cast<size_t>(call.a))); break;
    case Op::FontSize: canvas.SetFontSize(call.a); break;
    case Op::FontColour: canvas.SetFontColor(colour); break;
    case Op::Text: canvas.TextOut(call.a, call.b, strings_.at(static_cast<size_t>(call.c))); break;
  }
}

bool GraphPicture::Save(const std::string& path, int scale, const std::string& title, std::string& reason) {
  const std::optional<PictureFormat> format = PictureFormatOf(path);
  if (scale < 1 || scale > 3 || (scale > 1 && format != PictureFormat::Png)) {
    throw std::invalid_argument("A picture is larger than its graph as a PNG only, at most three times.");
  }
  if (!format) {
    reason = "The picture can only be saved as .bmp, .png, .svg or .pdf.";
    return false;
  }
  // The bitmap and the PNG of its size, exactly as they have always been written.
  if ((format == PictureFormat::Bmp || format == PictureFormat::Png) && scale == 1) {
    return SavePicture(Image(), path, reason);
  }
  QSaveFile file(QString::fromStdString(path));
  bool written = file.open(QIODevice::WriteOnly);
  if (written) {
    if (format == PictureFormat::Png) written = WriteLargerPng(*this, scale, file);
    else if (format == PictureFormat::Svg) written = WriteSvg(*this, title, file);
    else written = WritePdf(*this, title, file);
    written = written && file.commit();
  }
  if (!written) {
    reason = "The picture could not be written to \"" + path + "\": " + file.errorString().toStdString();
  }
  return written;
}

}  // namespace kinvalo
