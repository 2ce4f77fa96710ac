#pragma once
// The small vocabularies that results, files and commands share: the
// function type with its number in the files, the minimum confidence with
// its percent and its factor, and the user's preference between the types.
#include <cstdint>

namespace kinvalo {

// The function type as the files number it ("Function type : 3").
enum class FunctionType : std::uint8_t {
  NoRelation = 0,    // no breakpoint and no slope
  StraightLine = 1,  // the single regression line
  TwoSlopes = 2,     // two sloping segments (read from older files only)
  Threshold = 3,     // first horizontal, then sloping
  Plateau = 4,       // first sloping, then horizontal
};

// The number a file writes for the type, and the type of a number read.
constexpr int FileNumber(FunctionType type) { return static_cast<int>(type); }
constexpr FunctionType FunctionTypeFromFile(int number) {
  return static_cast<FunctionType>(static_cast<std::uint8_t>(number));
}

// Type 3 or 4: a result with a breakpoint and a horizontal segment.
constexpr bool HasHorizontalSegment(FunctionType type) {
  return type == FunctionType::Threshold || type == FunctionType::Plateau;
}

// The minimum confidence of a run: 90, 95 or 98 %. Its factor widens the
// confidence belt of the graphs (1.75, 2.1 or 2.5 standard errors).
class Confidence {
 public:
  enum class Level : std::uint8_t { Percent90, Percent95, Percent98 };

  constexpr Confidence() = default;
  constexpr explicit Confidence(Level level) : level_(level) {}

  // 95 and 98 are themselves; any other percent is 90.
  static constexpr Confidence FromPercent(int percent) {
    return Confidence(percent == 95 ? Level::Percent95
                      : percent == 98 ? Level::Percent98
                                      : Level::Percent90);
  }
  // A percent as an older or hand-edited file may write it: up to 90 it is
  // 90, up to 95 it is 95, above that 98.
  static constexpr Confidence NearestPercent(int percent) {
    return Confidence(percent < 91 ? Level::Percent90
                      : percent < 96 ? Level::Percent95
                                     : Level::Percent98);
  }
  // The position in the window's choice list (0, 1, 2); anything else is 90.
  static constexpr Confidence FromIndex(int index) {
    return Confidence(index == 1 ? Level::Percent95
                      : index == 2 ? Level::Percent98
                                   : Level::Percent90);
  }

  constexpr int Percent() const {
    return level_ == Level::Percent95 ? 95 : level_ == Level::Percent98 ? 98 : 90;
  }
  constexpr double Factor() const {
    return level_ == Level::Percent95 ? 2.1 : level_ == Level::Percent98 ? 2.5 : 1.75;
  }

 private:
  Level level_ = Level::Percent90;
};

// The user's choice between the types: prefer Type 3, prefer Type 4, or the
// one that explains more.
enum class Preference : std::uint8_t { PreferType3, PreferType4, BestOfTwo };

}  // namespace kinvalo
