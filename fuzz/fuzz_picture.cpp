// libFuzzer target: any bytes as a picture the user chose, through the loaders' work in
// memory (PictureFromBytes, LogoFromBytes): the signature, Qt's readers under small
// limits, the scaling, the dots and the one-bit file they make. Whatever comes in, what
// is accepted must be a picture the printer takes: rows that fit a frame and the file,
// no wider than the paper once converted, and a logo the simulated printer decodes.
//
// The limits are far below the program's own, so that a file announcing a huge picture
// is refused quickly rather than decoded; the first byte of the input picks the paper
// and the conversion.
#include <QCoreApplication>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "graphics/logo_store.h"
#include "graphics/picture_convert.h"
#include "graphics/picture_print.h"
#include "sim/logo_bitmap.h"

namespace {

using namespace zelka::graphics;

constexpr DecodeLimits kLimits{.maxPixels = 1u << 20, .allocationLimitMb = 16};

void Require(bool condition) {
  if (!condition) std::abort();
}

ConversionOptions OptionsFrom(std::uint8_t byte) {
  ConversionOptions options;
  options.paperDots = byte & 1 ? kPaperDots57mm : kPaperDots80mm;
  if (byte & 2) options.threshold = byte;
  return options;
}

void CheckPicture(const std::vector<std::uint8_t>& bytes, const ConversionOptions& options) {
  PictureKind kind;
  BitmapInfo info;
  const BitmapError classified = ClassifyPicture(bytes, kind, info);
  Picture picture;
  if (PictureFromBytes(bytes, options, picture, kLimits) != BitmapError::kNone) return;
  Require(classified == BitmapError::kNone);
  const RowLayout& layout = picture.layout;
  Require(layout.rows >= 1 && layout.rowBytes >= 1 && layout.rowBytes <= kMaxRasterRowBytes);
  Require(picture.file.size() <= kPictureBufferSize);
  Require(layout.pixelOffset + layout.storedRowBytes * (layout.rows - 1) + layout.rowBytes <=
          picture.file.size());
  if (kind != PictureKind::kOneBitBitmap) {
    Require(static_cast<int>(layout.rowBytes * 8) <= PaperDots(options));
  } else {
    Require(picture.file.size() == bytes.size());
  }
}

void CheckLogo(const std::vector<std::uint8_t>& bytes, const ConversionOptions& options) {
  Logo logo;
  if (LogoFromBytes(bytes, options, logo, kLimits) != BitmapError::kNone) return;
  Require(!logo.file.empty() && logo.file.size() <= kLogoFileLimit);
  Require(CheckSizeField(logo.file, logo.file.size()) == BitmapError::kNone);
  // The printer stores what it is sent.
  Require(zelka::sim::DecodeLogoBitmap(logo.file).has_value());
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  // Qt finds its image format plugins through the application.
  static QCoreApplication app(*argc, *argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const ConversionOptions options = OptionsFrom(data[0]);
  const std::vector<std::uint8_t> bytes(data + 1, data + size);
  CheckPicture(bytes, options);
  CheckLogo(bytes, options);
  return 0;
}
