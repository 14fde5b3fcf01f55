#include "graphics/raster_rows.h"

#include <algorithm>

namespace zelka::graphics {
namespace {

constexpr std::size_t kPixelOffsetAt = 10;
constexpr std::uint8_t kInvert = 0xFF;

}  // namespace

BitmapError CheckPrintable(const BitmapInfo& info) {
  if (info.bitsPerPixel != 1 || info.compression != kCompressionNone) {
    return BitmapError::kNotOneBit;
  }
  if (static_cast<std::size_t>(info.width / 8) > kMaxRasterRowBytes) return BitmapError::kTooWide;
  if (info.width < kMinPrintableWidth) return BitmapError::kTooNarrow;
  return BitmapError::kNone;
}

BitmapError ReorderBitmapRows(std::span<std::uint8_t> file, std::int32_t width, std::int32_t height,
                              RowLayout& layout) {
  const std::int64_t signedRows = height < 0 ? -static_cast<std::int64_t>(height) : height;
  if (width < 1 || width > kMaxDimension || signedRows < 1 || signedRows > kMaxDimension) {
    return BitmapError::kBadDimensions;
  }
  if (file.size() < kFileHeaderBytes) return BitmapError::kNotBitmap;

  RowLayout found;
  found.pixelOffset = ReadLe32(file, kPixelOffsetAt);
  found.rowBytes = static_cast<std::size_t>(width) / 8;
  found.storedRowBytes = static_cast<std::size_t>(StoredRowBytes(width, 1));
  found.rows = static_cast<std::size_t>(signedRows);
  if (found.pixelOffset >= file.size()) return BitmapError::kBadPixelOffset;
  // At most 65535 rows of 8192 bytes: far inside 64 bits.
  const std::uint64_t end = found.pixelOffset + std::uint64_t{found.storedRowBytes} * found.rows;
  if (end > file.size()) return BitmapError::kRowsPastEnd;

  if (height > 0) {
    std::uint8_t* const first = file.data() + found.pixelOffset;
    for (std::size_t i = 0; i < found.rows / 2; ++i) {
      std::uint8_t* const low = first + i * found.storedRowBytes;
      std::uint8_t* const high = first + (found.rows - 1 - i) * found.storedRowBytes;
      std::swap_ranges(low, low + found.rowBytes, high);
    }
  }
  layout = found;
  return BitmapError::kNone;
}

std::span<const std::uint8_t> RasterRowSource(std::span<const std::uint8_t> file,
                                              const RowLayout& layout, std::size_t k) {
  return file.subspan(layout.pixelOffset + k * layout.storedRowBytes, layout.rowBytes);
}

std::size_t BuildRasterRowFrame(std::span<const std::uint8_t> row, std::span<std::uint8_t> frame) {
  const std::size_t length = kRasterRowHead.size() + row.size();
  if (row.size() > kMaxRasterRowBytes || frame.size() < length) return 0;
  std::copy(kRasterRowHead.begin(), kRasterRowHead.end(), frame.begin());
  frame[kRasterRowCountAt] = static_cast<std::uint8_t>(row.size());
  std::transform(row.begin(), row.end(), frame.begin() + kRasterRowHead.size(),
                 [](std::uint8_t b) { return static_cast<std::uint8_t>(b ^ kInvert); });
  return length;
}

}  // namespace zelka::graphics
