// A strip of thermal paper as dots: a fixed width, rows added as the paper moves on, one
// bit per dot (set = printed), eight dots to a byte with the leftmost dot in the high
// bit, as the printer's own raster data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

class QImage;

namespace zelka::sim {

class DotCanvas {
 public:
  explicit DotCanvas(int width = 0);

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Empty() const { return height_ == 0; }

  // Adds `count` blank rows at the bottom.
  void AddRows(int count);
  // Dots outside the canvas are dropped: the head cannot print beside the paper.
  void Set(int x, int y);
  bool Get(int x, int y) const;
  // ORs `bits` (MSB = leftmost) into row y from dot x on, for `dots` dots.
  void OrBits(int x, int y, std::span<const std::uint8_t> bits, int dots);

  // Black dots on white paper, one bit per dot.
  QImage ToImage() const;

 private:
  int width_;
  int height_ = 0;
  std::size_t stride_;
  std::vector<std::uint8_t> bits_;
};

}  // namespace zelka::sim
