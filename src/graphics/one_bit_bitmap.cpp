#include "graphics/one_bit_bitmap.h"

#include <algorithm>

namespace zelka::graphics {

namespace {

constexpr std::uint32_t kHeaderBytes = 14 + 40 + 2 * 4;  // file, information, palette
constexpr std::uint32_t kDotsPerMetre = 8000;             // the printer's 8 dots per mm

void PutLe32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
  for (std::size_t i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

void PutLe16(std::vector<std::uint8_t>& b, std::size_t at, std::uint16_t v) {
  b[at] = static_cast<std::uint8_t>(v);
  b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

std::size_t DotRowBytes(int width) { return static_cast<std::size_t>(width + 7) / 8; }

void SetDot(std::vector<std::uint8_t>& dots, std::size_t rowStart, int x) {
  dots[rowStart + static_cast<std::size_t>(x) / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
}

}  // namespace

std::vector<std::uint8_t> DotsOf(const GreyImage& grey, std::optional<int> threshold) {
  const std::size_t rowBytes = DotRowBytes(grey.width);
  std::vector<std::uint8_t> dots(rowBytes * static_cast<std::size_t>(grey.height), 0);
  const auto width = static_cast<std::size_t>(grey.width);
  if (threshold) {
    const int level = std::clamp(*threshold, 0, 255);
    for (int y = 0; y < grey.height; ++y) {
      const std::uint8_t* row = grey.pixels.data() + static_cast<std::size_t>(y) * width;
      for (int x = 0; x < grey.width; ++x) {
        if (row[x] < level) SetDot(dots, static_cast<std::size_t>(y) * rowBytes, x);
      }
    }
    return dots;
  }
  // Errors in sixteenths of a grey level, two rows of them (this one and the next), with a
  // spare cell each side so that the edges need no tests.
  std::vector<int> current(width + 2, 0);
  std::vector<int> next(width + 2, 0);
  for (int y = 0; y < grey.height; ++y) {
    const std::uint8_t* row = grey.pixels.data() + static_cast<std::size_t>(y) * width;
    std::fill(next.begin(), next.end(), 0);
    for (std::size_t x = 0; x < width; ++x) {
      const int wanted = row[x] * 16 + current[x + 1];
      const bool black = wanted < kDefaultThreshold * 16;
      if (black) SetDot(dots, static_cast<std::size_t>(y) * rowBytes, static_cast<int>(x));
      const int error = wanted - (black ? 0 : 255 * 16);
      current[x + 2] += error * 7 / 16;
      next[x] += error * 3 / 16;
      next[x + 1] += error * 5 / 16;
      next[x + 2] += error / 16;
    }
    std::swap(current, next);
  }
  return dots;
}

std::uint64_t OneBitBitmapFileBytes(int width, int height) {
  const std::uint64_t stored = (static_cast<std::uint64_t>(width < 0 ? 0 : width) + 31) / 32 * 4;
  return kHeaderBytes + stored * static_cast<std::uint64_t>(height < 0 ? 0 : height);
}

std::vector<std::uint8_t> OneBitBitmapFile(int width, int height,
                                           const std::vector<std::uint8_t>& dots) {
  const int fileWidth = (width + 7) / 8 * 8;
  const std::size_t dotRow = DotRowBytes(width);
  const std::size_t stored = (static_cast<std::size_t>(fileWidth) + 31) / 32 * 4;
  const auto rows = static_cast<std::size_t>(height);
  std::vector<std::uint8_t> file(static_cast<std::size_t>(OneBitBitmapFileBytes(fileWidth, height)),
                                 0);
  file[0] = 'B';
  file[1] = 'M';
  PutLe32(file, 2, static_cast<std::uint32_t>(file.size()));
  PutLe32(file, 10, kHeaderBytes);
  PutLe32(file, 14, 40);
  PutLe32(file, 18, static_cast<std::uint32_t>(fileWidth));
  PutLe32(file, 22, static_cast<std::uint32_t>(height));  // positive: bottom row first
  PutLe16(file, 26, 1);                                   // planes
  PutLe16(file, 28, 1);                                   // bits per pixel
  PutLe32(file, 30, 0);                                   // no compression
  PutLe32(file, 34, static_cast<std::uint32_t>(stored * rows));
  PutLe32(file, 38, kDotsPerMetre);
  PutLe32(file, 42, kDotsPerMetre);
  PutLe32(file, 46, 2);  // palette entries
  PutLe32(file, 50, 2);
  // Palette: index 0 black (0, 0, 0, 0), index 1 white.
  file[58] = file[59] = file[60] = 0xFF;
  // A set dot (black) is palette index 0: the stored bits are the dots inverted, the
  // padding bits of the last byte white and the row's padding bytes zero.
  for (std::size_t k = 0; k < rows; ++k) {
    const std::uint8_t* from = dots.data() + k * dotRow;
    std::uint8_t* to = file.data() + kHeaderBytes + (rows - 1 - k) * stored;
    for (std::size_t i = 0; i < dotRow; ++i) to[i] = static_cast<std::uint8_t>(~from[i]);
  }
  return file;
}

}  // namespace zelka::graphics
