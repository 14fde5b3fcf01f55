// The headers of a Windows bitmap file (*.bmp), checked before any of its bytes are used.
//
// A bitmap file is a 14-byte file header ("BM", the file size at bytes 2..5, the
// pixel-data offset O at bytes 10..13) followed by an information header of at least 40
// bytes (its size at bytes 14..17, the width at 18..21, the height at 22..25, the bit
// depth at 28..29 and the compression at 30..33, all little-endian). The pixel rows start
// at O, each padded to a multiple of four bytes; a positive height stores the bottom row
// first, a negative one the top row first.
//
// Toolkit-free and allocation-free: the picture loader, the row reordering and the
// fuzz target share it. Nothing here trusts a field of the file: every offset and size is
// checked against the file's real length before it is used.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "graphics/bitmap_error.h"

namespace zelka::graphics {

inline constexpr std::size_t kFileHeaderBytes = 14;
inline constexpr std::size_t kMinInfoHeaderBytes = 40;  // BITMAPINFOHEADER and its successors
// What the header check reads of a file: the file header and the 40 bytes of the
// information header that every later version begins with.
inline constexpr std::size_t kHeaderBytesRead = kFileHeaderBytes + kMinInfoHeaderBytes;
// No receipt picture is this wide or tall (65535 dots are over 8 m of paper at 8 dots per
// mm); larger values are a damaged or hostile header, and bounding them keeps every size
// computed from them far inside 64 bits.
inline constexpr std::int32_t kMaxDimension = 65535;

// Compression values of the information header that a bitmap decoder knows.
inline constexpr std::uint32_t kCompressionNone = 0;       // BI_RGB: plain rows
inline constexpr std::uint32_t kCompressionRle8 = 1;       // BI_RLE8, 8 bits per pixel only
inline constexpr std::uint32_t kCompressionRle4 = 2;       // BI_RLE4, 4 bits per pixel only
inline constexpr std::uint32_t kCompressionBitfields = 3;  // BI_BITFIELDS: plain rows, 16/32 bits

struct BitmapInfo {
  std::uint32_t pixelOffset = 0;  // O: where the first stored row begins
  std::uint32_t infoHeaderBytes = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;  // as stored: negative = rows stored top row first
  std::uint16_t bitsPerPixel = 0;
  std::uint32_t compression = 0;

  std::int32_t Rows() const { return height < 0 ? -height : height; }
  bool TopDown() const { return height < 0; }
};

// Checks the headers of a file of `fileLength` bytes whose first bytes are `head` (at
// least kHeaderBytesRead of them, or the whole file when it is shorter) and fills `info`.
// The checks, in order: the signature; the information header's size and that it lies
// within the file; width 1..kMaxDimension and height ±1..±kMaxDimension; a bit depth and
// compression that belong together; O past the headers and inside the file; and, for
// plain rows, that all of them lie within the file.
BitmapError ParseBitmapHeader(std::span<const std::uint8_t> head, std::uint64_t fileLength,
                              BitmapInfo& info);

// Whether the file-size field (bytes 2..5 of `head`) is `fileLength`, for files that go to
// the printer whole (the stored logo): the printer takes that many bytes after the command
// byte as the file. A smaller value would leave the rest of the file to be run as
// commands, a larger one would swallow the commands that follow. kSizeMismatch when it
// differs; kNotBitmap when `head` is too short to hold it.
BitmapError CheckSizeField(std::span<const std::uint8_t> head, std::uint64_t fileLength);

// Bytes of one stored row: `width` pixels of `bitsPerPixel` bits, padded to four bytes.
std::uint64_t StoredRowBytes(std::int32_t width, std::uint16_t bitsPerPixel);

// Little-endian fields of the file; the caller has checked that they lie within `bytes`.
std::uint32_t ReadLe32(std::span<const std::uint8_t> bytes, std::size_t at);
std::uint16_t ReadLe16(std::span<const std::uint8_t> bytes, std::size_t at);

}  // namespace zelka::graphics
