#pragma once
// A Canvas that records what reaches the picture: every fill with its
// brush colour, every line segment with the pen it was drawn with and
// every text with its font. Text metrics are fixed: 7 pixels per
// character, 14 pixels high.
#include <ostream>
#include <string>
#include <variant>
#include <vector>

#include "graphs/canvas.h"

namespace kinvalo::test {

struct FillOp {
  Rgb brush;
  int x1, y1, x2, y2;
};

struct SegmentOp {
  Rgb colour;
  int width;
  PenStyle style;
  int x1, y1, x2, y2;
};

struct TextOp {
  std::string font;
  int size;
  Rgb colour;
  int x, y;
  std::string text;
};

using CanvasOp = std::variant<FillOp, SegmentOp, TextOp>;

inline std::ostream& operator<<(std::ostream& os, const Rgb& c) {
  return os << "(" << int(c.r) << "," << int(c.g) << "," << int(c.b) << ")";
}

inline std::ostream& operator<<(std::ostream& os, const SegmentOp& s) {
  static const char* const styles[] = {"solid", "dashed", "dotted"};
  return os << "(" << s.x1 << "," << s.y1 << ")-(" << s.x2 << "," << s.y2 << ") " << s.colour
            << " w" << s.width << " " << styles[static_cast<int>(s.style)];
}

class RecordingCanvas : public Canvas {
 public:
  std::vector<CanvasOp> ops;

  void SetBrushColor(Rgb colour) override { brush_ = colour; }
  void FillRect(int x1, int y1, int x2, int y2) override {
    ops.push_back(FillOp{brush_, x1, y1, x2, y2});
  }
  void SetPenColor(Rgb colour) override { penColour_ = colour; }
  void SetPenWidth(int width) override { penWidth_ = width; }
  void SetPenStyle(PenStyle style) override { penStyle_ = style; }
  void MoveTo(int x, int y) override {
    x_ = x;
    y_ = y;
  }
  void LineTo(int x, int y) override {
    ops.push_back(SegmentOp{penColour_, penWidth_, penStyle_, x_, y_, x, y});
    x_ = x;
    y_ = y;
  }
  void SetFontName(const std::string& name) override { fontName_ = name; }
  void SetFontSize(int points) override { fontSize_ = points; }
  void SetFontColor(Rgb colour) override { fontColour_ = colour; }
  void TextOut(int x, int y, const std::string& text) override {
    ops.push_back(TextOp{fontName_, fontSize_, fontColour_, x, y, text});
  }
  int TextWidth(const std::string& text) override {
    int characters = 0;
    for (unsigned char c : text) characters += (c & 0xC0) != 0x80;  // UTF-8 lead bytes
    return 7 * characters;
  }
  int TextHeight(const std::string&) override { return 14; }

  template <typename Op>
  std::vector<Op> All() const {
    std::vector<Op> found;
    for (const CanvasOp& op : ops) {
      if (const Op* o = std::get_if<Op>(&op)) found.push_back(*o);
    }
    return found;
  }
  std::vector<SegmentOp> Segments(Rgb colour) const {
    std::vector<SegmentOp> found;
    for (const SegmentOp& s : All<SegmentOp>()) {
      if (s.colour == colour) found.push_back(s);
    }
    return found;
  }
  // The first text that is exactly `text`, or nullptr.
  const TextOp* FindText(const std::string& text) const {
    for (const CanvasOp& op : ops) {
      if (const TextOp* t = std::get_if<TextOp>(&op); t && t->text == text) return t;
    }
    return nullptr;
  }

 private:
  Rgb brush_{}, penColour_{}, fontColour_{};
  int penWidth_ = 1;
  PenStyle penStyle_ = PenStyle::Solid;
  int x_ = 0, y_ = 0;
  std::string fontName_;
  int fontSize_ = 0;
};

}  // namespace kinvalo::test
