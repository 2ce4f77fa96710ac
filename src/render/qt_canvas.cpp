#include "render/qt_canvas.h"

#include <QFontMetrics>
#include <QPen>
#include <QPointF>
#include <QRect>
#include <QSaveFile>
#include <QString>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace kinvalo {

namespace {

QColor ToQColor(Rgb c) { return QColor(c.r, c.g, c.b); }

// 96 dots per inch, so that font sizes in points come out as on the
// screens the layout was made for.
constexpr int kDotsPerMeter = 3780;

// A text drawn this often in a row is learnt and stamped from then on.
constexpr int kStampAfter = 64;

}  // namespace

// What painting one text at a place does to each pixel it reaches: a pixel
// comes out as a function of what lay there, channel by channel, the same
// wherever the text stands (the painter places it on whole pixels).
struct TextStamp {
  struct Pixel {
    int dx, dy;  // from the place of the text
    std::array<std::array<std::uint8_t, 256>, 3> rgb;
    QRgb Over(QRgb under) const { return qRgb(rgb[0][qRed(under)], rgb[1][qGreen(under)], rgb[2][qBlue(under)]); }
  };
  std::vector<Pixel> pixels;  // those that change at all
  QRect reach;                // around them

  void Apply(QImage& picture, QPoint at) const {
    uchar* const bits = picture.bits();
    const qsizetype line = picture.bytesPerLine();
    const bool inside = picture.rect().contains(reach.translated(at));
    for (const Pixel& p : pixels) {
      const int x = at.x() + p.dx, y = at.y() + p.dy;
      if (!inside && (x < 0 || y < 0 || x >= picture.width() || y >= picture.height())) continue;
      QRgb& pixel = reinterpret_cast<QRgb*>(bits + y * line)[x];
      pixel = p.Over(pixel);
    }
  }
};

namespace {

// Paints `layout` on tiles of the given backgrounds, each at `offset` in a
// tile of `tile` pixels, as the picture's painter does.
QImage PaintOnTiles(const std::vector<QRgb>& grounds, QSize tile, QPoint offset, const QStaticText& layout,
                    const QFont& font, const QColor& colour, const QImage& like) {
  constexpr int kAcross = 16;
  const int rows = (static_cast<int>(grounds.size()) + kAcross - 1) / kAcross;
  QImage tiles(tile.width() * kAcross, tile.height() * rows, QImage::Format_RGB32);
  tiles.setDotsPerMeterX(like.dotsPerMeterX());
  tiles.setDotsPerMeterY(like.dotsPerMeterY());
  QPainter painter(&tiles);
  painter.setRenderHint(QPainter::Antialiasing, false);
  for (size_t i = 0; i < grounds.size(); ++i) {
    const QPoint corner(static_cast<int>(i % kAcross) * tile.width(), static_cast<int>(i / kAcross) * tile.height());
    painter.fillRect(QRect(corner, tile), QColor(grounds[i]));
  }
  painter.setFont(font);
  painter.setPen(colour);
  for (size_t i = 0; i < grounds.size(); ++i) {
    const QPoint corner(static_cast<int>(i % kAcross) * tile.width(), static_cast<int>(i / kAcross) * tile.height());
    painter.drawStaticText(corner + offset, layout);
  }
  painter.end();
  return tiles;
}

// Learns the stamp of a text by painting it on every grey and reading each
// channel's function off the pixels; then checks it on backgrounds of
// mixed colours, where every pixel of the tiles must come out as the stamp
// says. None when the text is large or the check fails.
std::unique_ptr<const TextStamp> LearnStamp(const QStaticText& layout, const QFont& font, const QColor& colour,
                                           const QImage& like) {
  // Where the text reaches: what changes on black or on white, and a pixel
  // around it.
  const QFontMetrics metrics(font, &like);
  const QRect bounds = metrics.boundingRect(layout.text()).translated(0, metrics.ascent());
  if (bounds.width() > 64 || bounds.height() > 64) return nullptr;
  constexpr int kMargin = 8;
  const QSize room = bounds.size() + QSize(2 * kMargin, 2 * kMargin);
  const QPoint origin = QPoint(kMargin, kMargin) - bounds.topLeft();
  const QImage extremes = PaintOnTiles({qRgb(0, 0, 0), qRgb(255, 255, 255)}, room, origin, layout, font, colour, like);
  QRect changed;
  for (int y = 0; y < room.height(); ++y) {
    for (int x = 0; x < room.width(); ++x) {
      if (extremes.pixel(x, y) != qRgb(0, 0, 0) || extremes.pixel(room.width() + x, y) != qRgb(255, 255, 255)) {
        changed |= QRect(x, y, 1, 1);
      }
    }
  }
  if (changed.isEmpty() || !QRect(QPoint(1, 1), room - QSize(2, 2)).contains(changed)) return nullptr;
  const QRect reach = changed.adjusted(-1, -1, 1, 1).translated(-origin);  // from the place of the text

  // One tile for each grey, then tiles of mixed colours, each with a pixel
  // of margin around the reach.
  const QSize tile = reach.size() + QSize(2, 2);
  const QPoint at = QPoint(1, 1) - reach.topLeft();
  std::vector<QRgb> greys(256);
  for (int v = 0; v < 256; ++v) greys[static_cast<size_t>(v)] = qRgb(v, v, v);
  const QImage grey = PaintOnTiles(greys, tile, at, layout, font, colour, like);
  auto tileCorner = [&](int i) { return QPoint((i % 16) * tile.width(), (i / 16) * tile.height()); };
  auto stamp = std::make_unique<TextStamp>();
  for (int dy = reach.top(); dy <= reach.bottom(); ++dy) {
    for (int dx = reach.left(); dx <= reach.right(); ++dx) {
      TextStamp::Pixel p{dx, dy, {}};
      bool changes = false;
      for (int v = 0; v < 256; ++v) {
        const QRgb out = grey.pixel(tileCorner(v) + at + QPoint(dx, dy));
        p.rgb[0][static_cast<size_t>(v)] = static_cast<std::uint8_t>(qRed(out));
        p.rgb[1][static_cast<size_t>(v)] = static_cast<std::uint8_t>(qGreen(out));
        p.rgb[2][static_cast<size_t>(v)] = static_cast<std::uint8_t>(qBlue(out));
        changes = changes || out != greys[static_cast<size_t>(v)];
      }
      if (changes) {
        stamp->pixels.push_back(p);
        stamp->reach |= QRect(dx, dy, 1, 1);
      }
    }
  }

  std::vector<QRgb> mixed(256);
  std::uint32_t seed = 12345;
  for (QRgb& c : mixed) {
    seed = seed * 1664525u + 1013904223u;
    c = qRgb(static_cast<int>(seed >> 24), static_cast<int>((seed >> 16) & 255), static_cast<int>((seed >> 8) & 255));
  }
  const QImage painted = PaintOnTiles(mixed, tile, at, layout, font, colour, like);
  for (int i = 0; i < 256; ++i) {
    QImage one(tile, QImage::Format_RGB32);
    one.fill(QColor(mixed[static_cast<size_t>(i)]));
    stamp->Apply(one, at);
    for (int y = 0; y < tile.height(); ++y) {
      for (int x = 0; x < tile.width(); ++x) {
        if (painted.pixel(tileCorner(i) + QPoint(x, y)) != one.pixel(x, y)) return nullptr;
      }
    }
  }
  return stamp;
}

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
  if (name != fontName_) {
    fontStale_ = true;
    ForgetStamp();
  }
  fontName_ = name;
}
void QtCanvas::SetFontSize(int points) {
  points = points < 1 ? 1 : points;
  if (points != fontSize_) {
    fontStale_ = true;
    ForgetStamp();
  }
  fontSize_ = points;
}
void QtCanvas::SetFontColor(Rgb colour) {
  if (ToQColor(colour) != fontColour_) ForgetStamp();
  fontColour_ = ToQColor(colour);
  if (textPen_) painter_->setPen(fontColour_);
}

void QtCanvas::ForgetStamp() {
  stamp_.reset();
  repeats_ = 0;
  stampTried_ = false;
}

void QtCanvas::TextOut(int x, int y, const std::string& text) {
  if (stamp_ && text == lastText_) {
    stamp_->Apply(image_, QPoint(x, y));
    return;
  }
  QPainter& p = Painter();
  const QFont& font = CurrentFont();
  if (p.font() != font) p.setFont(font);
  if (!textPen_) {
    p.setPen(fontColour_);
    textPen_ = true;
  }
  // Asking the layout for its text would copy it for every bullet.
  if (!layoutMade_ || text != lastText_) {
    ForgetStamp();
    lastText_ = text;
    lastLayout_ = QStaticText(QString::fromStdString(text));
    lastLayout_.setTextFormat(Qt::PlainText);
    layoutMade_ = true;
  }
  const QPoint at(x, y);
  if (target_ != nullptr || stampTried_ || ++repeats_ < kStampAfter) {
    p.drawStaticText(at, lastLayout_);
    return;
  }
  // Learnt once, and kept only when this text, painted on the picture
  // itself, comes out as the stamp says.
  stampTried_ = true;
  std::unique_ptr<const TextStamp> stamp = LearnStamp(lastLayout_, font, fontColour_, image_);
  QImage before = image_.copy();
  p.drawStaticText(at, lastLayout_);
  if (stamp) {
    stamp->Apply(before, at);
    if (before == image_) stamp_ = std::move(stamp);
  }
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
