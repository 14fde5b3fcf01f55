#include "sim/render/dot_canvas.h"

#include <QImage>

#include <algorithm>
#include <cstring>

namespace zelka::sim {

DotCanvas::DotCanvas(int width)
    : width_(std::max(width, 0)), stride_((static_cast<std::size_t>(width_) + 7) / 8) {}

void DotCanvas::AddRows(int count) {
  if (count <= 0) return;
  height_ += count;
  bits_.resize(stride_ * static_cast<std::size_t>(height_), 0);
}

void DotCanvas::Set(int x, int y) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  bits_[stride_ * static_cast<std::size_t>(y) + static_cast<std::size_t>(x / 8)] |=
      static_cast<std::uint8_t>(0x80u >> (x % 8));
}

bool DotCanvas::Get(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return false;
  return bits_[stride_ * static_cast<std::size_t>(y) + static_cast<std::size_t>(x / 8)] &
         (0x80u >> (x % 8));
}

void DotCanvas::OrBits(int x, int y, std::span<const std::uint8_t> bits, int dots) {
  dots = std::min(dots, static_cast<int>(bits.size() * 8));
  for (int i = 0; i < dots; ++i) {
    if (bits[static_cast<std::size_t>(i / 8)] & (0x80u >> (i % 8))) Set(x + i, y);
  }
}

QImage DotCanvas::ToImage() const {
  QImage image(width_, height_, QImage::Format_Mono);
  if (image.isNull()) return image;
  // Format_Mono keeps the leftmost pixel in the high bit, like the canvas: index 1 = dot.
  image.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
  const auto lineBytes = std::min(stride_, static_cast<std::size_t>(image.bytesPerLine()));
  for (int y = 0; y < height_; ++y) {
    std::memcpy(image.scanLine(y), bits_.data() + stride_ * static_cast<std::size_t>(y), lineBytes);
  }
  return image;
}

}  // namespace zelka::sim
