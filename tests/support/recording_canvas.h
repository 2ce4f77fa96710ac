#pragma once
// A Canvas that records what reaches the picture: fills with their brush,
// line segments with the pen they were drawn with, texts with their font.
// Text metrics are fixed: 7 pixels per character, 14 pixels high.
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

class RecordingCanvas : public Canvas {
 public:
  std::vector<std::variant<FillOp, SegmentOp, TextOp>> ops;

  void SetBrushColor(Rgb colour) override { brush_ = colour; }
  void FillRect(int x1, int y1, int x2, int y2) override { ops.push_back(FillOp{brush_, x1, y1, x2, y2}); }
  void SetPenColor(Rgb colour) override { pen_ = colour; }
  void SetPenWidth(int width) override { width_ = width; }
  void SetPenStyle(PenStyle style) override { style_ = style; }
  void MoveTo(int x, int y) override { x_ = x, y_ = y; }
  void LineTo(int x, int y) override {
    ops.push_back(SegmentOp{pen_, width_, style_, x_, y_, x, y});
    x_ = x, y_ = y;
  }
  void SetFontName(const std::string& name) override { font_ = name; }
  void SetFontSize(int points) override { size_ = points; }
  void SetFontColor(Rgb colour) override { ink_ = colour; }
  void TextOut(int x, int y, const std::string& text) override {
    ops.push_back(TextOp{font_, size_, ink_, x, y, text});
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
    for (const auto& op : ops) {
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
  // The first text that is exactly `text`; a blank one in font "absent" when none is.
  TextOp Text(const std::string& text) const {
    for (const TextOp& t : All<TextOp>()) {
      if (t.text == text) return t;
    }
    return TextOp{"absent", 0, Rgb{1, 2, 3}, 0, 0, ""};
  }

 private:
  Rgb brush_{}, pen_{}, ink_{};
  int width_ = 1, x_ = 0, y_ = 0, size_ = 0;
  PenStyle style_ = PenStyle::Solid;
  std::string font_;
};

}  // namespace kinvalo::test
