// The loaders' work once a file is in memory: kept apart from the printer operations so
// that the fuzz target builds it, instrumented, without the link.
#include "graphics/bitmap_header.h"
#include "graphics/logo_store.h"
#include "graphics/picture_convert.h"
#include "graphics/picture_print.h"
#include "graphics/raster_rows.h"

namespace zelka::graphics {

BitmapError PictureFromBytes(std::vector<std::uint8_t> bytes, const ConversionOptions& options,
                             Picture& picture, const DecodeLimits& limits) {
  PictureKind kind;
  BitmapInfo info;
  if (const BitmapError error = ClassifyPicture(bytes, kind, info); error != BitmapError::kNone) {
    return error;
  }
  Picture read;
  if (kind == PictureKind::kOneBitBitmap) {
    // Anything but one-bit rows would print as noise; those are converted instead.
    if (const BitmapError error = CheckPrintable(info); error != BitmapError::kNone) return error;
    if (bytes.size() > kPictureBufferSize) return BitmapError::kTooLarge;
    read.file = std::move(bytes);
  } else {
    if (const BitmapError error =
            ConvertToOneBitBitmap(bytes, options, kPictureBufferSize, read.file, limits);
        error != BitmapError::kNone) {
      return error;
    }
    // The converted file passes today's checks like any one-bit file.
    PictureKind converted;
    if (const BitmapError error = ClassifyPicture(read.file, converted, info);
        error != BitmapError::kNone) {
      return error;
    }
    if (const BitmapError error = CheckPrintable(info); error != BitmapError::kNone) return error;
  }
  if (const BitmapError error = ReorderBitmapRows(read.file, info.width, info.height, read.layout);
      error != BitmapError::kNone) {
    return error;
  }
  picture = std::move(read);
  return BitmapError::kNone;
}

BitmapError LogoFromBytes(std::vector<std::uint8_t> bytes, const ConversionOptions& options,
                          Logo& logo, const DecodeLimits& limits) {
  PictureKind kind;
  BitmapInfo info;
  if (const BitmapError error = ClassifyPicture(bytes, kind, info); error != BitmapError::kNone) {
    return error;
  }
  Logo read;
  if (kind == PictureKind::kOneBitBitmap) {
    if (const BitmapError error = CheckSizeField(bytes, bytes.size()); error != BitmapError::kNone) {
      return error;
    }
    if (bytes.size() > kLogoFileLimit) return BitmapError::kTooLarge;
    read.file = std::move(bytes);
  } else if (const BitmapError error =
                 ConvertToOneBitBitmap(bytes, options, kLogoFileLimit, read.file, limits);
             error != BitmapError::kNone) {
    return error;
  }
  logo = std::move(read);
  return BitmapError::kNone;
}

}  // namespace zelka::graphics
