#include "graphics/bitmap_header.h"

namespace zelka::graphics {
namespace {

constexpr std::uint8_t kSignature[2] = {'B', 'M'};
constexpr std::size_t kFileSizeAt = 2;
constexpr std::size_t kPixelOffsetAt = 10;
constexpr std::size_t kInfoHeaderSizeAt = 14;
constexpr std::size_t kWidthAt = 18;
constexpr std::size_t kHeightAt = 22;
constexpr std::size_t kBitsPerPixelAt = 28;
constexpr std::size_t kCompressionAt = 30;

bool KnownFormat(std::uint16_t bits, std::uint32_t compression) {
  switch (compression) {
    case kCompressionNone:
      return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
    case kCompressionRle8: return bits == 8;
    case kCompressionRle4: return bits == 4;
    case kCompressionBitfields: return bits == 16 || bits == 32;
    default: return false;
  }
}

// Height is compared in 64 bits: the negation of INT32_MIN does not fit in 32.
bool DimensionsInRange(std::int32_t width, std::int32_t height) {
  const std::int64_t rows = height < 0 ? -static_cast<std::int64_t>(height) : height;
  return width >= 1 && width <= kMaxDimension && rows >= 1 && rows <= kMaxDimension;
}

}  // namespace

std::uint32_t ReadLe32(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
         static_cast<std::uint32_t>(bytes[at + 2]) << 16 |
         static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

std::uint16_t ReadLe16(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

BitmapError CheckSizeField(std::span<const std::uint8_t> head, std::uint64_t fileLength) {
  if (head.size() < kFileSizeAt + 4) return BitmapError::kNotBitmap;
  if (ReadLe32(head, kFileSizeAt) != fileLength) return BitmapError::kSizeMismatch;
  return BitmapError::kNone;
}

std::uint64_t StoredRowBytes(std::int32_t width, std::uint16_t bitsPerPixel) {
  const std::uint64_t bits = static_cast<std::uint64_t>(width < 0 ? 0 : width) * bitsPerPixel;
  return (bits + 31) / 32 * 4;
}

BitmapError ParseBitmapHeader(std::span<const std::uint8_t> head, std::uint64_t fileLength,
                              BitmapInfo& info) {
  if (head.size() > fileLength) head = head.first(static_cast<std::size_t>(fileLength));
  if (head.size() < kFileHeaderBytes || head[0] != kSignature[0] || head[1] != kSignature[1]) {
    return BitmapError::kNotBitmap;
  }
  if (head.size() < kInfoHeaderSizeAt + 4) return BitmapError::kTruncatedHeader;
  const std::uint32_t infoBytes = ReadLe32(head, kInfoHeaderSizeAt);
  if (infoBytes < kMinInfoHeaderBytes) return BitmapError::kUnsupportedHeader;
  const std::uint64_t headersEnd = kFileHeaderBytes + static_cast<std::uint64_t>(infoBytes);
  if (headersEnd > fileLength || head.size() < kHeaderBytesRead) {
    return BitmapError::kTruncatedHeader;
  }

  BitmapInfo read;
  read.infoHeaderBytes = infoBytes;
  read.pixelOffset = ReadLe32(head, kPixelOffsetAt);
  read.width = static_cast<std::int32_t>(ReadLe32(head, kWidthAt));
  read.height = static_cast<std::int32_t>(ReadLe32(head, kHeightAt));
  read.bitsPerPixel = ReadLe16(head, kBitsPerPixelAt);
  read.compression = ReadLe32(head, kCompressionAt);

  if (!DimensionsInRange(read.width, read.height)) return BitmapError::kBadDimensions;
  if (!KnownFormat(read.bitsPerPixel, read.compression)) return BitmapError::kUnsupportedFormat;
  if (read.pixelOffset < headersEnd || read.pixelOffset >= fileLength) {
    return BitmapError::kBadPixelOffset;
  }
  // Compressed data has no fixed row length; its decoder bounds itself.
  if (read.compression == kCompressionNone || read.compression == kCompressionBitfields) {
    const std::uint64_t rowBytes = StoredRowBytes(read.width, read.bitsPerPixel);
    const std::uint64_t end = read.pixelOffset + rowBytes * static_cast<std::uint64_t>(read.Rows());
    if (end > fileLength) return BitmapError::kRowsPastEnd;
  }
  info = read;
  return BitmapError::kNone;
}

}  // namespace zelka::graphics
