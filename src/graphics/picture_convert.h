// Pictures of the kinds people have (PNG, JPEG, the first frame of a GIF, BMP of any
// depth) turned into the one-bit bitmap file the printer takes: decoded with Qt's image
// readers from memory, within bounds set before decoding (picture_options.h), turned
// upright as the camera recorded, flattened onto white, scaled down to the paper's width,
// then dithered or thresholded (one_bit_bitmap.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "graphics/bitmap_error.h"
#include "graphics/bitmap_header.h"
#include "graphics/one_bit_bitmap.h"
#include "graphics/picture_options.h"

namespace zelka::graphics {

// How the bytes of a file are to be taken.
enum class PictureKind {
  kOneBitBitmap,  // a one-bit bitmap without compression: used as it is
  kOther,         // anything else: for ConvertToOneBitBitmap to decode
};

// A file that begins with "BM" must pass ParseBitmapHeader (its error otherwise), and
// its compressed rows reach the picture's end (kRowsPastEnd otherwise); it is a one-bit
// bitmap when it has one bit per pixel and plain rows, and `info` then holds its header.
// Any other file is kOther.
BitmapError ClassifyPicture(std::span<const std::uint8_t> bytes, PictureKind& kind,
                            BitmapInfo& info);

// Decodes `bytes` and gives the grey levels of the picture as it will print: upright,
// transparency flattened onto white, no wider than options.paperDots (a whole number of
// bytes), its aspect ratio kept. The checks, in order: a bitmap's headers
// (ParseBitmapHeader) and its compressed rows (RleRowsComplete: kRowsPastEnd); a PNG,
// JPEG, GIF or BMP signature (kNotPicture); the file's structure (decoder_input.h): data
// that end early (kCorruptPicture); dimensions the decoder can tell from the header
// (kCorruptPicture when it cannot), each at most kMaxDimension and together at most
// limits.maxPixels (kTooManyPixels); at most limits.maxScans JPEG scans and at most
// limits.allocationLimitMb held besides the picture (kTooCostlyToDecode); the one-bit
// file of the printed size at most `maxFileBytes` (kConvertedTooLarge); then the decoding
// within limits.allocationLimitMb (kCorruptPicture when it fails), without a PNG's text
// or a JPEG's comments. Nothing is decoded before the bounds are checked.
BitmapError DecodeToGrey(std::span<const std::uint8_t> bytes, const ConversionOptions& options,
                         std::uint64_t maxFileBytes, GreyImage& grey,
                         const DecodeLimits& limits = {});

// DecodeToGrey, then the dots (DotsOf) as a one-bit bitmap file (OneBitBitmapFile).
// `file` changes only on kNone.
BitmapError ConvertToOneBitBitmap(std::span<const std::uint8_t> bytes,
                                  const ConversionOptions& options, std::uint64_t maxFileBytes,
                                  std::vector<std::uint8_t>& file,
                                  const DecodeLimits& limits = {});

// The paper's width as options give it: a whole number of bytes, 8 to 2040 dots.
int PaperDots(const ConversionOptions& options);

}  // namespace zelka::graphics
