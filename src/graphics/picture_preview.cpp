#include "graphics/picture_preview.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageWriter>

#include <algorithm>

#include "graphics/bitmap_header.h"
#include "graphics/raster_rows.h"

namespace zelka::graphics {

namespace {

// One bit a dot as stored: 0 (palette index 0) black, 1 white, most significant bit first.
QImage MonoImage(int width, int height) {
  QImage image(width, height, QImage::Format_Mono);
  if (image.isNull()) return image;
  image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
  // 8 dots a mm, as the printer prints them.
  image.setDotsPerMeterX(8000);
  image.setDotsPerMeterY(8000);
  return image;
}

}  // namespace

QImage PictureDots(const Picture& picture) {
  const RowLayout& layout = picture.layout;
  if (layout.rows == 0 || layout.rowBytes == 0 || layout.rows > static_cast<std::size_t>(kMaxDimension) ||
      layout.storedRowBytes < layout.rowBytes ||
      layout.pixelOffset + layout.storedRowBytes * (layout.rows - 1) + layout.rowBytes >
          picture.file.size()) {
    return {};
  }
  QImage image = MonoImage(static_cast<int>(layout.rowBytes * 8), static_cast<int>(layout.rows));
  if (image.isNull()) return image;
  for (std::size_t k = 0; k < layout.rows; ++k) {
    const auto row = RasterRowSource(picture.file, layout, k);
    std::copy(row.begin(), row.end(), image.scanLine(static_cast<int>(k)));
  }
  return image;
}

QImage LogoDots(const Logo& logo) {
  BitmapInfo info;
  if (ParseBitmapHeader(logo.file, logo.file.size(), info) != BitmapError::kNone ||
      info.bitsPerPixel != 1 || info.compression != kCompressionNone) {
    return {};
  }
  QImage image = MonoImage(info.width, info.Rows());
  if (image.isNull()) return image;
  const auto stored = static_cast<std::size_t>(StoredRowBytes(info.width, 1));
  const std::size_t used = static_cast<std::size_t>(info.width + 7) / 8;
  for (int k = 0; k < info.Rows(); ++k) {
    const int from = info.TopDown() ? k : info.Rows() - 1 - k;
    const std::uint8_t* row = logo.file.data() + info.pixelOffset +
                              static_cast<std::size_t>(from) * stored;
    std::copy(row, row + used, image.scanLine(k));
  }
  return image;
}

files::WriteResult WritePreviewPng(const QImage& dots, const std::string& path) {
  // Made in memory first: the file is then written in one piece, and replaced only once
  // all of it is on the disk.
  QByteArray png;
  QBuffer buffer(&png);
  if (dots.isNull() || !buffer.open(QIODevice::WriteOnly) ||
      !QImageWriter(&buffer, "png").write(dots)) {
    return {files::WriteError::kFailed, "the picture could not be encoded as PNG"};
  }
  return files::ReplaceFile(
      path, std::span(reinterpret_cast<const std::uint8_t*>(png.constData()),
                      static_cast<std::size_t>(png.size())));
}

}  // namespace zelka::graphics
