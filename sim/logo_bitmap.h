// The printer's own reading of the pictures it is sent: a stored logo (a one-bit Windows
// bitmap file behind ESC) and a raster row frame (ESC . 00 R 01 00 + R bytes), both as
// rows of dots ready for the paper.
//
// Written from the printer's side, apart from the program's code: the printer looks at
// the palette index only (index 0 prints black, whatever colour the palette gives it) and
// takes the stored rows bottom row first, as a bitmap keeps them (top row first when the
// height is negative).
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace zelka::sim {

using Bytes = std::vector<std::uint8_t>;  // the same as in simulator.h

// Rows of dots, top row first. A row is (width + 7) / 8 bytes, the most significant bit
// the leftmost dot, a set bit a black dot; the bits past `width` are clear.
struct DotRows {
  int width = 0;
  std::vector<Bytes> rows;

  bool operator==(const DotRows&) const = default;
};

// The logo as the printer stores it, or nothing for a file it refuses: no "BM", an
// information header under 40 bytes, not one bit per pixel uncompressed, a width or
// height of 0 or above 65535, or rows that run past the end of the file.
std::optional<DotRows> DecodeLogoBitmap(std::span<const std::uint8_t> file);

// The dots of one raster row frame: 8 × R dots, the bytes as they came. Nothing for a
// frame that is not ESC . 00 R 01 00 followed by exactly R bytes.
std::optional<DotRows> DecodeRasterRow(std::span<const std::uint8_t> frame);

}  // namespace zelka::sim
