// Why a bitmap file cannot be used. The graphics operations turn each into a message
// (graphics/messages.h); the toolkit-free reading code only returns them.
#pragma once

namespace zelka::graphics {

enum class BitmapError {
  kNone,
  kDoesNotExist,       // nothing of that name
  kCannotRead,         // not a regular file, or opening or reading it failed
  kTooLarge,           // longer than the buffer it is read into
  kNotBitmap,          // no "BM" signature, or shorter than a file header
  kTruncatedHeader,    // the information header runs past the end of the file
  kUnsupportedHeader,  // an information header shorter than 40 bytes
  kBadDimensions,      // width or height zero, negative width, or beyond kMaxDimension
  kUnsupportedFormat,  // a bit depth or compression that no bitmap decoder knows
  kBadPixelOffset,     // O points into the headers or past the end of the file
  kRowsPastEnd,        // O + rows × row bytes lies beyond the end of the file
  kNotOneBit,          // the picture path prints one bit per pixel, uncompressed, only
  kTooWide,            // more than 255 bytes per raster row (the frame's count byte)
  kTooNarrow,          // under 8 dots: not one whole byte per raster row
  kSizeMismatch,       // the size field (bytes 2..5) is not the file's length
  // Pictures that are not one-bit bitmaps, converted to dots on the PC:
  kNotPicture,         // no BMP, PNG, JPEG or GIF signature
  kCorruptPicture,     // the decoder could not read it (cut short, damaged, no size)
  kTooManyPixels,      // more pixels than kMaxSourcePixels: decoding would take too much memory
  kSourceTooLarge,     // a file longer than kMaxSourceFileBytes
  kConvertedTooLarge,  // its dots, scaled to the paper, do not fit the buffer of their path
  kTooCostlyToDecode,  // decoding would pass over the picture too often or hold too much
  kCannotWrite,        // the preview file could not be written
};

}  // namespace zelka::graphics
