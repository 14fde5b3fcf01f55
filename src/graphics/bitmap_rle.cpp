#include "graphics/bitmap_rle.h"

#include <cstddef>

namespace zelka::graphics {

namespace {

// The second byte of a pair whose first is 0.
constexpr std::uint8_t kEndOfLine = 0;
constexpr std::uint8_t kEndOfBitmap = 1;
constexpr std::uint8_t kDelta = 2;  // two more bytes: right, down

}  // namespace

bool RleRowsComplete(std::span<const std::uint8_t> file, const BitmapInfo& info) {
  if (info.compression != kCompressionRle8 && info.compression != kCompressionRle4) return true;
  const bool rle4 = info.compression == kCompressionRle4;
  const std::uint64_t rows = static_cast<std::uint64_t>(info.Rows());
  const std::uint64_t width = static_cast<std::uint64_t>(info.width);
  std::uint64_t row = 0;
  std::uint64_t x = 0;
  std::size_t at = info.pixelOffset;
  while (row < rows && !(row + 1 == rows && x >= width)) {
    if (at + 2 > file.size()) return false;
    const std::uint8_t count = file[at];
    const std::uint8_t code = file[at + 1];
    at += 2;
    if (count > 0) {
      x += count;  // a run of `count` pixels
    } else if (code == kEndOfLine) {
      ++row;
      x = 0;
    } else if (code == kEndOfBitmap) {
      // The rows after it are left to the decoder, which makes them blank.
      return row + 1 >= rows;
    } else if (code == kDelta) {
      if (at + 2 > file.size()) return false;
      x += file[at];
      row += file[at + 1];
      at += 2;
    } else {
      // `code` pixels as they are, padded to a whole number of 16-bit words.
      const std::size_t bytes = rle4 ? (code + 1u) / 2 : code;
      at += bytes + (bytes & 1);
      if (at > file.size()) return false;
      x += code;
    }
  }
  return true;
}

}  // namespace zelka::graphics
