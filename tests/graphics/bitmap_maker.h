// Bitmap files made on the spot, for the tests and the fuzz corpus: no binary files in the
// tree. Header-only, standard library only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <vector>

namespace zelka::testing {

struct BitmapShape {
  std::int32_t width = 8;
  std::int32_t height = 1;  // negative: rows stored top row first
  std::uint16_t bitsPerPixel = 1;
  std::uint32_t infoHeaderBytes = 40;
  std::uint32_t compression = 0;
};

// Byte `column` of stored row `row` (row 0 is the first stored, the bottom one for a
// positive height). The default makes every byte tell its row and column apart.
using RowFill = std::function<std::uint8_t(std::size_t row, std::size_t column)>;

inline std::uint8_t DefaultFill(std::size_t row, std::size_t column) {
  return static_cast<std::uint8_t>(row * 37 + column * 11 + 1);
}

inline void PutLe32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i)
    b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
}

inline void PutLe16(std::vector<std::uint8_t>& b, std::size_t at, std::uint16_t v) {
  b[at] = static_cast<std::uint8_t>(v);
  b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

inline std::size_t StoredRowSize(std::int32_t width, std::uint16_t bits) {
  return (static_cast<std::size_t>(width) * bits + 31) / 32 * 4;
}

// Palette entries that a file of this depth carries (none above 8 bits).
inline std::size_t PaletteEntries(std::uint16_t bits) {
  return bits <= 8 ? std::size_t{1} << bits : 0;
}

// The pixel-data offset of a file made from `shape`: 62 for a one-bit file with a 40-byte
// header, 146 with a 124-byte one.
inline std::size_t PixelOffsetOf(const BitmapShape& shape) {
  return 14 + shape.infoHeaderBytes + 4 * PaletteEntries(shape.bitsPerPixel);
}

// A well-formed file: file header, information header, palette (entry 0 black, entry 1
// white, the rest grey), |height| rows. The file-size field holds the real length.
inline std::vector<std::uint8_t> MakeBitmap(const BitmapShape& shape,
                                            const RowFill& fill = DefaultFill) {
  const std::size_t offset = PixelOffsetOf(shape);
  const std::size_t rowSize = StoredRowSize(shape.width, shape.bitsPerPixel);
  const std::size_t rows = static_cast<std::size_t>(std::abs(static_cast<long long>(shape.height)));
  std::vector<std::uint8_t> b(offset + rowSize * rows, 0);
  b[0] = 'B';
  b[1] = 'M';
  PutLe32(b, 2, static_cast<std::uint32_t>(b.size()));
  PutLe32(b, 10, static_cast<std::uint32_t>(offset));
  PutLe32(b, 14, shape.infoHeaderBytes);
  PutLe32(b, 18, static_cast<std::uint32_t>(shape.width));
  PutLe32(b, 22, static_cast<std::uint32_t>(shape.height));
  PutLe16(b, 26, 1);
  PutLe16(b, 28, shape.bitsPerPixel);
  PutLe32(b, 30, shape.compression);
  PutLe32(b, 34, static_cast<std::uint32_t>(rowSize * rows));
  const std::size_t palette = 14 + shape.infoHeaderBytes;
  for (std::size_t i = 0; i < PaletteEntries(shape.bitsPerPixel); ++i) {
    const auto grey = static_cast<std::uint8_t>(i == 0 ? 0 : i == 1 ? 255 : i);
    for (std::size_t c = 0; c < 3; ++c) b[palette + 4 * i + c] = grey;
  }
  for (std::size_t r = 0; r < rows; ++r) {
    for (std::size_t c = 0; c < rowSize; ++c) b[offset + r * rowSize + c] = fill(r, c);
  }
  return b;
}

}  // namespace zelka::testing
