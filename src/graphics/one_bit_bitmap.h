// From grey levels to the one-bit bitmap file the printer knows: the form in which a
// picture of any other kind reaches the picture print and the logo store, so that both
// keep the one path (header checks, row order, frames) that one-bit files take.
//
// Toolkit-free, like bitmap_header.h: the decoding and scaling happen elsewhere.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace zelka::graphics {

// A picture as grey levels, top row first, `width` bytes a row: 0 black .. 255 white.
struct GreyImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;  // width × height
};

inline constexpr int kDefaultThreshold = 128;

// The dots of `grey`, top row first, (width + 7) / 8 bytes a row, the most significant bit
// the leftmost dot, a set bit a black dot; the bits past the width are clear (white).
// With a threshold, a dot is black where the grey level is below it (0 prints nothing,
// 255 everything but pure white; values outside 0..255 are taken as the nearer end).
// Without one, Floyd–Steinberg error diffusion at mid-grey: a flat grey g comes out with
// about (255 - g) / 255 of its dots black.
std::vector<std::uint8_t> DotsOf(const GreyImage& grey, std::optional<int> threshold);

// The one-bit bitmap file of `dots` (as DotsOf gives them, `width` × `height`): a
// 40-byte information header, a two-entry palette (index 0 black, index 1 white), rows
// stored bottom row first and padded to four bytes, the size field the file's length,
// 8 dots per mm. The width is rounded up to a whole byte with white dots, so that the
// picture print, which sends whole bytes only, loses none.
std::vector<std::uint8_t> OneBitBitmapFile(int width, int height,
                                           const std::vector<std::uint8_t>& dots);

// The length of that file for a picture `width` dots wide and `height` high.
std::uint64_t OneBitBitmapFileBytes(int width, int height);

}  // namespace zelka::graphics
