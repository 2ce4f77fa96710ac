#include "render/qt_canvas.h"

#include <QFontMetrics>
#include <QPen>
#include <QPointF>
#include <QRect>
#include <QSaveFile>
#include <QString>

namespace kinvalo {

namespace {

QColor ToQColor(Rgb c) { return QColor(c.r, c.g, c.b); }

// 96 dots per inch, so that font sizes in points come out as on the
// screens the layout was made for.
constexpr int kDotsPerMeter = 3780;

}  // namespace

QtCanvas::QtCanvas() : image_(PictureWidth, PictureHeight, QImage::Format_RGB32) {
  image_.setDotsPerMeterX(kDotsPerMeter);
  image_.setDotsPerMeterY(kDotsPerMeter);
  image_.fill(Qt::white);
}

QtCanvas::QtCanvas(QPainter& target, double oddLineShift)
    : image_(1, 1, QImage::Format_RGB32), target_(&target), oddLineShift_(oddLineShift) {
  image_.setDotsPerMeterX(kDotsPerMeter);
  image_.setDotsPerMeterY(kDotsPerMeter);
}

QtCanvas::~QtCanvas() = default;

QPainter& QtCanvas::Painter() {
  if (!painter_) {
    if (target_ == nullptr) ownPainter_ = std::make_unique<QPainter>(&image_);
    painter_ = target_ != nullptr ? target_ : ownPainter_.get();
    painter_->setRenderHint(QPainter::Antialiasing, false);
    ApplyPen();
  }
  return *painter_;
}

void QtCanvas::ApplyPen() {
  if (!painter_) return;
  textPen_ = false;
  Qt::PenStyle style = Qt::SolidLine;
  if (penStyle_ == PenStyle::Dashed) style = Qt::DashLine;
  if (penStyle_ == PenStyle::Dotted) style = Qt::DotLine;
  // Painted finer than the bitmap, a solid line reaches over the pixels at
  // its ends as the bitmap's does.
  const Qt::PenCapStyle cap = target_ != nullptr && style == Qt::SolidLine ? Qt::SquareCap : Qt::FlatCap;
  QPen pen(penColour_, penWidth_, style, cap, Qt::MiterJoin);
  painter_->setPen(pen);
}

const QFont& QtCanvas::CurrentFont() {
  if (fontStale_) {
    font_ = QFont(QString::fromStdString(fontName_));
    font_.setPointSize(fontSize_);
    // Grey edges only: a black-and-white picture must hold no coloured pixel.
    font_.setStyleStrategy(QFont::NoSubpixelAntialias);
    ascent_ = QFontMetrics(font_, &image_).ascent();
    fontStale_ = false;
    if (painter_) painter_->setFont(font_);
  }
  return font_;
}

void QtCanvas::SetBrushColor(Rgb colour) { brush_ = ToQColor(colour); }

void QtCanvas::FillRect(int x1, int y1, int x2, int y2) {
  Painter().fillRect(QRect(QPoint(x1, y1), QPoint(x2 - 1, y2 - 1)), brush_);
}

void QtCanvas::SetPenColor(Rgb colour) {
  penColour_ = ToQColor(colour);
  ApplyPen();
}

void QtCanvas::SetPenWidth(int width) {
  penWidth_ = width < 1 ? 1 : width;
  ApplyPen();
}

void QtCanvas::SetPenStyle(PenStyle style) {
  penStyle_ = style;
  ApplyPen();
}

void QtCanvas::MoveTo(int x, int y) { current_ = QPoint(x, y); }

void QtCanvas::LineTo(int x, int y) {
  const QPoint to(x, y);
  QPainter& p = Painter();
  if (textPen_) ApplyPen();
  if (target_ == nullptr) {
    p.drawLine(current_, to);
  } else {
    const double shift = penWidth_ % 2 == 1 ? oddLineShift_ : 0;
    p.drawLine(QPointF(current_) + QPointF(shift, shift), QPointF(to) + QPointF(shift, shift));
  }
  current_ = to;
}

void QtCanvas::SetFontName(const std::string& name) {
  if (name != fontName_) fontStale_ = true;
  fontName_ = name;
}
void QtCanvas::SetFontSize(int points) {
  points = points < 1 ? 1 : points;
  if (points != fontSize_) fontStale_ = true;
  fontSize_ = points;
}
void QtCanvas::SetFontColor(Rgb colour) {
  fontColour_ = ToQColor(colour);
  if (textPen_) painter_->setPen(fontColour_);
}

void QtCanvas::TextOut(int x, int y, const std::string& text) {
  QPainter& p = Painter();
  const QFont& font = CurrentFont();
  if (p.font() != font) p.setFont(font);
  if (!textPen_) {
    p.setPen(fontColour_);
    textPen_ = true;
  }
  // Asking the layout for its text would copy it for every bullet.
  if (!layoutMade_ || text != lastText_) {
    lastText_ = text;
    lastLayout_ = QStaticText(QString::fromStdString(text));
    lastLayout_.setTextFormat(Qt::PlainText);
    layoutMade_ = true;
  }
  p.drawStaticText(QPoint(x, y), lastLayout_);
}

int QtCanvas::TextWidth(const std::string& text) {
  const QFontMetrics metrics(CurrentFont(), &image_);
  return metrics.horizontalAdvance(QString::fromStdString(text));
}

int QtCanvas::TextHeight(const std::string&) {
  return QFontMetrics(CurrentFont(), &image_).height();
}

QImage QtCanvas::Image() {
  if (ownPainter_) {
    ownPainter_->end();
    ownPainter_.reset();
    painter_ = nullptr;
    textPen_ = false;
  }
  return target_ == nullptr ? image_ : QImage();
}

bool QtCanvas::Save(const std::string& path, std::string& reason) { return SavePicture(Image(), path, reason); }

bool SavePicture(const QImage& picture, const std::string& path, std::string& reason) {
  const QString name = QString::fromStdString(path);
  const char* format = nullptr;
  if (name.endsWith(".bmp", Qt::CaseInsensitive)) format = "BMP";
  if (name.endsWith(".png", Qt::CaseInsensitive)) format = "PNG";
  if (format == nullptr) {
    reason = "The picture can only be saved as .bmp or .png.";
    return false;
  }
  QSaveFile file(name);
  if (!file.open(QIODevice::WriteOnly) || !picture.save(&file, format) || !file.commit()) {
    reason = "The picture could not be written to \"" + path + "\": " +
             file.errorString().toStdString();
    return false;
  }
  return true;
}

}  // namespace kinvalo
