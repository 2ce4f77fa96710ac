#pragma once
// The drawing surface of the graphs: exactly the operations they use.
// Integer pixels, origin at the top left, y growing downward; the picture
// is 623 x 465 pixels. The window and the batch command paint on a QImage,
// the tests record the calls.
#include <cstdint>
#include <string>

namespace kinvalo {

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

namespace colours {
inline constexpr Rgb Black{0, 0, 0};
inline constexpr Rgb White{255, 255, 255};
inline constexpr Rgb Silver{192, 192, 192};
inline constexpr Rgb Blue{0, 0, 255};
inline constexpr Rgb Aqua{0, 255, 255};
inline constexpr Rgb Yellow{255, 255, 0};
inline constexpr Rgb Green{0, 128, 0};
inline constexpr Rgb Fuchsia{255, 0, 255};
}  // namespace colours

enum class PenStyle { Solid, Dashed, Dotted };

inline constexpr int PictureWidth = 623;
inline constexpr int PictureHeight = 465;

class Canvas {
 public:
  virtual ~Canvas() = default;

  virtual void SetBrushColor(Rgb colour) = 0;
  // Fills the rectangle from (x1, y1) up to, not including, (x2, y2).
  virtual void FillRect(int x1, int y1, int x2, int y2) = 0;

  virtual void SetPenColor(Rgb colour) = 0;
  virtual void SetPenWidth(int width) = 0;
  virtual void SetPenStyle(PenStyle style) = 0;
  virtual void MoveTo(int x, int y) = 0;
  // A line from the current point to (x, y), which becomes the current point.
  virtual void LineTo(int x, int y) = 0;

  virtual void SetFontName(const std::string& name) = 0;
  virtual void SetFontSize(int points) = 0;
  virtual void SetFontColor(Rgb colour) = 0;
  // Text is UTF-8; (x, y) is its top-left corner.
  virtual void TextOut(int x, int y, const std::string& text) = 0;
  virtual int TextWidth(const std::string& text) = 0;
  virtual int TextHeight(const std::string& text) = 0;
};

}  // namespace kinvalo
