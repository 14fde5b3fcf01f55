// From a one-bit bitmap file in memory to the printer's raster rows.
//
// Stored row i of the file is `S` = 4 × ceil(W / 32) bytes at O + i × S; its bits are
// palette indices, the most significant bit the leftmost pixel. A raster row is the first
// R = floor(W / 8) bytes of a stored row, each inverted, so that palette index 0 (black in
// the usual monochrome palette) prints a dot; the last W mod 8 pixels of a row are not
// sent. Raster row 0 is the top of the picture.
//
// Toolkit-free and allocation-free, like bitmap_header.h.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "graphics/bitmap_error.h"
#include "graphics/bitmap_header.h"

namespace zelka::graphics {

// ESC . 00 R 01 00: one raster row of R bytes follows.
inline constexpr std::array<std::uint8_t, 6> kRasterRowHead = {0x1B, 0x2E, 0x00, 0x00, 0x01, 0x00};
inline constexpr std::size_t kRasterRowCountAt = 3;  // the head's byte that holds R
// The count is one byte: rows of W >= 2048 pixels do not fit in a frame.
inline constexpr std::size_t kMaxRasterRowBytes = 255;

struct RowLayout {
  std::uint32_t pixelOffset = 0;   // O
  std::size_t rowBytes = 0;        // R: bytes of a raster row
  std::size_t storedRowBytes = 0;  // S: bytes of a stored row, padding included
  std::size_t rows = 0;            // H as a count
};

// The narrowest picture that gives a raster row a byte: anything narrower would go out as
// frames without dots, a print that shows nothing yet looks successful.
inline constexpr std::int32_t kMinPrintableWidth = 8;

// The picture path's own conditions on a checked header, in this order: one bit per pixel
// and plain rows (kNotOneBit), raster rows that fit the frame's count byte (kTooWide),
// and at least one byte in each (kTooNarrow).
BitmapError CheckPrintable(const BitmapInfo& info);

// Puts the stored rows of the file image `file` (exactly the file's bytes) in top-down
// order, in place, and returns O, R and S in `layout`. Only the first R bytes of each row
// move; with an odd height the middle row stays; a negative height (rows stored top row
// first) is already in order and moves nothing. O is read from bytes 10..13.
// Refuses, touching nothing, a width or height out of range, an O beyond the file, or
// rows that run past its end: `width` and `height` come from a separate look at the file,
// which may have changed since.
BitmapError ReorderBitmapRows(std::span<std::uint8_t> file, std::int32_t width, std::int32_t height,
                              RowLayout& layout);

// Raster row k of a reordered file image (R bytes, not yet inverted).
std::span<const std::uint8_t> RasterRowSource(std::span<const std::uint8_t> file,
                                              const RowLayout& layout, std::size_t k);

// Writes the frame of one raster row into `frame` (R + 6 bytes: the head with R, then
// the row inverted) and returns its length; 0, writing nothing, when the row is longer
// than kMaxRasterRowBytes or the frame does not fit.
std::size_t BuildRasterRowFrame(std::span<const std::uint8_t> row, std::span<std::uint8_t> frame);

}  // namespace zelka::graphics
