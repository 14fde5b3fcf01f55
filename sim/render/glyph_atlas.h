// The printer's two character fonts as dot cells: font 0 (12 x 24 dots) and font 1
// (9 x 17 dots), normal and bold, for every byte of code page 866. The cells are drawn
// once from a monospace outline font and kept for the whole process.
//
// Drawing text needs a QGuiApplication in the process. Without one the cells are blank:
// layout, paper movement and graphics still work, the characters just leave no dots.
//
// Thread-safety: Glyph() may be called from any thread; the cells never change once made.
#pragma once

#include <cstdint>
#include <vector>

namespace zelka::sim {

struct GlyphCell {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> dots;  // width * height, row by row; 1 = printed

  bool Dot(int x, int y) const { return dots[static_cast<std::size_t>(y * width + x)] != 0; }
};

struct FontMetrics {
  int cellWidth;
  int cellHeight;
};

inline constexpr int kFontCount = 2;
inline constexpr FontMetrics kFontMetrics[kFontCount] = {{12, 24}, {9, 17}};

class GlyphAtlas {
 public:
  static GlyphAtlas& Instance();

  // The cell of `byte` (code page 866) in font 0 or 1.
  const GlyphCell& Glyph(int font, bool bold, std::uint8_t byte);
  // False when no QGuiApplication exists, so glyphs are blank.
  static bool CanDrawText();

 private:
  GlyphAtlas() = default;
};

}  // namespace zelka::sim
