#include "graphics/picture_convert.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageIOHandler>
#include <QImageReader>

#include <algorithm>
#include <cmath>

#include "graphics/raster_rows.h"

namespace zelka::graphics {

namespace {

// Qt's readers of the kinds people have. Others that the system's Qt may carry (icons,
// TIFF, SVG, text formats) are refused: each is one more decoder for a crafted file to
// try, for pictures nobody prints on a receipt.
bool Accepted(const QByteArray& format) {
  return format == "png" || format == "jpeg" || format == "jpg" || format == "gif" ||
         format == "bmp";
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

// Whether the last scan of a JPEG is followed by its end marker (FF D9). The JPEG decoder
// takes a file cut short for whole, filling the missing part with grey, and says so only
// as a warning nobody sees: a coupon would print with its lower part missing. In the
// scans' data an FF byte is always followed by 00 or a restart marker, so neither marker
// shows there; an earlier pair (of the thumbnail inside the camera's header) is passed over
// by looking for the last of each.
bool JpegEnds(std::span<const std::uint8_t> bytes) {
  std::size_t lastScan = 0;
  std::size_t lastEnd = 0;
  for (std::size_t i = 0; i + 1 < bytes.size(); ++i) {
    if (bytes[i] != 0xFF) continue;
    if (bytes[i + 1] == 0xDA) lastScan = i + 1;
    if (bytes[i + 1] == 0xD9) lastEnd = i + 1;
  }
  return lastScan != 0 && lastEnd > lastScan;
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
  if (read.bitsPerPixel == 1 && read.compression == kCompressionNone) {
    kind = PictureKind::kOneBitBitmap;
    info = read;
  }
  return BitmapError::kNone;
}

BitmapError DecodeToGrey(std::span<const std::uint8_t> bytes, const ConversionOptions& options,
                         std::uint64_t maxFileBytes, GreyImage& grey, const DecodeLimits& limits) {
  PictureKind kind;
  BitmapInfo info;
  if (const BitmapError error = ClassifyPicture(bytes, kind, info); error != BitmapError::kNone) {
    return error;
  }
  if (bytes.empty()) return BitmapError::kNotPicture;
  // The bytes stay where they are: the buffer only reads them.
  QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()),
                                            static_cast<qsizetype>(bytes.size()));
  QBuffer buffer(&data);
  if (!buffer.open(QIODevice::ReadOnly)) return BitmapError::kCannotRead;
  const QByteArray format = QImageReader::imageFormat(&buffer);
  if (!Accepted(format)) return BitmapError::kNotPicture;
  buffer.seek(0);

  QImageReader reader(&buffer, format);
  reader.setAutoDetectImageFormat(false);
  reader.setAllocationLimit(limits.allocationLimitMb);
  reader.setAutoTransform(true);
  const QSize stored = reader.size();
  if (!stored.isValid() || stored.isEmpty()) return BitmapError::kCorruptPicture;
  if (stored.width() > kMaxDimension || stored.height() > kMaxDimension ||
      static_cast<std::uint64_t>(stored.width()) * static_cast<std::uint64_t>(stored.height()) >
          limits.maxPixels) {
    return BitmapError::kTooManyPixels;
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
  const bool jpeg = format == "jpeg" || format == "jpg";
  if (jpeg && !JpegEnds(bytes)) return BitmapError::kCorruptPicture;
  if (jpeg) {
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

  GreyImage out;
  out.width = width;
  out.height = height;
  out.pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  for (int y = 0; y < height; ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    std::uint8_t* to = out.pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
    for (int x = 0; x < width; ++x) to[x] = GreyOnWhite(line[x]);
  }
  grey = std::move(out);
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
