#include "graphics/picture_convert.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageIOHandler>
#include <QImageReader>

#include <algorithm>
#include <cmath>
#include <optional>

#include "graphics/bitmap_rle.h"
#include "graphics/decoder_input.h"
#include "graphics/raster_rows.h"

namespace zelka::graphics {

namespace {

// Qt's readers of the kinds people have. Others that the system's Qt may carry (icons,
// TIFF, SVG, text formats) are refused: each is one more decoder for a crafted file to
// try, for pictures nobody prints on a receipt.
std::optional<PictureFormat> Accepted(const QByteArray& format) {
  if (format == "png") return PictureFormat::kPng;
  if (format == "jpeg" || format == "jpg") return PictureFormat::kJpeg;
  if (format == "gif") return PictureFormat::kGif;
  if (format == "bmp") return PictureFormat::kBmp;
  return std::nullopt;
}

// The bytes as Qt sees them, where they are: the buffers over them only read.
QByteArray Unowned(std::span<const std::uint8_t> bytes) {
  return QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()),
                                 static_cast<qsizetype>(bytes.size()));
}

QByteArray DetectedFormat(QByteArray& data) {
  QBuffer probe(&data);
  if (!probe.open(QIODevice::ReadOnly)) return {};
  return QImageReader::imageFormat(&probe);
}

bool Rotated(QImageIOHandler::Transformations transformation) {
  return transformation.testFlag(QImageIOHandler::TransformationRotate90);
}

// Grey level of a premultiplied pixel laid onto white: the colour's share plus the white
// that shows through (255 - alpha).
std::uint8_t GreyOnWhite(QRgb pixel) {
  const int luma = (qRed(pixel) * 77 + qGreen(pixel) * 150 + qBlue(pixel) * 29) >> 8;
  return static_cast<std::uint8_t>(std::min(255, luma + 255 - qAlpha(pixel)));
}

// The grey levels of a 32-bit image, laid onto white.
GreyImage GreyOf(const QImage& image) {
  GreyImage grey;
  grey.width = image.width();
  grey.height = image.height();
  const auto width = static_cast<std::size_t>(grey.width);
  grey.pixels.resize(width * static_cast<std::size_t>(grey.height));
  for (int y = 0; y < grey.height; ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    std::uint8_t* to = grey.pixels.data() + static_cast<std::size_t>(y) * width;
    for (std::size_t x = 0; x < width; ++x) to[x] = GreyOnWhite(line[x]);
  }
  return grey;
}

// The bounds a picture must keep before it is decoded: its size as the decoder reads it
// from the header, and the decoder's work and memory beyond the picture as the file's
// structure declares them.
BitmapError CheckBounds(const QSize& stored, const DecoderInput& input, const DecodeLimits& limits) {
  if (!stored.isValid() || stored.isEmpty()) return BitmapError::kCorruptPicture;
  if (stored.width() > kMaxDimension || stored.height() > kMaxDimension ||
      static_cast<std::uint64_t>(stored.width()) * static_cast<std::uint64_t>(stored.height()) >
          limits.maxPixels) {
    return BitmapError::kTooManyPixels;
  }
  if (input.passes > limits.maxScans ||
      input.bufferBytes > static_cast<std::uint64_t>(limits.allocationLimitMb) << 20) {
    return BitmapError::kTooCostlyToDecode;
  }
  return BitmapError::kNone;
}

}  // namespace

int PaperDots(const ConversionOptions& options) {
  constexpr int kWidest = static_cast<int>(kMaxRasterRowBytes) * 8;  // the frame's count byte
  return std::clamp(options.paperDots, kMinPrintableWidth, kWidest) / 8 * 8;
}

BitmapError ClassifyPicture(std::span<const std::uint8_t> bytes, PictureKind& kind,
                            BitmapInfo& info) {
  kind = PictureKind::kOther;
  if (bytes.size() < 2 || bytes[0] != 'B' || bytes[1] != 'M') return BitmapError::kNone;
  BitmapInfo read;
  if (const BitmapError error = ParseBitmapHeader(bytes, bytes.size(), read);
      error != BitmapError::kNone) {
    return error;
  }
  if (!RleRowsComplete(bytes, read)) return BitmapError::kRowsPastEnd;
  if (read.bitsPerPixel == 1 && read.compression == kCompressionNone) {
    kind = PictureKind::kOneBitBitmap;
    info = read;
  }
  return BitmapError::kNone;
}

BitmapError DecodeToGrey(std::span<const std::uint8_t> bytes, const ConversionOptions& options,
                         std::uint64_t maxFileBytes, GreyImage& grey, const DecodeLimits& limits) {
  PictureKind classified;
  BitmapInfo info;
  if (const BitmapError error = ClassifyPicture(bytes, classified, info);
      error != BitmapError::kNone) {
    return error;
  }
  if (bytes.empty()) return BitmapError::kNotPicture;
  QByteArray file = Unowned(bytes);
  const QByteArray format = DetectedFormat(file);
  const std::optional<PictureFormat> kind = Accepted(format);
  if (!kind) return BitmapError::kNotPicture;
  // Before the decoder reads even the header: reading a PNG's header inflates its text.
  const DecoderInput input = InspectForDecoder(bytes, *kind);
  if (!input.complete) return BitmapError::kCorruptPicture;
  QByteArray data = input.trimmed.empty() ? file : Unowned(input.trimmed);
  QBuffer buffer(&data);
  if (!buffer.open(QIODevice::ReadOnly)) return BitmapError::kCannotRead;

  QImageReader reader(&buffer, format);
  reader.setAutoDetectImageFormat(false);
  reader.setAllocationLimit(limits.allocationLimitMb);
  reader.setAutoTransform(true);
  const QSize stored = reader.size();
  if (const BitmapError error = CheckBounds(stored, input, limits); error != BitmapError::kNone) {
    return error;
  }
  // The picture as it is seen (a camera's portrait photo is stored lying on its side).
  const bool rotated = Rotated(reader.transformation());
  const QSize upright = rotated ? stored.transposed() : stored;
  const int width = std::min(upright.width(), PaperDots(options));
  const int height = std::max(
      1, static_cast<int>(std::lround(static_cast<double>(upright.height()) * width /
                                      upright.width())));
  if (OneBitBitmapFileBytes(width, height) > maxFileBytes) return BitmapError::kConvertedTooLarge;

  const QSize target(width, height);
  if (*kind == PictureFormat::kJpeg) {
    // The JPEG decoder scales by 1/2, 1/4 or 1/8 as it decodes: a photograph is never
    // held at full size, which saves most of the time and memory.
    reader.setScaledSize(rotated ? target.transposed() : target);
    reader.setQuality(100);  // accurate DCT and a smooth last step
  }
  QImage image;
  if (!reader.read(&image) || image.isNull()) return BitmapError::kCorruptPicture;
  image.convertTo(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                          : QImage::Format_RGB32);
  if (image.size() != target) {
    image = image.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  }
  if (image.size() != target) return BitmapError::kCorruptPicture;
  grey = GreyOf(image);
  return BitmapError::kNone;
}

BitmapError ConvertToOneBitBitmap(std::span<const std::uint8_t> bytes,
                                  const ConversionOptions& options, std::uint64_t maxFileBytes,
                                  std::vector<std::uint8_t>& file, const DecodeLimits& limits) {
  GreyImage grey;
  if (const BitmapError error = DecodeToGrey(bytes, options, maxFileBytes, grey, limits);
      error != BitmapError::kNone) {
    return error;
  }
  file = OneBitBitmapFile(grey.width, grey.height, DotsOf(grey, options.threshold));
  return BitmapError::kNone;
}

}  // namespace zelka::graphics
