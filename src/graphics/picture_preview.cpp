#include "graphics/picture_preview.h"

#include <QBuffer>
#include <QImageWriter>
#include <QString>

#include <algorithm>

#include "files/written_file.h"
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

BitmapError WritePreviewPng(const QImage& dots, const std::string& path) {
  if (dots.isNull()) return BitmapError::kCannotWrite;
  // Made in memory and written under the name's own bytes: Qt's file names are text, and
  // a name that is no UTF-8 would come out as another name.
  QBuffer png;
  png.open(QIODevice::WriteOnly);
  if (!QImageWriter(&png, "png").write(dots)) return BitmapError::kCannotWrite;
  const QByteArray& bytes = png.data();
  const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.constData());
  return files::WriteFile(path, {data, static_cast<std::size_t>(bytes.size())}) ? BitmapError::kNone
                                                                                 : BitmapError::kCannotWrite;
}

}  // namespace zelka::graphics
